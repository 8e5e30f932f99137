#include "tests/support/unprivileged.h"

#include <QFile>
#include <QProcess>

#include <cerrno>
#include <cstdio>

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

// Looked up before any fork: a child of a threaded process may not.
static uid_t g_uid = 0;
static gid_t g_gid = 0;

QString unprivilegedProblem(const QStringList& reach) {
    if (::geteuid() != 0)
        return QString();
    if (const passwd* nobody = ::getpwnam("nobody")) {
        g_uid = nobody->pw_uid;
        g_gid = nobody->pw_gid;
    }
    const bool reached = g_uid != 0 && runUnprivileged([&reach] {
                             for (const QString& path : reach) {
                                 if (::access(QFile::encodeName(path).constData(), F_OK) != 0)
                                     return false;
                             }
                             return true;
                         });
    return reached ? QString()
                   : QStringLiteral("runs as root, and there is no user nobody, or root may not "
                                    "become nobody, or nobody cannot reach all of %1")
                         .arg(reach.join(QStringLiteral(", ")));
}

bool handToUnprivileged(const QString& path) {
    return ::geteuid() != 0 ||
           QProcess::execute(QStringLiteral("chown"),
                             {QStringLiteral("-R"), QStringLiteral("nobody:"), path}) == 0;
}

bool dropToUnprivileged() {
    return ::geteuid() != 0 || (g_uid != 0 && ::setgroups(0, nullptr) == 0 &&
                                ::setgid(g_gid) == 0 && ::setuid(g_uid) == 0);
}

bool runUnprivileged(const std::function<bool()>& check) {
    if (::geteuid() != 0)
        return check();
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(dropToUnprivileged() && check() ? 0 : 1);
    int status = 0;
    while (pid > 0 && ::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return pid > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
