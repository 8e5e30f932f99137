#include "app/shell/startup.h"

#include "app/shell/lhbmainwindow.h"
#include "app/shell/stocknotewidget.h"
#include "app/views/servicetext.h"
#include "core/stockapplication.h"

#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QFont>
#include <QLocale>
#include <QMessageBox>
#include <QSettings>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initResourcesOnce() {
    Q_INIT_RESOURCE(resources);
}

void initVeskResources() {
    static const bool done = (initResourcesOnce(), true);
    (void)done;
}

namespace {

// The handler only writes a byte here; the GUI thread reads it through a
// socket notifier and does the rest, where anything may be called.
int g_signalPipe[2] = {-1, -1};
bool g_terminationRequested = false;

void onTerminationSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    const ssize_t written = write(g_signalPipe[1], &byte, 1);
    (void)written; // a full pipe already holds a request
    errno = savedErrno;
}

bool installTerminationHandlers() {
    if (pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    sigset_t caught;
    sigemptyset(&caught);
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction current;
        if (sigaction(sig, nullptr, &current) == 0 && current.sa_handler == SIG_IGN)
            continue;
        struct sigaction action = {};
        action.sa_handler = onTerminationSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(sig, &action, nullptr);
        sigaddset(&caught, sig);
    }
    // A launcher may have left them blocked, which would hold them for
    // ever; threads made later inherit this mask.
    pthread_sigmask(SIG_UNBLOCK, &caught, nullptr);
    return true;
}

} // namespace

bool catchTerminationSignals() {
    static const bool installed = installTerminationHandlers();
    return installed;
}

void endOnTerminationSignals(QApplication& app) {
    // The handlers once per process; the notifier for this application object.
    if (!catchTerminationSignals())
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        char bytes[16];
        while (read(g_signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        g_terminationRequested = true;
        // As if the user closed the windows: the scan stops, and every event
        // loop, nested ones included, ends with the exit code 0.
        QApplication::closeAllWindows();
        QCoreApplication::quit();
    });
}

namespace {

using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? int(left.count()) : 0;
}

// Waits until fd is ready for events or the deadline passes.
bool waitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd p = {fd, events, 0};
        const int n = ::poll(&p, 1, msLeft(deadline));
        if (n > 0)
            return true;
        if (n == 0 || errno != EINTR)
            return false;
    }
}

// Asks whether the X server that DISPLAY names answers, reached as Qt's xcb
// plugin reaches it (its authorisation included). xcb_connect waits without
// a bound (on a silent server, or a host that drops the connection), so it
// runs in a child that is killed when the deadline passes.
//
// The child's exit status is its answer. A launcher may have left SIGCHLD
// ignored, and children inherit that: the system would then reap the child
// itself and its status be lost, so SIGCHLD takes its default until the
// child has been waited for. No signal to this process is needed for the
// wait, so a blocked one does not matter here.
class XDisplayCheck {
public:
    XDisplayCheck(bool ask, int boundMs) {
        if (!ask || qEnvironmentVariableIsEmpty("DISPLAY"))
            return;
        // Where the child cannot be made, Qt is left to try.
        m_answers = true;
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return;
        struct sigaction byDefault = {};
        byDefault.sa_handler = SIG_DFL;
        sigemptyset(&byDefault.sa_mask);
        m_childActionSet = ::sigaction(SIGCHLD, &byDefault, &m_childAction) == 0;
        m_pid = ::fork();
        if (m_pid == 0) {
            // Whatever happens in here is no crash of the program's; its own
            // bound, the alarm, must reach it whatever mask it inherited.
            for (const int sig : {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL, SIGPIPE, SIGALRM})
                std::signal(sig, SIG_DFL);
            sigset_t none;
            sigemptyset(&none);
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
            // Not left waiting when the program is ended before it is done.
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            ::alarm(unsigned(boundMs / 1000 + 2));
            ::close(fds[0]);
            xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
            ::_exit(xcb_connection_has_error(connection) == 0 ? 0 : 1);
        }
        ::close(fds[1]);
        if (m_pid < 0)
            ::close(fds[0]);
        else
            m_fd = fds[0];
    }
    ~XDisplayCheck() {
        finish(Clock::now());
        if (m_childActionSet)
            ::sigaction(SIGCHLD, &m_childAction, nullptr);
    }
    XDisplayCheck(const XDisplayCheck&) = delete;
    XDisplayCheck& operator=(const XDisplayCheck&) = delete;

