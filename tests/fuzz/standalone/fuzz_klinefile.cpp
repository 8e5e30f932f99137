#include "core/providers/dailyhistory.h"
#include "tests/fuzz/standalone/fuzzinput.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The loader reads a file: the input becomes one.
    static QTemporaryDir scratch;
    const QString path = scratch.filePath(QStringLiteral("kline.csv"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.close();
    loadKLineCsvFile(path, QStringLiteral("600036"));
    return 0;
}
