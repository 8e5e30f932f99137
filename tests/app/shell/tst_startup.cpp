// The start-up sequence end to end: child processes run the program's own
// start-up with a private per-user settings folder, and report which windows
// appeared in which order.
#include "app/scan/lhbpkwidget.h"
#include "app/shell/crashhandler.h"
#include "app/shell/lhbmainwindow.h"
#include "app/shell/startup.h"
#include "app/shell/stocknotewidget.h"
#include "app/views/lhbtabwidget.h"
#include "core/providers/eastmoneylhbdatainterface.h"
#include "core/providers/eastmoneylhblistinterface.h"
#include "core/providers/stockqqhistoryinterface.h"
#include "core/inifile.h"
#include "core/stockapplication.h"
#include "tests/support/fixtures.h"
#include "tests/support/testhttpserver.h"
#include "tests/support/unprivileged.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

const char* const kChildFlag = "--startup-child";

void say(const QString& line) {
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

// The scanned day and the list entry whose page the service never finishes.
const QString kScanDay = QStringLiteral("2017-10-09");
const QString kHangingSeatPage = QStringLiteral("600002,2017-10-05");
// In the "chart" mode, the window is closed this long after the cue.
constexpr int kChartCloseAfterMs = 1000;

void closeMainWindows() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<LHBMainWindow*>(w))
            w->close();
}

// Runs in the child: the program's start-up, with a watcher that closes the
// note and then acts on the main window as a user would. Modes: none (close
// it), "crash", "scan" (close it in the middle of a scan), "wait" (edit the
// non-trading days, then wait to be ended by a signal), "days" (say the
// non-trading days, then close it), "term-early" (SIGTERM before config.ini
// is read), "chart" (close it while a stock's K-lines arrive or are read).
int runChild(int argc, char** argv, const QString& mode) {
    static CrashHandler handler;
    catchTerminationSignals();
    if (mode == QLatin1String("term-early"))
        std::raise(SIGTERM);
    seedRandomGenerators();
    StockApplication app(argc, argv);

    bool noteSeen = false;
    bool mainSeen = false;
    LHBPKWidget* scan = nullptr;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        bool mainVisible = false;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<LHBMainWindow*>(w) && w->isVisible())
                mainVisible = true;

        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            say(QStringLiteral("message: ") + box->text());
            box->close();
            return;
        }
        if (auto* note = qobject_cast<StockNoteWidget*>(QApplication::activeModalWidget())) {
            if (!noteSeen) {
                noteSeen = true;
                say(mainVisible ? QStringLiteral("note while main window shown")
                                : QStringLiteral("note"));
                if (QLabel* caption = note->findChild<QLabel*>())
                    say(QStringLiteral("caption: ") + caption->text());
                note->close();
            }
            return;
        }
        if (scan && scan->progressBar()->value() == 100) {
            // The lists are in; after the status pause (1.2 s) the first seat
            // page is asked for, and never finishes: close then.
            scan = nullptr;
            QTimer::singleShot(2000, [] {
                say(QStringLiteral("closed"));
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (qobject_cast<LHBMainWindow*>(w))
                        w->close();
            });
        }
        if (mainVisible && !mainSeen) {
            mainSeen = true;
            say(QStringLiteral("main"));
            say(QStringLiteral("style: ") + QApplication::style()->objectName().toLower());
            say(QStringLiteral("font: ") + QString::number(QApplication::font().pointSize()));
            QDialogButtonBox box(QDialogButtonBox::Cancel);
            say(QStringLiteral("cancel: ") + box.button(QDialogButtonBox::Cancel)->text());
            // The date field's calendar names its months in Chinese although
            // the system locale is C.
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* edit = qobject_cast<LHBMainWindow*>(w) ? w->findChild<QDateEdit*>() : nullptr;
                if (!edit)
                    continue;
                QCalendarWidget* calendar = edit->calendarWidget();
                calendar->setCurrentPage(2017, 1);
                auto* month = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
                say(QStringLiteral("january: ") + (month ? month->text() : QString()));
            }
            if (mode == QLatin1String("crash"))
                std::abort();
            if (mode == QLatin1String("days"))
                say(QStringLiteral("days: ") + app.nonTradeDays().join(QLatin1Char(',')));
            if (mode == QLatin1String("wait")) {
                app.setNonTradeDays(app.nonTradeDays() << QStringLiteral("2017-12-25"));
                return;
            }
            if (mode == QLatin1String("chart")) {
                LHBTabWidget* tabs = nullptr;
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (auto* found = w->findChild<LHBTabWidget*>())
                        tabs = found;
                say(QStringLiteral("chart"));
                QTimer::singleShot(kChartCloseAfterMs, &closeMainWindows);
                QTimer::singleShot(0, tabs, [tabs] { tabs->showStock(QStringLiteral("600001"), kScanDay); });
                return;
            }
            if (mode == QLatin1String("scan")) {
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (auto* found = w->findChild<LHBPKWidget*>())
                        scan = found;
                scan->dateEdit()->setDate(QDate::fromString(kScanDay, Qt::ISODate));
                scan->scanButton()->click();
                return;
            }
            for (QWidget* w : QApplication::topLevelWidgets())
                if (qobject_cast<LHBMainWindow*>(w))
                    w->close();
        }
    });
    poll.start();
    const int result = runApplication(app);
    say(QStringLiteral("exit: ") + QString::number(result));
    return result;
}

