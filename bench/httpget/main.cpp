// Fetches a chunked reply that never ends from a local server, once, and
// prints the process's peak resident memory before and after: the fetch must
// give up at its bound on the body instead of keeping the reply in memory.

#include "core/httpget.h"

#include "tests/support/peakmemory.h"
#include "tests/support/testhttpserver.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    qunsetenv("http_proxy");
    qunsetenv("HTTP_PROXY");

    TestHttpServer server;
    if (!server.listen()) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1\n");
        return 1;
    }
    // The day list's shape, with rows that keep coming.
    server.setEndlessRoute(QStringLiteral("/endless"), QByteArray("var data_tab_1={\"data\":["),
                           QByteArray("{\"SCode\":\"600001\",\"SName\":\"abc\",\"Chgradio\":"
                                      "\"9.9554\",\"Tdate\":\"2017-10-09\"},"));
    const QString url = server.baseUrl() + QStringLiteral("/endless");

    const long before = peakResidentKiB();
    HttpGetStatus status;
    QElapsedTimer timer;
    timer.start();
    const QString text = httpGet(url, &status);
    const double seconds = timer.nsecsElapsed() / 1e9;
    const long after = peakResidentKiB();

    const double boundMiB = kHttpGetMaxBodyBytes / (1024.0 * 1024.0);
    const double peakMiB = after / 1024.0;
    std::printf("one fetch of an endless reply: %.3f s, ok %s, %d chars returned, error \"%s\"\n",
                seconds, status.ok ? "true" : "false", static_cast<int>(text.size()),
                qPrintable(status.error));
    std::printf("peak resident memory  before %8.1f MiB   after %8.1f MiB   growth %8.1f MiB\n",
                before / 1024.0, peakMiB, (after - before) / 1024.0);
    std::printf("body bound %.0f MiB; goal: growth within about the bound, peak under 400 MiB  %s\n",
                boundMiB, (after - before) / 1024.0 <= 1.5 * boundMiB && peakMiB < 400 ? "met"
                                                                                       : "MISSED");
    // A fetch that did not end as a refused reply is a broken run, not a figure.
    return (!status.ok && text.isEmpty() && before > 0) ? 0 : 1;
}
