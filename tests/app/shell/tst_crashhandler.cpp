// The crash handler: report file names, and child processes that crash in
// the ways a real run can, each of which must leave one report in crash/
// and end with the exit code 1.
#include "app/scan/stockevent.h"
#include "app/scan/stockstatustask.h"
#include "app/shell/crashhandler.h"
#include "core/cancelflag.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <thread>

#include <signal.h>
#include <unistd.h>

namespace {

const char* const kChildFlag = "--crash-child";

volatile bool g_stopRecursing = false;

// Runs until the thread's stack is gone; the frame use is no tail call.
__attribute__((noinline)) int recurse(int depth) {
    volatile char frame[4096];
    frame[0] = static_cast<char>(depth);
    if (g_stopRecursing)
        return 0;
    return recurse(depth + 1) + frame[0];
}

// A real fault, not one that UBSan stops first in the sanitizer build.
__attribute__((noinline, no_sanitize("undefined"))) void writeThroughNull(int value) {
    volatile int* volatile target = nullptr;
    *target = value;
}

// Runs in the child: installs the handler as main's static would, then fails.
[[noreturn]] void crashChild(const char* mode) {
    if (!std::strcmp(mode, "blocked-segv")) {
        // As a launcher may leave them: every signal blocked from the start.
        sigset_t all;
        sigfillset(&all);
        sigprocmask(SIG_BLOCK, &all, nullptr);
        mode = "segv";
    }
    static CrashHandler handler;
    if (!std::strcmp(mode, "segv")) {
        writeThroughNull(42);
    } else if (!std::strcmp(mode, "abort")) {
        std::abort();
    } else if (!std::strcmp(mode, "exception")) {
        throw std::runtime_error("scan fell over");
    } else if (!std::strcmp(mode, "alloc")) {
        volatile std::size_t huge = static_cast<std::size_t>(-1) / 2;
        void* p = ::operator new(huge);
        std::printf("%p\n", p); // not reached
    } else if (!std::strcmp(mode, "fpe")) {
        std::raise(SIGFPE);
    } else if (!std::strcmp(mode, "worker-segv")) {
        // A fault on another thread, as on the scan's worker.
        std::thread worker([] { writeThroughNull(7); });
        worker.join();
    } else if (!std::strcmp(mode, "pool-overflow")) {
        // The scan's pool: one thread, on which a scan task runs first (its
        // scan stopped, so it returns at once) and then runs away.
        CancelFlag stopped;
        stopped.cancel();
        QObject receiver;
        QThreadPool pool;
        pool.setMaxThreadCount(1);
        pool.start(new StockStatusTask(&receiver, StockEvent::DayListsStored, &stopped));
        pool.start(QRunnable::create([] { recurse(0); }));
        pool.waitForDone();
    } else if (!std::strcmp(mode, "wait")) {
        std::printf("ready\n");
        std::fflush(stdout);
        for (;;)
            pause();
    }
    std::_Exit(3); // the handler should have ended the process
}

} // namespace

class TestCrashHandler : public QObject {
    Q_OBJECT

private slots:
    void fileName_data();
    void fileName();
    void crashLeavesReport_data();
    void crashLeavesReport();
    void signalFromAnotherProcess_data();
    void signalFromAnotherProcess();
    void olderReportsAreKept();
    void exitCodeWithoutReport();
};

void TestCrashHandler::fileName_data() {
    QTest::addColumn<QList<int>>("fields");
    QTest::addColumn<QString>("expected");
    QTest::newRow("7 ms, random 5")
        << QList<int>{2018, 3, 4, 9, 5, 3, 7, 5} << "vesk.2018-03-04-09-05-03-07-05.dmp";
    QTest::newRow("12 ms") << QList<int>{2018, 3, 4, 9, 5, 3, 12, 5}
                           << "vesk.2018-03-04-09-05-03-12-05.dmp";
    QTest::newRow("345 ms") << QList<int>{2018, 3, 4, 9, 5, 3, 345, 5}
                            << "vesk.2018-03-04-09-05-03-345-05.dmp";
    QTest::newRow("ends of ranges")
        << QList<int>{2024, 12, 31, 23, 59, 59, 999, 99} << "vesk.2024-12-31-23-59-59-999-99.dmp";
    QTest::newRow("zeros") << QList<int>{2020, 1, 1, 0, 0, 0, 0, 0}
                           << "vesk.2020-01-01-00-00-00-00-00.dmp";
}