struct ChildRun {
    int exitCode = -1;
    QStringList lines;
    qint64 msAfterCue = -1; // from the cue line to the end of the process
};

} // namespace

// The program's process, which can drop to an unprivileged user first.
struct ProgramProcess : QProcess {
    bool unprivileged = false;
    bool blocked = false; // started with every signal blocked, as a launcher may leave them
    void setupChildProcess() override {
        if (unprivileged && !dropToUnprivileged())
            ::_exit(127);
        sigset_t all;
        sigfillset(&all);
        if (blocked)
            sigprocmask(SIG_BLOCK, &all, nullptr);
    }
};

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void init();
    void firstRunShowsNoteOnce();
    void markerValue_data();
    void markerValue();
    void crashKeepsNoteForNextStart();
    void closeDuringScanEndsAtOnce();
    void closeWhileKLinesAreReadEndsAtOnce();
    void terminationSignalEndsNormally_data();
    void terminationSignalEndsNormally();
    void unreadableConfigLeftAlone_data();
    void unreadableConfigLeftAlone();
    void unwritableSettingsSaidOnce_data();
    void unwritableSettingsSaidOnce();
    void noDisplaySaysSoAndEnds_data();
    void noDisplaySaysSoAndEnds();
    void displayMustAnswerInTime_data();
    void displayMustAnswerInTime();

private:
    // Runs the program in a child. When the child prints the cue line,
    // onCue is called with its pid.
    ChildRun runProgram(const QString& mode = QString(), const QString& cue = QString(),
                        const std::function<void(qint64)>& onCue = {});
    QString markerFile() const { return m_config->filePath(QStringLiteral("vesk/lhb.conf")); }
    QVariant storedMarker() const;
    // Nothing is served but what the test routes.
    void serveNothing();
    // The run ended normally, within ms of its cue, and wrote as on any exit.
    void checkEndedAtOnce(const ChildRun& run, int ms);
    void setMarker(const QString& value);

    std::unique_ptr<QTemporaryDir> m_config;
    std::unique_ptr<QTemporaryDir> m_work;
    std::unique_ptr<QTemporaryDir> m_runtime;
    QString m_runtimeDir; // XDG_RUNTIME_DIR of the runs
    QString m_tmpDir;     // their TMPDIR, when not empty
    bool m_unprivileged = false; // the next run drops to an unprivileged user
    bool m_blocked = false;      // the next run starts with every signal blocked
    TestHttpServer m_server; // the child's proxy to the data services
};

void TestStartup::init() {
    m_config.reset(new QTemporaryDir);
    m_work.reset(new QTemporaryDir);
    m_runtime.reset(new QTemporaryDir);
    m_runtimeDir = m_runtime->path();
    m_tmpDir.clear();
    m_unprivileged = false;
    m_blocked = false;
    QVERIFY(m_config->isValid() && m_work->isValid() && m_runtime->isValid());
}

