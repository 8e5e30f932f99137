// Start-up (the application object reading config.ini) and the settings
// dialog ("设置": built, shown and closed by "关闭") with the largest
// config.ini the program reads, its value a list of days or of short
// entries that are no days, and with a 50 MB one, which it does not read.
// Each case runs in a process of its own, in a temporary folder; prints the
// time of each step and the peak resident memory. Exits non-zero when a
// file was not read as it should be (the largest whole, the 50 MB one not at
// all), as its figures would then be of another case.

#include "app/shell/pelostockconfigdialog.h"
#include "core/inifile.h"
#include "core/stockapplication.h"

#include "tests/support/peakmemory.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstring>

namespace {

// Writes config.ini of a value that repeats entry up to about size bytes,
// a piece at a time, so that the peak memory is the program's own; returns
// the entries written, -1 when it could not.
int writeConfig(const QByteArray& entry, qint64 size) {
    QFile file(QString::fromLatin1(StockApplication::kConfigFile));
    if (!file.open(QIODevice::WriteOnly) || file.write("[nontradedays]\nvalue=") < 0)
        return -1;
    const int perPiece = 4096;
    const QByteArray piece = (entry + ',').repeated(perPiece);
    int entries = 0;
    while (file.size() + piece.size() + 1 <= size) {
        if (file.write(piece) < 0)
            return -1;
        entries += perPiece;
    }
    const int rest = int((size - file.size() - 1) / (entry.size() + 1));
    if (file.write((entry + ',').repeated(rest) + '\n') < 0)
        return -1;
    return entries + rest;
}

int runCase(int argc, char** argv, const QByteArray& entry, qint64 size, bool read) {
    const int written = writeConfig(entry, size);
    if (written < 0)
        return 1;
    QElapsedTimer timer;
    timer.start();
    int appArgc = 1;
    StockApplication app(appArgc, argv);
    const qint64 startup = timer.restart();
    qint64 shown = 0;
    qint64 closed = 0;
    {
        PeloStockConfigDialog dialog(nullptr);
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog))
            return 1;
        QCoreApplication::processEvents();
        shown = timer.restart();
        dialog.findChild<QPushButton*>()->click();
        closed = timer.restart();
    }
    std::printf("  %-26s %8.1f KiB  %6d entries  start-up %6lld ms  设置 shown %6lld ms  "
                "closed %5lld ms  peak %6.1f MiB\n",
                argc > 2 ? argv[2] : "", QFileInfo(QString::fromLatin1(StockApplication::kConfigFile)).size() / 1024.0, int(app.nonTradeDays().size()),
                startup, shown, closed, peakResidentKiB() / 1024.0);
    const int expected = read ? written
                              : QString::fromLatin1(StockApplication::kDefaultNonTradeDays)
                                    .split(QLatin1Char(','))
                                    .size();
    if (app.nonTradeDays().size() != expected) {
        std::fprintf(stderr, "wrong result: %d entries in use, %d expected\n",
                     int(app.nonTradeDays().size()), expected);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const qint64 largest = qint64(IniFile::kMaxFileBytes);
    const struct {
        const char* label;
        QByteArray entry;
        qint64 size;
        bool read;
    } cases[] = {
        {"largest read, days", "2017-10-01", largest, true},
        {"largest read, no days", "x", largest, true},
        {"50 MB, not read", "2017-10-01", 50 * 1000 * 1000, false},
    };
    if (argc > 2 && !std::strcmp(argv[1], "--case")) {
        for (const auto& c : cases) {
            if (!std::strcmp(argv[2], c.label))
                return runCase(argc, argv, c.entry, c.size, c.read);
        }
        return 1;
    }
    std::printf("config.ini at start-up and in the settings dialog\n");
    std::fflush(stdout);
    for (const auto& c : cases) {
        QTemporaryDir dir;
        QProcess child;
        child.setWorkingDirectory(dir.path());
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
        child.setProcessEnvironment(env);
        child.start(QFileInfo(QString::fromLocal8Bit(argv[0])).absoluteFilePath(),
                    {QStringLiteral("--case"), QString::fromLatin1(c.label)});
        if (!child.waitForFinished(600000) || child.exitCode() != 0) {
            std::fprintf(stderr, "%s failed\n", c.label);
            return 1;
        }
    }
    return 0;
}