void TestCrashHandler::fileName() {
    QFETCH(QList<int>, fields);
    QFETCH(QString, expected);
    char buf[64];
    std::memset(buf, 'x', sizeof buf);
    crashDumpFileName(buf, fields[0], fields[1], fields[2], fields[3], fields[4], fields[5],
                      fields[6], fields[7]);
    QCOMPARE(QString::fromLatin1(buf), expected);
}

void TestCrashHandler::crashLeavesReport_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("reportLines");
    QTest::newRow("null-pointer write")
        << "segv" << QStringList{"reason: SIGSEGV", "signal: 11", "address: 0x0000000000000000"};
    QTest::newRow("null-pointer write, signals blocked at start")
        << "blocked-segv" << QStringList{"reason: SIGSEGV", "signal: 11"};
    QTest::newRow("abort") << "abort" << QStringList{"reason: SIGABRT", "signal: 6"};
    QTest::newRow("uncaught exception")
        << "exception" << QStringList{"reason: terminate", "runtime_error: scan fell over"};
#ifndef VESK_SANITIZE
    // AddressSanitizer's operator new reports a failed allocation itself and
    // never calls the new handler.
    QTest::newRow("failed allocation") << "alloc" << QStringList{"reason: failed allocation"};
#endif
    QTest::newRow("floating-point signal") << "fpe" << QStringList{"reason: SIGFPE", "signal: 8"};
    QTest::newRow("fault on a worker thread")
        << "worker-segv" << QStringList{"reason: SIGSEGV", "signal: 11"};
    QTest::newRow("stack overflow on the scan's pool thread")
        << "pool-overflow" << QStringList{"reason: SIGSEGV", "signal: 11"};
}

void TestCrashHandler::crashLeavesReport() {
    QFETCH(QString, mode);
    QFETCH(QStringList, reportLines);

    QTemporaryDir workDir;
    QVERIFY(workDir.isValid());
    QVERIFY(!QDir(workDir.path()).exists(QStringLiteral("crash")));

    QProcess child;
    child.setWorkingDirectory(workDir.path());
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    // Whole seconds: the report name carries the local time of the crash.
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    child.start(QCoreApplication::applicationFilePath(), {QLatin1String(kChildFlag), mode});
    QVERIFY(child.waitForFinished(30000));
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);

    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 1);

    const QDir crashDir(workDir.filePath(QStringLiteral("crash")));
    QVERIFY(crashDir.exists());
    const QStringList files = crashDir.entryList(QDir::Files);
    QCOMPARE(files.size(), 1);

    static const QRegularExpression namePattern(QStringLiteral(
        "^vesk\\.(\\d{4}-\\d{2}-\\d{2}-\\d{2}-\\d{2}-\\d{2})-(\\d{2,3})-(\\d{2})\\.dmp$"));
    const QRegularExpressionMatch m = namePattern.match(files.first());
    QVERIFY2(m.hasMatch(), qPrintable(files.first()));
    const QDateTime stamp =
        QDateTime::fromString(m.captured(1), QStringLiteral("yyyy-MM-dd-hh-mm-ss"));
    QVERIFY(stamp.isValid());
    QVERIFY2(stamp >= before.addMSecs(-before.time().msec()) && stamp <= after,
             qPrintable(stamp.toString(Qt::ISODate)));
    QVERIFY(m.captured(2).toInt() < 1000);
    QVERIFY(m.captured(3).toInt() < 100);

    QFile report(crashDir.filePath(files.first()));
    QVERIFY(report.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(report.readAll());
    QVERIFY(text.startsWith(QLatin1String("vesk crash report\n")));
    QVERIFY(text.contains(QLatin1String("\npid: ")));
    QVERIFY(text.contains(QLatin1String("\nbacktrace:\n")));
    // The memory map lets the addresses be symbolised later.
    const int maps = text.indexOf(QLatin1String("\nmaps:\n"));
    QVERIFY(maps > 0);
    QVERIFY(text.indexOf(QFileInfo(QCoreApplication::applicationFilePath()).fileName(), maps) > 0);
    for (const QString& line : reportLines)
        QVERIFY2(text.contains(line), qPrintable(line));
}