ChildRun TestStartup::runProgram(const QString& mode, const QString& cue,
                                 const std::function<void(qint64)>& onCue) {
    ProgramProcess child;
    child.unprivileged = m_unprivileged;
    child.blocked = m_blocked;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config->path());
    env.insert(QStringLiteral("HOME"), m_config->path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtimeDir);
    if (!m_tmpDir.isEmpty())
        env.insert(QStringLiteral("TMPDIR"), m_tmpDir);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // A machine without a Chinese locale.
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("http_proxy"), m_server.baseUrl());
    env.remove(QStringLiteral("no_proxy"));
    child.setProcessEnvironment(env);
    child.setWorkingDirectory(m_work->path());
    child.setProcessChannelMode(QProcess::SeparateChannels);
    QStringList args{QLatin1String(kChildFlag)};
    if (!mode.isEmpty())
        args << mode;
    child.start(QCoreApplication::applicationFilePath(), args);
    ChildRun run;
    QElapsedTimer sinceCue;
    QByteArray output;
    while (!cue.isEmpty() && !output.contains(cue.toUtf8() + '\n') && child.waitForReadyRead(60000))
        output += child.readAllStandardOutput();
    if (output.contains(cue.toUtf8() + '\n')) {
        sinceCue.start();
        onCue(child.processId());
    }
    if (!child.waitForFinished(60000)) {
        child.kill();
        child.waitForFinished();
        return run;
    }
    if (sinceCue.isValid())
        run.msAfterCue = sinceCue.elapsed();
    run.exitCode = child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -2;
    run.lines = QString::fromUtf8(output + child.readAllStandardOutput())
                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return run;
}

QVariant TestStartup::storedMarker() const {
    QSettings settings(markerFile(), QSettings::IniFormat);
    return settings.value(QStringLiteral("init"));
}

void TestStartup::serveNothing() {
    if (m_server.port() == 0)
        QVERIFY(m_server.listen());
    m_server.clearRoutes();
    m_server.clearRequests();
    m_server.setDefaultResponse(QByteArray(), 404);
}

void TestStartup::checkEndedAtOnce(const ChildRun& run, int ms) {
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.msAfterCue >= 0 && run.msAfterCue < ms, qPrintable(QString::number(run.msAfterCue)));
    QCOMPARE(storedMarker().toString(), QStringLiteral("TRUE"));
    QVERIFY(QFile::exists(m_work->filePath(QStringLiteral("config.ini"))));
}

void TestStartup::setMarker(const QString& value) {
    QSettings settings(markerFile(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("init"), value);
    settings.sync();
    QCOMPARE(settings.status(), QSettings::NoError);
}

void TestStartup::firstRunShowsNoteOnce() {
    QVERIFY(!QFile::exists(markerFile()));

    const ChildRun first = runProgram();
    QCOMPARE(first.exitCode, 0);
    const QString expectedStyle =
        QStyleFactory::keys().contains(QStringLiteral("Cleanlooks"), Qt::CaseInsensitive)
            ? QStringLiteral("cleanlooks")
            : QStringLiteral("fusion");
    QCOMPARE(first.lines,
             (QStringList{QStringLiteral("note"), QStringLiteral("caption: 岱鸮龙虎榜股票分析软件"),
                          QStringLiteral("main"), QStringLiteral("style: ") + expectedStyle,
                          QStringLiteral("font: 10"), QStringLiteral("cancel: 取消"),
                          QStringLiteral("january: 一月"), QStringLiteral("exit: 0")}));
    // The per-user marker lives under the user's config folder.
    QVERIFY(QFile::exists(markerFile()));
    QCOMPARE(storedMarker().toString(), QStringLiteral("TRUE"));
    // config.ini is written in the working directory.
    QVERIFY(QFile::exists(m_work->filePath(QStringLiteral("config.ini"))));

    const ChildRun second = runProgram();
    QCOMPARE(second.exitCode, 0);
    QVERIFY(!second.lines.isEmpty());
    QCOMPARE(second.lines.first(), QStringLiteral("main"));
    QVERIFY(!second.lines.join(QLatin1Char('\n')).contains(QLatin1String("note")));
}

void TestStartup::markerValue_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("noteShown");
    QTest::newRow("TRUE") << "TRUE" << false;
    QTest::newRow("lower-case true") << "true" << true;
    QTest::newRow("FALSE") << "FALSE" << true;
    QTest::newRow("empty") << "" << true;
}

