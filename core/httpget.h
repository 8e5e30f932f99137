#pragma once

#include <QString>

// Default bound on one fetch: a reply that has not finished by then is
// aborted and what arrived so far is returned.
constexpr int kHttpGetTimeoutMs = 30000;

// Blocking GET of an absolute URL; the body decoded as GBK, "" when none
// arrived. The calling thread's events keep flowing during the wait. A
// timeoutMs of 0 or less waits without a bound.
QString httpGet(const QString& url, int timeoutMs = kHttpGetTimeoutMs);
