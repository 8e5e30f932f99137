#include "tests/support/unprivileged.h"

#include <QDirIterator>
#include <QFile>

#include <cerrno>
#include <cstdio>

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Looked up before any fork: a child of a threaded process may not.
uid_t g_uid = 0;
gid_t g_gid = 0;

bool findNobody() {
    if (g_uid == 0) {
        const passwd* nobody = ::getpwnam("nobody");
        if (!nobody || nobody->pw_uid == 0)
            return false;
        g_uid = nobody->pw_uid;
        g_gid = nobody->pw_gid;
    }
    return true;
}

enum ChildExit { Held = 0, Failed = 1, CannotDrop = 2 };

int runInChild(const std::function<bool()>& check) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0)
        return CannotDrop;
    if (pid == 0)
        ::_exit(!dropToUnprivileged() ? CannotDrop : check() ? Held : Failed);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : Failed;
}

} // namespace

QString unprivilegedProblem(const QStringList& reach) {
    if (::geteuid() != 0)
        return QString();
    if (!findNobody())
        return QStringLiteral("runs as root, and there is no user nobody to drop to");
    const int result = runInChild([&reach] {
        for (const QString& path : reach) {
            if (::access(QFile::encodeName(path).constData(), F_OK) != 0)
                return false;
        }
        return true;
    });
    if (result == CannotDrop)
        return QStringLiteral("runs as root, and may not become the user nobody (no CAP_SETUID)");
    if (result != Held)
        return QStringLiteral("runs as root, and the user nobody cannot reach all of %1 (a folder "
                              "on the way is closed to others)")
            .arg(reach.join(QStringLiteral(", ")));
    return QString();
}

bool handToUnprivileged(const QString& path) {
    if (::geteuid() != 0)
        return true;
    if (!findNobody())
        return false;
    bool done = ::lchown(QFile::encodeName(path).constData(), g_uid, g_gid) == 0;
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        done = ::lchown(QFile::encodeName(it.next()).constData(), g_uid, g_gid) == 0 && done;
    return done;
}

bool dropToUnprivileged() {
    if (::geteuid() != 0)
        return true;
    return g_uid != 0 && ::setgroups(0, nullptr) == 0 && ::setgid(g_gid) == 0 &&
           ::setuid(g_uid) == 0 && ::geteuid() == g_uid;
}

bool runUnprivileged(const std::function<bool()>& check) {
    if (::geteuid() != 0)
        return check();
    return runInChild(check) == Held;
}