void TestStartup::markerValue() {
    QFETCH(QString, value);
    QFETCH(bool, noteShown);
    setMarker(value);

    const ChildRun run = runProgram();
    QCOMPARE(run.exitCode, 0);
    QVERIFY(!run.lines.isEmpty());
    QCOMPARE(run.lines.first(), noteShown ? QStringLiteral("note") : QStringLiteral("main"));
    QCOMPARE(storedMarker().toString(), QStringLiteral("TRUE"));
}

void TestStartup::crashKeepsNoteForNextStart() {
    const ChildRun crashed = runProgram(QStringLiteral("crash"));
    QCOMPARE(crashed.exitCode, 1);
    QVERIFY(crashed.lines.contains(QStringLiteral("note")));
    QVERIFY(crashed.lines.contains(QStringLiteral("main")));
    QVERIFY(!storedMarker().isValid());
    QCOMPARE(QDir(m_work->filePath(QStringLiteral("crash"))).entryList(QDir::Files).size(), 1);

    const ChildRun next = runProgram();
    QCOMPARE(next.exitCode, 0);
    QVERIFY(!next.lines.isEmpty());
    QCOMPARE(next.lines.first(), QStringLiteral("note"));
}

void TestStartup::closeDuringScanEndsAtOnce() {
    serveNothing();
    QStringList listUrls;
    for (const QString& day :
         {kScanDay, QStringLiteral("2017-10-06"), QStringLiteral("2017-10-05")}) {
        EastmoneyLHBListInterface client;
        listUrls << client.urls(QStringList{day}).value(0);
        m_server.setRoute(listUrls.last(),
                          toGbk(fixtureText(QStringLiteral("scan/list-%1.js").arg(day))));
    }
    // The first list entry's page never finishes: the worker waits in it.
    const QString hangingPage = EastmoneyLHBDataInterface().urls({kHangingSeatPage}).value(0);
    m_server.setPartialRoute(hangingPage, "<html>");

    const ChildRun run =
        runProgram(QStringLiteral("scan"), QStringLiteral("closed"), [](qint64) {});
    checkEndedAtOnce(run, 2000);
    // Nothing was asked for after the close.
    QCOMPARE(m_server.requests(), listUrls << hangingPage);
}

void TestStartup::closeWhileKLinesAreReadEndsAtOnce() {
    serveNothing();
    // A whole reply of a million bars (58 MB), where 480 were asked for.
    const QByteArray bar = "[\"2017-01-03\",\"10.00\",\"10.50\",\"10.80\",\"9.90\",\"12345\"],";
    QByteArray reply = "{\"code\":0,\"data\":{\"sh600001\":{\"hfqday\":[" + bar.repeated(1000000);
    reply.chop(1);
    m_server.setRoute(QUrl(StockQQHistoryInterface().urls({QStringLiteral("600001")}).value(0)).path(),
                      reply + "]}}}", 200, "application/json");

    const ChildRun run = runProgram(QStringLiteral("chart"), QStringLiteral("chart"), [](qint64) {});
    checkEndedAtOnce(run, kChartCloseAfterMs + 2000);
}

void TestStartup::terminationSignalEndsNormally_data() {
    QTest::addColumn<int>("sig");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
    QTest::newRow("SIGTERM, started with signals blocked") << int(SIGTERM);
}

void TestStartup::terminationSignalEndsNormally() {
    QFETCH(int, sig);
    m_blocked = QByteArray(QTest::currentDataTag()).contains("blocked"); // by the launcher
    const ChildRun run = runProgram(QStringLiteral("wait"), QStringLiteral("main"),
                                    [sig](qint64 pid) { ::kill(static_cast<pid_t>(pid), sig); });
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(storedMarker().toString(), QStringLiteral("TRUE"));
    // The session's edit of the non-trading days is kept.
    QFile config(m_work->filePath(QStringLiteral("config.ini")));
    QVERIFY(config.open(QIODevice::ReadOnly));
    QVERIFY(config.readAll().contains("2017-12-25"));
}

