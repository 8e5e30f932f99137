#include "tests/support/peakmemory.h"

#include <QByteArray>
#include <QFile>
#include <QList>

long peakResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

long peakResidentBoundKiB(long plainMiB) {
#ifdef VESK_SANITIZE
    return 2 * plainMiB * 1024;
#else
    return plainMiB * 1024;
#endif
}
