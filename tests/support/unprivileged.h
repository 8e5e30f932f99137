#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Cases about what file permissions forbid need a user whom they bind, and
// root is not one. Run as root (as in CI), such a case runs as the user
// "nobody" instead, in a child process that drops to it.

// Why the case cannot run unprivileged here, or empty when it can: as root,
// "nobody" must exist, the process must be allowed to become it, and it
// must reach every path given. Call it before the other two below.
QString unprivilegedProblem(const QStringList& reach = {});

// As root, gives path (a folder with all it holds) to that user; otherwise
// there is nothing to do. Returns whether it is done.
bool handToUnprivileged(const QString& path);

// In a child process, after fork: becomes that user when root. Returns
// whether the process now runs unprivileged.
bool dropToUnprivileged();

// Runs check in a child that has dropped to that user (in this process when
// it is no root) and returns whether the child could and check held.
bool runUnprivileged(const std::function<bool()>& check);