namespace {

// What a file is, as far as leaving it alone goes: its type and mode, the
// inode and bytes of a regular file, a link's target.
QByteArray fileState(const QString& path) {
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return "missing";
    QByteArray state =
        QByteArray::number(st.st_mode, 8) + ' ' + QByteArray::number(qulonglong(st.st_ino));
    if (S_ISREG(st.st_mode))
        state += ' ' + readFileBytes(path).toHex();
    if (S_ISLNK(st.st_mode))
        state += ' ' + QFile::encodeName(QFile::symLinkTarget(path));
    return state;
}

} // namespace

void TestStartup::unreadableConfigLeftAlone_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("UTF-16") << "utf16";
    QTest::newRow("NUL byte before the header") << "nul";
    QTest::newRow("binary bytes without NUL") << "binary";
    QTest::newRow("larger than 1 MiB") << "large";
    QTest::newRow("no read permission") << "noread";
    QTest::newRow("FIFO") << "fifo";
    // A FIFO hung start-up before the signal handler was in place.
    QTest::newRow("FIFO, SIGTERM before it is read") << "term-early";
    QTest::newRow("directory") << "dir";
    QTest::newRow("link into a missing folder") << "dangling"; // read as absent; the write fails
}

void TestStartup::unreadableConfigLeftAlone() {
    QFETCH(QString, kind);
    const QString path = m_work->filePath(QStringLiteral("config.ini"));
    const QByteArray days = "[nontradedays]\nvalue=2018-02-15,2018-02-16\n";
    QByteArray bytes; // of a regular file
    if (kind == QLatin1String("utf16"))
        bytes = "\xFF\xFE" + QByteArray(reinterpret_cast<const char*>(QString::fromLatin1(days).utf16()),
                                        days.size() * 2);
    else if (kind == QLatin1String("nul"))
        bytes = QByteArray(1, '\0') + days;
    else if (kind == QLatin1String("binary"))
        bytes = QByteArray::fromRawData("\x01\x8F\x1B\xFE\x7F\x05\x9C\x13", 8).repeated(3200);
    else if (kind == QLatin1String("large"))
        bytes = days + QByteArray("; ").repeated(int(IniFile::kMaxFileBytes / 2));
    else if (kind == QLatin1String("noread"))
        bytes = days;
    else if (kind == QLatin1String("fifo") || kind == QLatin1String("term-early"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    else if (kind == QLatin1String("dir"))
        QVERIFY(QDir().mkdir(path));
    else
        QVERIFY(QFile::link(m_work->filePath(QStringLiteral("gone/config.ini")), path));
    if (!bytes.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    if (kind == QLatin1String("noread")) {
        const QString problem =
            unprivilegedProblem({QDir::tempPath(), QCoreApplication::applicationFilePath()});
        if (!problem.isEmpty())
            QSKIP(qPrintable(problem));
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        QVERIFY(handToUnprivileged(m_work->path()) && handToUnprivileged(m_config->path()));
        m_unprivileged = true;
    }
    const QByteArray before = fileState(path);

    const ChildRun run = runProgram(kind == QLatin1String("term-early") ? kind : QStringLiteral("days"));
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(fileState(path), before);
    if (kind == QLatin1String("term-early")) {
        // The held signal ends the program at its first event loop.
        QVERIFY(run.lines.contains(QStringLiteral("exit: 0")) && !run.lines.contains(QStringLiteral("main")));
        return;
    }
    // Said once, before the windows; the run goes on with the default days.
    const QStringList messages = run.lines.filter(QRegularExpression(QStringLiteral("^message: ")));
    QCOMPARE(messages.size(), 1);
    const QString said = kind == QLatin1String("dangling") ? QStringLiteral("无法写入") : QStringLiteral("无法读取");
    QVERIFY2(messages.first().contains(said) && messages.first().contains(path),
             qPrintable(messages.first()));
    QCOMPARE(messages.first().contains(QStringLiteral("大于 1 兆字节")), kind == QLatin1String("large"));
    // In the user's words: no English beside the path.
    const QString words = messages.first().mid(int(qstrlen("message: "))).remove(path);
    QVERIFY2(!words.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))), qPrintable(words));
    QVERIFY(run.lines.contains(QStringLiteral("main")));
    QVERIFY(run.lines.contains(QStringLiteral("days: ") +
                               QLatin1String(StockApplication::kDefaultNonTradeDays)));
}