    // The child's answer, waited for until the deadline.
    bool answers(Clock::time_point deadline) {
        finish(deadline);
        return m_answers;
    }

private:
    void finish(Clock::time_point deadline) {
        if (m_pid <= 0)
            return;
        // The pipe's end closes when the child ends.
        if (!waitFor(m_fd, POLLIN, deadline))
            ::kill(m_pid, SIGKILL);
        int status = 0;
        pid_t waited;
        while ((waited = ::waitpid(m_pid, &status, 0)) < 0 && errno == EINTR) {
        }
        // A status that could not be had is no answer.
        m_answers = waited == m_pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        ::close(m_fd);
        m_pid = -1;
    }

    pid_t m_pid = -1;
    int m_fd = -1;
    bool m_answers = false;
    struct sigaction m_childAction = {}; // SIGCHLD's as the program had it
    bool m_childActionSet = false;
};

// Asks whether a Wayland compositor answers on the socket that
// WAYLAND_DISPLAY names (a path, or a name in XDG_RUNTIME_DIR): it must
// return a wl_display.sync, as it does for Qt's first round trip. A socket
// that accepts and says nothing would hang Qt there.
class WaylandDisplayCheck {
public:
    explicit WaylandDisplayCheck(const QByteArray& display) {
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        if (display.isEmpty() || (!display.startsWith('/') && runtime.isEmpty()))
            return;
        const QByteArray path = display.startsWith('/') ? display : runtime + '/' + display;
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        if (static_cast<std::size_t>(path.size()) >= sizeof address.sun_path)
            return;
        std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        // wl_display (object 1) request 0, sync, with the new callback object 2.
        const quint32 sync[3] = {1, (12u << 16) | 0u, 2};
        if (m_fd >= 0 &&
            (::connect(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
             ::send(m_fd, sync, sizeof sync, MSG_NOSIGNAL) != ssize_t(sizeof sync)))
            finish();
    }
    ~WaylandDisplayCheck() { finish(); }
    WaylandDisplayCheck(const WaylandDisplayCheck&) = delete;
    WaylandDisplayCheck& operator=(const WaylandDisplayCheck&) = delete;

    // The compositor's answer, waited for until the deadline.
    bool answers(Clock::time_point deadline) {
        // The first event is the callback's (object 2) done (event 0).
        quint32 reply[2] = {0, 0};
        std::size_t got = 0;
        while (m_fd >= 0 && got < sizeof reply) {
            const ssize_t n =
                waitFor(m_fd, POLLIN, deadline)
                    ? ::recv(m_fd, reinterpret_cast<char*>(reply) + got, sizeof reply - got, 0)
                    : 0;
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (n <= 0)
                finish();
            got += n > 0 ? std::size_t(n) : 0;
        }
        if (m_fd >= 0) {
            m_answers = reply[0] == 2 && (reply[1] & 0xFFFFu) == 0;
            finish();
        }
        return m_answers;
    }

private:
    void finish() {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    int m_fd = -1;
    bool m_answers = false;
};

// The command line's platform, which Qt takes before QT_QPA_PLATFORM: the
// argument after the last "-platform" (or "--platform"), or -1.
int platformArgument(int argc, char** argv) {
    int found = -1;
    for (int i = 1; i + 1 < argc; ++i) {
        if (!std::strcmp(argv[i], "-platform") || !std::strcmp(argv[i], "--platform"))
            found = i + 1;
    }
    return found;
}

} // namespace

bool findDisplay(int argc, char** argv, int boundMs) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(boundMs);
    const int argument = platformArgument(argc, argv);
    const QByteArray platforms = argument > 0 ? QByteArray(argv[argument]) : qgetenv("QT_QPA_PLATFORM");
    const QList<QByteArray> names = platforms.isEmpty() ? QList<QByteArray>() : platforms.split(';');
    QList<QByteArray> plugins;
    for (const QByteArray& name : names)
        plugins << name.split(':').first().toLower();
    // The displays the platforms need are asked at once, so that each has
    // the whole bound. Qt's Wayland plugin takes "wayland-0" when none is
    // named; with no platform named, Qt does not try Wayland then.
    const QByteArray waylandDisplay = qgetenv("WAYLAND_DISPLAY");
    const bool waylandNamed = std::any_of(plugins.cbegin(), plugins.cend(), [](const QByteArray& p) {
        return p.startsWith("wayland");
    });
    XDisplayCheck x(names.isEmpty() || plugins.contains("xcb"), boundMs);
    WaylandDisplayCheck wayland(!waylandNamed ? (names.isEmpty() ? waylandDisplay : QByteArray())
                                : waylandDisplay.isEmpty() ? QByteArray("wayland-0")
                                                           : waylandDisplay);
    if (names.isEmpty()) {
        // Qt takes X or Wayland as the session has it, and aborts when that
        // one fails: where only one answers, Qt is told to take that one.
        const bool xOpens = x.answers(deadline);
        const bool waylandOpens = wayland.answers(deadline);
        if (xOpens != waylandOpens)
            qputenv("QT_QPA_PLATFORM", xOpens ? "xcb" : "wayland");
        return xOpens || waylandOpens;
    }
    // Qt tries the platforms of the list in order and takes the first that
    // opens. An X or Wayland display that does not answer is dropped from
    // it, so that Qt neither waits on it nor aborts; the first other
    // platform (offscreen, for one) and all after it are Qt's to open.
    QList<QByteArray> kept;
    for (int i = 0; i < names.size() && kept.isEmpty(); ++i) {
        bool opens = !plugins[i].isEmpty();
        if (plugins[i] == "xcb")
            opens = x.answers(deadline);
        else if (plugins[i].startsWith("wayland"))
            opens = wayland.answers(deadline);
        if (opens)
            kept = names.mid(i);
    }
    if (kept.isEmpty())
        return false;
    if (kept.size() < names.size()) {
        static QByteArray chosen;
        chosen = kept.join(';');
        if (argument > 0)
            argv[argument] = chosen.data();
        else
            qputenv("QT_QPA_PLATFORM", chosen);
    }
    return true;
}

