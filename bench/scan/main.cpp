// Runs one whole scan of LHBPKWidget against a local service that answers at
// once, and prints how close the scan comes to its designed pace (the pauses
// between requests), how much CPU it burns while it mostly waits, and the
// longest stall of the GUI thread's event loop while the scan runs.
//
//   bench_scan [--stocks N]     N listed stocks per day (default 20)
//   bench_scan --quick          2 stocks a day: the same path, in about 14 s

#include "app/scan/lhbpkwidget.h"
#include "app/scan/stockinfotask.h"
#include "app/scan/stocklisttask.h"
#include "app/scan/stockstatustask.h"
#include "app/shell/startup.h"
#include "app/views/stocklistview.h"
#include "core/providers/eastmoneylhbdatainterface.h"
#include "core/providers/eastmoneylhblistinterface.h"
#include "core/stockapplication.h"
#include "tests/support/fixtures.h"
#include "tests/support/testhttpserver.h"

#include <QCommandLineParser>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

const QStringList kDays = {QStringLiteral("2017-10-16"), QStringLiteral("2017-10-13"),
                           QStringLiteral("2017-10-12")};

double processCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

QString code(int i) {
    return QString::number(600000 + i);
}

// One page of a day's list reply in the service's shape: rows from to
// before to, of a list of the given pages.
QString listReply(const QString& day, int from, int to, int pages) {
    QStringList rows;
    for (int i = from; i < to; ++i) {
        rows << QStringLiteral(
                    "{\"SCode\":\"%1\",\"SName\":\"样本%2\",\"ClosePrice\":\"10.5\",\"Chgradio\":"
                    "\"%3\","
                    "\"Dchratio\":\"%4\",\"JmMoney\":\"1234567.8\",\"Turnover\":\"%5\","
                    "\"Ctypedes\":\"日涨幅偏离值达到7%的证券\",\"Tdate\":\"%6\","
                    "\"JD\":\"实力游资买入，成功率45.72%\",\"DP\":\"实力游资买入，成功率45.72%\"}")
                    .arg(code(i))
                    .arg(i)
                    .arg(1.0 + (i % 9) * 0.987)
                    .arg(2.0 + (i % 13) * 1.5)
                    .arg(100000000 + i * 1234567)
                    .arg(day);
    }
    return QStringLiteral("var data_tab_1={\"success\":true,\"pages\":%1,\"data\":[%2]}")
        .arg(pages)
        .arg(rows.join(QLatin1Char(',')));
}

QString seatRow(int id, int n) {
    return QStringLiteral("<tr><td>%1</td><td><div class=\"sc-name\"><a href=\"#\"><a "
                          "href=\"/lhb/yyb/%2.html\">"
                          "样本证券营业部%2</a></a><span class=\"times\">%3</span>"
                          "<span class=\"percent\">%4%</span></div></td><td>%5</td><td>3.21%</td>"
                          "<td>%6</td><td>0.12%</td><td>%7</td></tr>\n")
        .arg(n)
        .arg(id)
        .arg(id % 40)
        .arg(30 + id % 50)
        .arg(100 + id % 900)
        .arg(id % 70)
        .arg(100 + id % 900 - id % 70);
}

// One list-entry page with five buying and five selling seats.
QString seatPage(int seed) {
    QString buys, sells;
    for (int k = 0; k < 5; ++k) {
        buys += seatRow(80000000 + (seed * 7 + k) % 300, k + 1);
        sells += seatRow(80000000 + (seed * 11 + k + 5) % 300, k + 1);
    }
    return QStringLiteral(
               "<!DOCTYPE html>\n<html><head><title>样本</title></head><body>\n"
               "<div class=\"content-sepe\"><table><tbody>\n%1</tbody></table>\n"
               "<table><tbody>\n%2</tbody><tfoot><tr class=\"total-tr\"><td><span>合计</span></td>"
               "<td><span>2500</span></td><td><span>16%</span></td><td><span>600</span></td>"
               "<td><span>4%</span></td><td><span>1900</span></td></tr></tfoot></table></div>\n"
               "</body></html>\n")
        .arg(buys, sells);
}

} // namespace

