// The start-up sequence end to end: child processes run the program's own
// start-up with a private per-user settings folder, and report which windows
// appeared in which order.
#include "app/crashhandler.h"
#include "app/lhbmainwindow.h"
#include "app/startup.h"
#include "app/stocknotewidget.h"
#include "core/stockapplication.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char* const kChildFlag = "--startup-child";

void say(const QString& line) {
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

// Runs in the child: the program's start-up, with a watcher that closes the
// note and then the main window, as a user would.
int runChild(int argc, char** argv, bool crashInMainWindow) {
    static CrashHandler handler;
    seedRandomGenerators();
    StockApplication app(argc, argv);

    bool noteSeen = false;
    bool mainSeen = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        bool mainVisible = false;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<LHBMainWindow*>(w) && w->isVisible())
                mainVisible = true;

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
            if (crashInMainWindow)
                std::abort();
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
};

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void init();
    void firstRunShowsNoteOnce();
    void markerValue_data();
    void markerValue();
    void crashKeepsNoteForNextStart();

private:
    ChildRun runProgram(bool crash = false);
    QString markerFile() const { return m_config->filePath(QStringLiteral("vesk/lhb.conf")); }
    QVariant storedMarker() const;
    void setMarker(const QString& value);

    std::unique_ptr<QTemporaryDir> m_config;
    std::unique_ptr<QTemporaryDir> m_work;
};

void TestStartup::init() {
    m_config.reset(new QTemporaryDir);
    m_work.reset(new QTemporaryDir);
    QVERIFY(m_config->isValid() && m_work->isValid());
}

ChildRun TestStartup::runProgram(bool crash) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config->path());
    env.insert(QStringLiteral("HOME"), m_config->path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // A machine without a Chinese locale.
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    child.setProcessEnvironment(env);
    child.setWorkingDirectory(m_work->path());
    child.setProcessChannelMode(QProcess::SeparateChannels);
    QStringList args{QLatin1String(kChildFlag)};
    if (crash)
        args << QStringLiteral("crash");
    child.start(QCoreApplication::applicationFilePath(), args);
    ChildRun run;
    if (!child.waitForFinished(60000)) {
        child.kill();
        child.waitForFinished();
        return run;
    }
    run.exitCode = child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -2;
    run.lines = QString::fromUtf8(child.readAllStandardOutput())
                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return run;
}

QVariant TestStartup::storedMarker() const {
    QSettings settings(markerFile(), QSettings::IniFormat);
    return settings.value(QStringLiteral("init"));
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
    const ChildRun crashed = runProgram(true);
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

int main(int argc, char** argv) {
    if (argc >= 2 && !std::strcmp(argv[1], kChildFlag))
        return runChild(argc, argv, argc >= 3 && !std::strcmp(argv[2], "crash"));
    QCoreApplication app(argc, argv);
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