QString noDisplayMessage(const QString& program) {
    return QStringLiteral("本程序需要图形显示，但 DISPLAY 与 WAYLAND_DISPLAY 均未设置，"
                          "或所指的显示无法打开；可在虚拟显示中运行：xvfb-run -a %1 / "
                          "This program needs a graphical display, but neither DISPLAY nor "
                          "WAYLAND_DISPLAY names one that opens; run it under a virtual one: "
                          "xvfb-run -a %1")
        .arg(program);
}

void seedRandomGenerators() {
    const auto now = static_cast<unsigned>(std::time(nullptr));
    std::srand(now);
    // The query strings of the data clients draw from qrand().
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    qsrand(now);
    QT_WARNING_POP
}

void applyChineseLocale() {
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
}

QString applyApplicationStyle(QApplication& app) {
    for (const char* name : {"Cleanlooks", "Fusion"}) {
        if (QStyle* style = QStyleFactory::create(QLatin1String(name))) {
            app.setStyle(style);
            return QLatin1String(name);
        }
    }
    return QString();
}

bool installQtTranslation(QApplication& app) {
    auto* translator = new QTranslator;
    if (translator->load(QLatin1String(kQtTranslationPath), QString(), QString(), QString())) {
        // Parented to the application so it lives exactly as long as it.
        translator->setParent(&app);
        app.installTranslator(translator);
        return true;
    }
    delete translator;
    return false;
}

void applyApplicationFont(QApplication& app) {
    QFont font;
    font.setPointSize(10);
    app.setFont(font);
}

