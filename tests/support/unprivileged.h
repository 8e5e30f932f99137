#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Cases about what file permissions forbid need a user whom they bind; root
// is none. Run as root (as in CI), such a case runs as the user nobody.

// Why the case cannot run so here (as root: no user nobody, no right to
// become it, or a path nobody cannot reach), or empty when it can. Call it
// before the calls below.
QString unprivilegedProblem(const QStringList& reach);
// As root, gives path and all it holds to nobody.
bool handToUnprivileged(const QString& path);
// In a child process after fork: becomes nobody when root.
bool dropToUnprivileged();
// Runs check in a child that has become nobody (here when no root) and
// returns whether the child could and check held.
bool runUnprivileged(const std::function<bool()>& check);