void TestStartup::unwritableSettingsSaidOnce_data() {
    QTest::addColumn<QString>("unwritable"); // under the config folder; "." for itself
    QTest::addColumn<bool>("runtimeFolder");
    QTest::newRow("HOME") << "." << true;
    QTest::newRow("settings folder") << "vesk" << true;
    QTest::newRow("settings file") << "vesk/lhb.conf" << true;
    QTest::newRow("HOME, and no runtime folder") << "." << false;
}

void TestStartup::unwritableSettingsSaidOnce() {
    QFETCH(QString, unwritable);
    QFETCH(bool, runtimeFolder);
    const QString problem =
        unprivilegedProblem({QDir::tempPath(), QCoreApplication::applicationFilePath()});
    if (!problem.isEmpty())
        QSKIP(qPrintable(problem));
    const QString path = m_config->filePath(unwritable);
    if (unwritable != QLatin1String("."))
        setMarker(QStringLiteral("FALSE"));
    // Qt makes the runtime folder, or one in the temporary folder: neither
    // can be made in the unwritable HOME.
    if (!runtimeFolder)
        m_runtimeDir = m_tmpDir = m_config->path() + QStringLiteral("/run");
    QVERIFY(handToUnprivileged(m_work->path()) && handToUnprivileged(m_config->path()) &&
            handToUnprivileged(m_runtime->path()));
    QVERIFY(QFile::setPermissions(path, QFileInfo(path).isDir() ? QFile::ReadOwner | QFile::ExeOwner
                                                                   : QFile::ReadOwner));
    m_unprivileged = true;

    // Said with the note; where the runtime folder keeps the marker, neither comes again.
    for (const bool first : {true, false}) {
        const ChildRun run = runProgram();
        QCOMPARE(run.exitCode, 0);
        const QStringList messages = run.lines.filter(QRegularExpression(QStringLiteral("^message: ")));
        QCOMPARE(run.lines.value(0), first || !runtimeFolder ? QStringLiteral("note") : QStringLiteral("main"));
        QCOMPARE(messages.size(), first || !runtimeFolder ? 1 : 0);
        if (!messages.isEmpty())
            QVERIFY2(messages.first().contains(QStringLiteral("无法保存用户设置文件 ") + markerFile()) &&
                         messages.first().contains(runtimeFolder ? QStringLiteral("不会再显示")
                                                                 : QStringLiteral("每次启动")),
                     qPrintable(messages.first()));
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestStartup::noDisplaySaysSoAndEnds_data() {
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("wayland");
    QTest::addColumn<QString>("platform"); // QT_QPA_PLATFORM, unset when empty
    QTest::addColumn<QStringList>("args");
    QTest::newRow("none named") << "" << "" << "" << QStringList();
    // Stale: ssh -X without an X server at the other end, a session gone.
    QTest::newRow("X server gone") << ":4242" << "" << "" << QStringList();
    QTest::newRow("both gone") << ":4242" << "wayland-4242" << "" << QStringList();
    // A platform chosen by name (a profile's setting) is asked too.
    QTest::newRow("xcb named, X server gone") << ":4242" << "" << "xcb" << QStringList();
    QTest::newRow("wayland;xcb named, both gone") << ":4242" << "wayland-4242" << "wayland;xcb" << QStringList();
    QTest::newRow("-platform xcb over offscreen") << ":4242" << "" << "offscreen" << QStringList{"-platform", "xcb"};
}

void TestStartup::noDisplaySaysSoAndEnds() {
    QFETCH(QString, display);
    QFETCH(QString, wayland);
    QFETCH(QString, platform);
    QFETCH(QStringList, args);
    // The program itself, started as over ssh.
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (!platform.isEmpty())
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("WAYLAND_DISPLAY"), wayland);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_config->path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config->path());
    child.setProcessEnvironment(env);
    child.setWorkingDirectory(m_work->path());
    child.start(QStringLiteral(VESK_PROGRAM), args);
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), kNoDisplayExitCode);
    const QStringList said = QString::fromUtf8(child.readAllStandardError())
                                 .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(said.size(), 1);
    for (const char* part : {"图形显示", "graphical display", "xvfb-run -a " VESK_PROGRAM})
        QVERIFY2(said.first().contains(QString::fromUtf8(part)), qPrintable(said.first()));
    QVERIFY(!QDir(m_work->filePath(QStringLiteral("crash"))).exists());
}