namespace {

// Why the per-user settings file cannot be written, in the system's words,
// or empty when it can: QSettings makes its folder and replaces the file by
// a new one written beside it.
std::string settingsWriteProblem(const QString& file) {
    const QByteArray folder = QFile::encodeName(QFileInfo(file).absolutePath());
    for (int i = 1; i <= folder.size(); ++i) {
        if ((i == folder.size() || folder[i] == '/') && ::mkdir(folder.left(i).constData(), 0777) != 0 &&
            errno != EEXIST)
            return std::strerror(errno);
    }
    QByteArray probe = folder + "/.lhb.conf.XXXXXX";
    const int fd = ::mkostemp(probe.data(), O_CLOEXEC);
    if (fd < 0)
        return std::strerror(errno);
    ::close(fd);
    ::unlink(probe.constData());
    if (::faccessat(AT_FDCWD, QFile::encodeName(file).constData(), W_OK, AT_EACCESS) != 0 &&
        errno != ENOENT)
        return std::strerror(errno);
    return std::string();
}

// Where the first-run marker is kept when the user's settings cannot hold
// it: the per-user runtime folder, which lasts until logout or a restart.
// Empty when there is none.
QString runtimeMarkerFile() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/vesk/lhb.conf");
}

const char* const kMarkerKey = "init";
// The marker to set in the runtime folder when this run ends normally.
QString g_runtimeMarker;

} // namespace

bool showFirstRunNote(const StockApplication& app) {
    if (app.isInitialized())
        return false;
    // Where the marker cannot be kept, the note would come at every start:
    // it is kept in the runtime folder instead, and the note says why.
    const std::string problem = settingsWriteProblem(app.userSettingsFile());
    const QString runtimeMarker = problem.empty() ? QString() : runtimeMarkerFile();
    if (!runtimeMarker.isEmpty() &&
        QSettings(runtimeMarker, QSettings::IniFormat).value(QLatin1String(kMarkerKey)).toString() ==
            QLatin1String("TRUE"))
        return false;
    StockNoteWidget note(QString::fromUtf8(kFirstRunCaption), QLatin1String(kInfoPagePath),
                         nullptr);
    note.exec(); // however it is closed, start-up goes on
    g_runtimeMarker = runtimeMarker;
    if (!problem.empty() && !g_terminationRequested) {
        const QString when = runtimeMarker.isEmpty() ? QStringLiteral("本说明在每次启动时都会显示")
                                                     : QStringLiteral("本说明在重新登录或重启之前不会再显示");
        // It names the settings file's path, which may hold any character.
        QMessageBox::warning(nullptr, QString::fromUtf8(kFirstRunCaption),
                             asPlainText(QStringLiteral("无法保存用户设置文件 %1（%2），%3。")
                                             .arg(app.userSettingsFile(),
                                                  writeFailureReason(problem), when)));
    }
    return true;
}

bool showConfigProblem(const StockApplication& app) {
    const QString problem = app.configProblem();
    if (problem.isEmpty())
        return false;
    // It names the configuration file's path, which may hold any character.
    QMessageBox::warning(nullptr, QString::fromUtf8(kFirstRunCaption), asPlainText(problem));
    return true;
}

int runApplication(StockApplication& app) {
    // Qt 5 takes the literals as UTF-8 and already decodes local 8-bit text
    // with the locale's codec, so no codec needs to be set here.
    endOnTerminationSignals(app);
    initVeskResources();
    applyChineseLocale();
    applyApplicationStyle(app);
    installQtTranslation(app);
    applyApplicationFont(app);
    showConfigProblem(app);
    // A signal held since start-up ends the program in the message's loop;
    // the note's loop would not see it again.
    if (!g_terminationRequested)
        showFirstRunNote(app);
    int result = 0;
    // Ended while a message or the note was open: the main window does not come.
    if (!g_terminationRequested) {
        LHBMainWindow window(nullptr);
        window.show();
        result = app.exec();
    } // the window, and with it the scan widget, goes before the application
    // A normal end, as the application object's own marker is set then.
    if (!g_runtimeMarker.isEmpty()) {
        QSettings marker(g_runtimeMarker, QSettings::IniFormat);
        marker.setValue(QLatin1String(kMarkerKey), QStringLiteral("TRUE"));
    }
    return result;
}
