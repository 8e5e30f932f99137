// For each kind of reply read on the GUI thread (K-lines, news, a seat's
// history), serves the largest reply its bound admits, in the shape that
// gives the most rows, and runs the program's own path: fetch, parse, cache
// and fill. Prints the longest time the event loop went without turning
// and how much the peak resident memory grew.

#include "app/shell/startup.h"
#include "app/views/datatablewidget.h"
#include "app/views/lhbtabwidget.h"
#include "app/views/seathistory.h"
#include "chart/candlestickwidget.h"
#include "core/providers/stocknewsinterface.h"
#include "core/providers/stockqqhistoryinterface.h"
#include "core/stockapplication.h"

#include "tests/support/peakmemory.h"
#include "tests/support/testhttpserver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <functional>

namespace {

// The most rows of the given form that fit in bound bytes between head and tail.
QByteArray fill(const QByteArray& head, const QByteArray& row, const QByteArray& tail, qint64 bound)
{
    const qint64 rows = (bound - head.size() - tail.size() + 1) / (row.size() + 1);
    QByteArray body = head;
    body.reserve(int(bound));
    for (qint64 i = 0; i < rows; ++i) {
        if (i)
            body += ',';
        body += row;
    }
    return body + tail;
}

// Runs action() while a 1 ms timer watches the event loop; returns the
// longest gap between two of its turns, in ms.
double longestStall(const std::function<void()>& action)
{
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = qMax(longest, now - last);
        last = now;
    });
    clock.start();
    tick.start();
    action();
    const qint64 now = clock.nsecsElapsed();
    return qMax(longest, now - last) / 1e6;
}

void report(const char* kind, qint64 bytes, qint64 bound, int rows, double stallMs, long before)
{
    const long after = peakResidentKiB();
    std::printf("%-13s reply %7.1f KiB (bound %6.1f KiB)  %6d rows  longest stall %6.1f ms  "
                "peak memory +%5.1f MiB  %s\n",
                kind, bytes / 1024.0, bound / 1024.0, rows, stallMs, (after - before) / 1024.0,
                stallMs <= 100.0 && (after - before) <= 50 * 1024 ? "met" : "MISSED");
}

} // namespace

int main(int argc, char** argv)
{
    if (!findDisplay()) // none named, or a stale one
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("http_proxy");
    qunsetenv("HTTP_PROXY");
    QTemporaryDir work; // config.ini is written here, not where the bench is run
    QDir::setCurrent(work.path());
    StockApplication app(argc, argv);

    TestHttpServer server;
    if (!server.listenAsApplicationProxy()) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1\n");
        return 1;
    }
    server.setDefaultResponse(QByteArray(), 404);

    LHBTabWidget tabs;
    tabs.resize(960, 480);
    tabs.show();
    tabs.setCurrentWidget(tabs.chart());
    QCoreApplication::processEvents();
    bool ok = true;

    // K-lines: the shortest valid bars make the most of them.
    {
        const qint64 bound = StockQQHistoryInterface::kMaxReplyBytes;
        const QByteArray reply = fill("{\"code\":0,\"data\":{\"sh600001\":{\"hfqday\":[",
                                      "[\"2017-10-09\",1,1,1,1,1]", "]}}}", bound);
        const QString path = QUrl(StockQQHistoryInterface().urls({"600001"}).value(0)).path();
        server.setRoute(path, reply, 200, "application/json");
        const long before = peakResidentKiB();
        const double stall = longestStall([&] { tabs.showStock("600001", "2017-10-09"); });
        const int kept = app.getKLines("600001").size();
        report("K-lines", reply.size(), bound, int(reply.count("],[")) + 1, stall, before);
        std::printf("%-13s %d bars kept in the cache\n", "", kept);
        ok = ok && kept == StockQQHistoryInterface::kBarsAsked;
    }

    // News: rows of one short field each.
    {
        tabs.setCurrentWidget(tabs.newsTable());
        const qint64 bound = StockNewsInterface::kMaxReplyBytes;
        const QByteArray reply = fill("{\"code\":0,\"data\":{\"data\":[", "{\"title\":\"t\"}", "]}}", bound);
        server.setRoute(QUrl(StockNewsInterface().url("600002")).path(), reply, 200, "application/json");
        const long before = peakResidentKiB();
        const double stall = longestStall([&] { tabs.loadNews("600002"); });
        const int rows = tabs.newsTable()->table()->rowCount();
        report("news", reply.size(), bound, rows, stall, before);
        ok = ok && rows > 0;
    }

    // A seat's history: fetched, filled into its dialog and shown; the
    // dialog is closed once it has been painted.
    {
        const qint64 bound = kSeatHistoryMaxReplyBytes;
        const QByteArray reply = fill("var fyeUKhdn={\"success\":true,\"pages\":1,\"data\":[",
                                      "{\"TDate\":\"1\"}", "]}", bound);
        server.setRoute(seatHistoryUrl("80153279"), reply, 200, "text/plain");
        int rows = 0;
        QTimer closer;
        closer.setInterval(20);
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<DataTableWidget*>(QApplication::activeModalWidget())) {
                rows = dialog->table()->rowCount();
                dialog->reject();
            }
        });
        closer.start();
        const long before = peakResidentKiB();
        const double stall =
            longestStall([&] { showSeatHistory("80153279", QStringLiteral("某营业部"), &tabs); });
        report("seat history", reply.size(), bound, rows, stall, before);
        ok = ok && rows > 0;
    }
    return ok ? 0 : 1;
}