namespace {

// A display's stand-in: an X server on 127.0.0.1 (DISPLAY 127.0.0.1:n) or a
// Wayland compositor on a Unix socket. It refuses, says nothing, drops the
// connection attempt (its queue is full), or answers as a server would.
class FakeDisplay {
public:
    FakeDisplay(bool x, const QString& how, const QString& folder) {
        if (how == QLatin1String("none"))
            return;
        if (x) {
            for (int n = 100; n < 1000 && name.isEmpty(); ++n) {
                m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
                sockaddr_in address = {};
                address.sin_family = AF_INET;
                address.sin_port = htons(quint16(6000 + n));
                address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                if (::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
                    name = "127.0.0.1:" + QByteArray::number(n);
                else
                    ::close(m_fd);
            }
        } else {
            name = QFile::encodeName(folder + QStringLiteral("/wayland-fake"));
            m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_un address = {};
            address.sun_family = AF_UNIX;
            std::strcpy(address.sun_path, name.constData());
            ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        }
        if (how == QLatin1String("refuse"))
            return; // bound, not listening
        ::listen(m_fd, how == QLatin1String("drop") ? 0 : 8);
        if (how == QLatin1String("drop")) {
            // Connections nobody accepts fill the queue; a further attempt is dropped.
            for (int i = 0; i < 2; ++i) {
                m_clients.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
                sockaddr_in address = {};
                socklen_t size = sizeof address;
                ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &size);
                ::connect(m_clients.back(), reinterpret_cast<sockaddr*>(&address), size);
            }
            QThread::msleep(50);
        }
        if (how != QLatin1String("answer"))
            return;
        m_answerer = std::thread([this, x] {
            const int client = ::accept(m_fd, nullptr, nullptr);
            if (client < 0)
                return;
            char request[1024];
            if (::read(client, request, sizeof request) > 0) {
                // X: connection setup accepted, protocol 11.0, 32 bytes of
                // setup data. Wayland: the sync callback's done.
                QByteArray reply = x ? QByteArray("\x01\x00\x0B\x00\x00\x00\x08\x00", 8) + QByteArray(32, '\0')
                                     : QByteArray("\x02\x00\x00\x00\x00\x00\x0C\x00\x01\x00\x00\x00", 12);
                ::send(client, reply.constData(), size_t(reply.size()), MSG_NOSIGNAL);
                while (::read(client, request, sizeof request) > 0) {
                }
            }
            ::close(client);
        });
    }
    ~FakeDisplay() {
        if (m_fd >= 0)
            ::shutdown(m_fd, SHUT_RDWR); // ends a wait in accept
        if (m_answerer.joinable())
            m_answerer.join();
        for (const int fd : m_clients)
            ::close(fd);
        if (m_fd >= 0)
            ::close(m_fd);
    }

    QByteArray name; // for DISPLAY or WAYLAND_DISPLAY; empty for none

private:
    int m_fd = -1;
    std::vector<int> m_clients;
    std::thread m_answerer;
};

} // namespace