int main(int argc, char** argv) {
    // The application object reads and writes config.ini in the working
    // directory and a per-user marker; keep both out of the user's files.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return 1;
    QDir::setCurrent(scratch.path());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(scratch.path() + QStringLiteral("/config")));
    if (!findDisplay()) // none named, or a stale one
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("http_proxy");
    qunsetenv("HTTP_PROXY");

    StockApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption stocksOption(QStringLiteral("stocks"),
                                    QStringLiteral("Listed stocks per day (default 20)."),
                                    QStringLiteral("N"), QStringLiteral("20"));
    parser.addOption(stocksOption);
    QCommandLineOption quickOption(
        QStringLiteral("quick"),
        QStringLiteral("2 listed stocks per day unless --stocks is given."));
    parser.addOption(quickOption);
    parser.process(app);
    const int stocks = parser.isSet(quickOption) && !parser.isSet(stocksOption)
                           ? 2
                           : std::max(1, parser.value(stocksOption).toInt());

    TestHttpServer server;
    if (!server.listen()) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1\n");
        return 1;
    }
    server.setDefaultResponse(QByteArray(), 404);
    int seed = 0;
    // A day of more stocks than a page holds comes in pages, as the service sends it.
    const int perPage = EastmoneyLHBListInterface::kRowsPerPage;
    const int listPages = (stocks + perPage - 1) / perPage;
    for (const QString& day : kDays) {
        for (int page = 1; page <= listPages; ++page)
            server.setRoute(EastmoneyLHBListInterface::pageUrl(day, page),
                            toGbk(listReply(day, (page - 1) * perPage,
                                            std::min(stocks, page * perPage), listPages)));
        for (int i = 0; i < stocks; ++i) {
            EastmoneyLHBDataInterface pageClient;
            const QString url =
                pageClient.urls(QStringList{code(i) + QLatin1Char(',') + day}).value(0);
            server.setRoute(url, toGbk(seatPage(seed++)));
        }
    }
    server.installAsApplicationProxy();

    LHBPKWidget widget;
    widget.resize(960, 640);
    widget.show();
    widget.dateEdit()->setDate(QDate::fromString(kDays.first(), QStringLiteral("yyyy-MM-dd")));
    QCoreApplication::processEvents();

    const int pages = 3 * stocks;
    const double designed =
        3 * listPages * StockListTask::kPauseMs / 1000.0 + StockStatusTask::kPauseMs / 1000.0 +
        pages * StockInfoTask::kPauseMs / 1000.0 + StockStatusTask::kPauseMs / 1000.0;
    std::printf("scan of %d listed stocks per day, %d list-entry pages; designed minimum %.2f s\n",
                stocks, pages, designed);
    std::fflush(stdout);

    // A 10 ms timer on the GUI thread: its greatest lateness is the longest
    // time the event loop could not turn during the scan.
    constexpr int kTickMs = 10;
    QEventLoop loop;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(kTickMs);
    QElapsedTimer sinceTick;
    qint64 worstLateNs = 0;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        worstLateNs = std::max(worstLateNs, sinceTick.nsecsElapsed() - kTickMs * 1000000LL);
        sinceTick.restart();
        // The scan has ended when the button is back and the last task has run.
        if (widget.scanButton()->isEnabled() && widget.threadPool()->activeThreadCount() == 0)
            loop.quit();
    });

    QElapsedTimer wall;
    const double cpuStart = processCpuSeconds();
    wall.start();
    widget.scanButton()->click();
    sinceTick.start();
    ticker.start();
    loop.exec();
    const double wallSeconds = wall.nsecsElapsed() / 1e9;
    const double cpuSeconds = processCpuSeconds() - cpuStart;
    ticker.stop();

    int seatEntries = 0;
    const auto seats = app.lhbSeats();
    for (const auto& day : seats)
        seatEntries += day.size();
    const int listed = widget.stockList()->rowCount();

    const double ratio = wallSeconds / designed;
    const double cpuShare = cpuSeconds / wallSeconds;
    const double stallMs = worstLateNs / 1e6;
    std::printf("stocks listed %d of %d, seat entries stored %d of %d, requests served %d\n",
                listed, stocks, seatEntries, pages, server.requestCount());
    std::printf(
        "wall time        %8.3f s   designed minimum %.3f s   ratio %.4f  (goal <= 1.05)  %s\n",
        wallSeconds, designed, ratio, ratio <= 1.05 ? "met" : "MISSED");
    std::printf("process CPU time %8.3f s   share of wall time %.2f %%  (goal < 5 %%)  %s\n",
                cpuSeconds, 100.0 * cpuShare, cpuShare < 0.05 ? "met" : "MISSED");
    std::printf("largest GUI stall %7.1f ms  (lateness of a %d ms timer; goal <= 100 ms)  %s\n",
                stallMs, kTickMs, stallMs <= 100.0 ? "met" : "MISSED");

    TestHttpServer::removeApplicationProxy();
    // A scan that did not fetch what was served is a broken run, not a figure.
    if (listed != stocks || seatEntries != pages) {
        std::fprintf(stderr, "wrong result: the scan did not store what was served\n");
        return 1;
    }
    return 0;
}
