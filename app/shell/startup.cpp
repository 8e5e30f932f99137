#include "app/shell/startup.h"

#include "app/shell/lhbmainwindow.h"
#include "app/shell/stocknotewidget.h"
#include "app/views/servicetext.h"
#include "core/stockapplication.h"

#include <QApplication>
#include <QDateTime>
#include <QFont>
#include <QLocale>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
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
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction current;
        if (sigaction(sig, nullptr, &current) == 0 && current.sa_handler == SIG_IGN)
            continue;
        struct sigaction action = {};
        action.sa_handler = onTerminationSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(sig, &action, nullptr);
    }
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

// Whether the X server that DISPLAY names answers, reached as Qt's xcb
// plugin reaches it (its authorisation included).
bool xDisplayOpens() {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool opens = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return opens;
}

// Whether a compositor listens on the socket that WAYLAND_DISPLAY names: a
// path, or a name in XDG_RUNTIME_DIR.
bool waylandDisplayOpens() {
    const QByteArray name = qgetenv("WAYLAND_DISPLAY");
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (name.isEmpty() || (!name.startsWith('/') && runtime.isEmpty()))
        return false;
    const QByteArray path = name.startsWith('/') ? name : runtime + '/' + name;
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(path.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool opens =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return opens;
}

} // namespace

bool findDisplay() {
    // A platform chosen by name (offscreen, for one) is Qt's to open.
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    const bool x = xDisplayOpens();
    const bool wayland = waylandDisplayOpens();
    // Qt tries one display and aborts when that one fails: where only one
    // answers, Qt is told to take that one.
    if (x != wayland)
        qputenv("QT_QPA_PLATFORM", x ? "xcb" : "wayland");
    return x || wayland;
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

bool showFirstRunNote(const StockApplication& app) {
    if (app.isInitialized())
        return false;
    StockNoteWidget note(QString::fromUtf8(kFirstRunCaption), QLatin1String(kInfoPagePath),
                         nullptr);
    note.exec(); // however it is closed, start-up goes on
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
    // Ended while a message or the note was open: the main window does not come.
    if (g_terminationRequested)
        return 0;

    int result = 0;
    {
        LHBMainWindow window(nullptr);
        window.show();
        result = app.exec();
    } // the window, and with it the scan widget, goes before the application
    return result;
}