void TestStartup::displayMustAnswerInTime_data() {
    QTest::addColumn<QByteArray>("platform"); // QT_QPA_PLATFORM; "-" for unset
    QTest::addColumn<QString>("x");
    QTest::addColumn<QString>("wayland");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QByteArray>("chosen"); // QT_QPA_PLATFORM after the check
    QTest::newRow("xcb, X refuses") << QByteArray("xcb") << "refuse" << "none" << false << QByteArray("xcb");
    QTest::newRow("xcb, X says nothing") << QByteArray("xcb") << "silent" << "none" << false << QByteArray("xcb");
    QTest::newRow("xcb, X host drops the connection") << QByteArray("xcb") << "drop" << "none" << false << QByteArray("xcb");
    QTest::newRow("xcb, X answers") << QByteArray("xcb") << "answer" << "none" << true << QByteArray("xcb");
    QTest::newRow("wayland-egl, Wayland says nothing") << QByteArray("wayland-egl") << "answer" << "silent" << false << QByteArray("wayland-egl");
    QTest::newRow("wayland;xcb, Wayland refuses") << QByteArray("wayland;xcb") << "answer" << "refuse" << true << QByteArray("xcb");
    QTest::newRow("xcb;wayland, X says nothing") << QByteArray("xcb;wayland") << "silent" << "answer" << true << QByteArray("wayland");
    QTest::newRow("xcb;offscreen, X says nothing") << QByteArray("xcb;offscreen") << "silent" << "none" << true << QByteArray("offscreen");
    QTest::newRow("offscreen, not asked") << QByteArray("offscreen") << "refuse" << "refuse" << true << QByteArray("offscreen");
    QTest::newRow("unset, X says nothing, Wayland answers") << QByteArray("-") << "silent" << "answer" << true << QByteArray("wayland");
    QTest::newRow("unset, both answer") << QByteArray("-") << "answer" << "answer" << true << QByteArray("-");
    QTest::newRow("unset, X drops, Wayland says nothing") << QByteArray("-") << "drop" << "silent" << false << QByteArray("-");
    // As a launcher may leave them (the row's name says which): the check answers all the same.
    QTest::newRow("xcb, X says nothing, SIGCHLD ignored") << QByteArray("xcb") << "silent" << "none" << false << QByteArray("xcb");
    QTest::newRow("xcb, X refuses, SIGCHLD ignored, all blocked") << QByteArray("xcb") << "refuse" << "none" << false << QByteArray("xcb");
}

void TestStartup::displayMustAnswerInTime() {
    QFETCH(QByteArray, platform);
    QFETCH(QString, x);
    QFETCH(QString, wayland);
    QFETCH(bool, found);
    QFETCH(QByteArray, chosen);
    const QByteArray inherited = QTest::currentDataTag();
    const FakeDisplay xServer(true, x, m_config->path());
    const FakeDisplay compositor(false, wayland, m_config->path());
    QVERIFY(x == QLatin1String("none") || !xServer.name.isEmpty());
    const char* const names[] = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};
    QByteArray saved[3];
    for (int i = 0; i < 3; ++i)
        saved[i] = qgetenv(names[i]);
    qputenv("DISPLAY", xServer.name);
    qputenv("WAYLAND_DISPLAY", compositor.name);
    if (platform == "-")
        qunsetenv("QT_QPA_PLATFORM");
    else
        qputenv("QT_QPA_PLATFORM", platform);

    struct sigaction childAction;
    sigset_t mask, all;
    sigaction(SIGCHLD, nullptr, &childAction);
    pthread_sigmask(SIG_SETMASK, nullptr, &mask);
    sigfillset(&all);
    if (inherited.contains("SIGCHLD ignored"))
        std::signal(SIGCHLD, SIG_IGN);
    if (inherited.contains("all blocked"))
        pthread_sigmask(SIG_BLOCK, &all, nullptr);

    const int boundMs = 500;
    QElapsedTimer timer;
    timer.start();
    const bool result = findDisplay(0, nullptr, boundMs);
    const qint64 ms = timer.elapsed();
    pthread_sigmask(SIG_SETMASK, &mask, nullptr);
    sigaction(SIGCHLD, &childAction, nullptr);
    const QByteArray after = qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ? qgetenv("QT_QPA_PLATFORM") : "-";
    for (int i = 0; i < 3; ++i)
        qputenv(names[i], saved[i]);
    QCOMPARE(result, found);
    QCOMPARE(after, chosen);
    QVERIFY2(ms < boundMs + 2000, qPrintable(QString::number(ms)));
}

int main(int argc, char** argv) {
    if (argc >= 2 && !std::strcmp(argv[1], kChildFlag))
        return runChild(argc, argv, argc >= 3 ? QString::fromLatin1(argv[2]) : QString());
    // The children inherit these; a run from a shell that ignores them (a
    // background job) must not make the program under test ignore them too.
    for (const int sig : {SIGINT, SIGHUP, SIGTERM})
        std::signal(sig, SIG_DFL);
    QCoreApplication app(argc, argv);
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