void TestCrashHandler::signalFromAnotherProcess_data() {
    QTest::addColumn<bool>("queued");
    QTest::newRow("kill") << false;
    QTest::newRow("sigqueue") << true;
}

void TestCrashHandler::signalFromAnotherProcess() {
    QFETCH(bool, queued);
    QTemporaryDir workDir;
    QVERIFY(workDir.isValid());
    QProcess child;
    child.setWorkingDirectory(workDir.path());
    child.start(QCoreApplication::applicationFilePath(),
                {QLatin1String(kChildFlag), QStringLiteral("wait")});
    QVERIFY(child.waitForReadyRead(30000));
    const pid_t pid = static_cast<pid_t>(child.processId());
    if (queued)
        QCOMPARE(sigqueue(pid, SIGSEGV, sigval{42}), 0);
    else
        QCOMPARE(kill(pid, SIGSEGV), 0);
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitCode(), 1);

    const QDir crashDir(workDir.filePath(QStringLiteral("crash")));
    const QStringList files = crashDir.entryList(QDir::Files);
    QCOMPARE(files.size(), 1);
    QFile report(crashDir.filePath(files.first()));
    QVERIFY(report.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(report.readAll());
    // The sender's pid, where a fault would give its address.
    QVERIFY2(text.contains(QStringLiteral("\nsent by process: %1\n").arg(getpid())),
             qPrintable(text.left(400)));
    QVERIFY(!text.contains(QLatin1String("\naddress: ")));
}

void TestCrashHandler::olderReportsAreKept() {
    QTemporaryDir workDir;
    QVERIFY(workDir.isValid());
    QVERIFY(QDir(workDir.path()).mkdir(QStringLiteral("crash")));
    QFile older(workDir.filePath(QStringLiteral("crash/vesk.2018-03-04-09-05-03-07-05.dmp")));
    QVERIFY(older.open(QIODevice::WriteOnly));
    older.write("an earlier report");
    older.close();

    for (int run = 0; run < 2; ++run) {
        QProcess child;
        child.setWorkingDirectory(workDir.path());
        child.start(QCoreApplication::applicationFilePath(),
                    {QLatin1String(kChildFlag), QStringLiteral("segv")});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitCode(), 1);
    }
    QCOMPARE(QDir(workDir.filePath(QStringLiteral("crash"))).entryList(QDir::Files).size(), 3);
    QVERIFY(older.open(QIODevice::ReadOnly));
    QCOMPARE(older.readAll(), QByteArray("an earlier report"));
}

void TestCrashHandler::exitCodeWithoutReport() {
    // A plain file where the folder should be: no report can be written.
    QTemporaryDir workDir;
    QVERIFY(workDir.isValid());
    QFile blocker(workDir.filePath(QStringLiteral("crash")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    QProcess child;
    child.setWorkingDirectory(workDir.path());
    child.start(QCoreApplication::applicationFilePath(),
                {QLatin1String(kChildFlag), QStringLiteral("segv")});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 1);
    QVERIFY(QFileInfo(blocker.fileName()).isFile());
    QCOMPARE(blocker.size(), 0);
}

int main(int argc, char** argv) {
    if (argc == 3 && !std::strcmp(argv[1], kChildFlag))
        crashChild(argv[2]);
    QCoreApplication app(argc, argv);
    TestCrashHandler test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crashhandler.moc"
