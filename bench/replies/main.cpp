// For each kind of reply read on the GUI thread (K-lines, news, a seat's
// history), serves the largest reply its bound admits, in the shape that
// gives the most rows, and runs the program's own path: fetch, parse, cache
// and fill (a news or seat-history reply of more rows than a page asks for
// is parsed and refused). Prints the longest time the event loop went
// without turning and how much the peak resident memory grew.
// The day list is read on the scan's worker: every page of the three days
// is as large as its bound admits and holds as many rows as a page may, its
// bytes in the texts the records keep. Prints the peak resident memory once
// all are stored, and the longest stall of the GUI thread's share: listing
// the day and screening each of its stocks.
// The K-line reply holds one bar a day, so the program keeps and draws the
// latest 480 of them, as of a whole history. Exits non-zero only when a
// result is wrong (other bars kept, a reply not refused that must be),
// never for a missed goal; --quick runs the same, it is quick already.

#include "app/scan/dayscreening.h"
#include "app/scan/lhbpkwidget.h"
#include "app/scan/stocklisttask.h"
#include "app/shell/startup.h"
#include "app/views/datatablewidget.h"
#include "app/views/lhbbs5widget.h"
#include "app/views/lhbtabwidget.h"
#include "app/views/seathistory.h"
#include "app/views/stocklistview.h"
#include "chart/candlestickwidget.h"
#include "core/httpget.h"
#include "core/providers/eastmoneylhblistinterface.h"
#include "core/providers/stocknewsinterface.h"
#include "core/providers/stockqqhistoryinterface.h"
#include "core/stockapplication.h"

#include "tests/support/peakmemory.h"
#include "tests/support/testhttpserver.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QSet>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <functional>

namespace {

// The most rows that fit in bound bytes between head and tail; row(i, rows)
// is the i-th of rows, all of one length.
QByteArray fill(const QByteArray& head, const std::function<QByteArray(qint64, qint64)>& row,
                const QByteArray& tail, qint64 bound) {
    const qint64 rows = (bound - head.size() - tail.size() + 1) / (row(0, 1).size() + 1);
    QByteArray body = head;
    body.reserve(int(bound));
    for (qint64 i = 0; i < rows; ++i) {
        if (i)
            body += ',';
        body += row(i, rows);
    }
    return body + tail;
}

QByteArray fill(const QByteArray& head, const QByteArray& row, const QByteArray& tail,
                qint64 bound) {
    return fill(
        head, [&row](qint64, qint64) { return row; }, tail, bound);
}

// Says why a run is broken, so that its figures are not read as the program's.
bool expect(bool holds, const char* what) {
    if (!holds)
        std::fprintf(stderr, "wrong result: %s\n", what);
    return holds;
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

// Lets the event loop turn until done() holds.
void turnUntil(const std::function<bool()>& done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
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
    // config.ini and the first-run marker are written here, not in the
    // folder the bench is run from nor in the user's settings.
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(work.path() + QStringLiteral("/config")));
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

    // K-lines: the shortest valid bars make the most of them, one a day
    // up to the last, oldest first as the service sends them.
    {
        const qint64 bound = StockQQHistoryInterface::kMaxReplyBytes;
        const QDate last(2017, 10, 9);
        const QByteArray reply = fill(
            "{\"code\":0,\"data\":{\"sh600001\":{\"hfqday\":[",
            [&last](qint64 i, qint64 rows) {
                return "[\"" + last.addDays(i - rows + 1).toString(Qt::ISODate).toLatin1() +
                       "\",1,1,1,1,1]";
            },
            "]}}}", bound);
        const QString path = QUrl(StockQQHistoryInterface().urls({"600001"}).value(0)).path();
        server.setRoute(path, reply, 200, "application/json");
        const long before = peakResidentKiB();
        const double stall = longestStall([&] {
            tabs.showStock("600001", "2017-10-09");
            turnUntil([&] { return !tabs.isLoading(); });
        });
        const QVector<Stock> bars = app.getKLines("600001");
        report("K-lines", reply.size(), bound, int(reply.count("],[")) + 1, stall, before);
        std::printf("%-13s %d bars kept in the cache, the last of %s\n", "", int(bars.size()),
                    bars.isEmpty() ? "none" : qPrintable(bars.last().date));
        ok &= expect(bars.size() == StockQQHistoryInterface::kBarsAsked &&
                         bars.last().date == last.toString(Qt::ISODate),
                     "the K-line cache does not hold the latest 480 bars");
    }

    // News: rows of one short field each.
    {
        tabs.setCurrentWidget(tabs.newsTable());
        const qint64 bound = StockNewsInterface::kMaxReplyBytes;
        const QByteArray reply = fill("{\"code\":0,\"data\":{\"data\":[", "{\"title\":\"t\"}", "]}}", bound);
        server.setRoute(QUrl(StockNewsInterface().url("600002")).path(), reply, 200, "application/json");
        const long before = peakResidentKiB();
        const double stall = longestStall([&] {
            tabs.loadNews("600002");
            turnUntil([&] { return !tabs.isLoading(); });
        });
        const int rows = tabs.newsTable()->table()->rowCount();
        report("news", reply.size(), bound, rows, stall, before);
        // More items than a page asks for: refused, and said.
        ok &= expect(rows == 0 && !tabs.newsTable()->notice().isEmpty(),
                     "the news reply of too many items was not refused");
    }

    // A seat's history, asked for from the seat table: fetched, filled into
    // its dialog and shown; the dialog is closed once it has been painted.
    {
        LHBUnit unit;
        unit.name = QStringLiteral("某营业部");
        unit.side = 1;
        unit.url = QStringLiteral("http://data.eastmoney.com/stock/lhb/yyb/80153279.html");
        app.setLhbSeats("2017-10-09", "600001", {unit});
        app.setSeatPageUrl(unit.name, unit.url);
        tabs.seatTable()->showStock("600001", "2017-10-09");
        tabs.seatTable()->onClick(0, 1);
        const qint64 bound = kSeatHistoryMaxReplyBytes;
        const QByteArray reply = fill("var fyeUKhdn={\"success\":true,\"pages\":1,\"data\":[",
                                      "{\"TDate\":\"1\"}", "]}", bound);
        server.setRoute(seatHistoryUrl("80153279"), reply, 200, "text/plain");
        int rows = 0;
        bool warned = false;
        QTimer closer;
        closer.setInterval(20);
        QObject::connect(&closer, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* dialog = qobject_cast<DataTableWidget*>(modal))
                rows = dialog->table()->rowCount();
            warned = warned || qobject_cast<QMessageBox*>(modal);
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
        });
        closer.start();
        const long before = peakResidentKiB();
        const double stall = longestStall([&] {
            tabs.seatTable()->showHistoryList();
            turnUntil([&] { return warned || rows > 0; });
        });
        report("seat history", reply.size(), bound, rows, stall, before);
        // More entries than a page asks for: refused, and said.
        ok &= expect(rows == 0 && warned, "the seat history of too many entries was not refused");
    }

    // Day lists: 3 days of the most pages, each page the most rows of the
    // longest texts. The first page comes through the worker's own fetch.
    {
        const qint64 bound = EastmoneyLHBListInterface::kMaxReplyBytes;
        const int rowsPerPage = EastmoneyLHBListInterface::kRowsPerPage;
        const int pages = EastmoneyLHBListInterface::kMaxPages;
        const QStringList days{"2017-10-09", "2017-10-06", "2017-10-05"};
        const QString head = QStringLiteral("var data_tab_1={\"success\":true,\"pages\":%1,\"data\":[")
                                 .arg(pages);
        const QString rowForm = QStringLiteral(
            "{\"SCode\":\"%1\",\"SName\":\"A\",\"Tdate\":\"%2\",\"Ctypedes\":\"r\","
            "\"Chgradio\":\"9.9554\",\"Dchratio\":\"17.128\",\"Turnover\":\"2508328205\","
            "\"JD\":\"%3\",\"DP\":\"%3\"}");
        const int rowBytes = int((bound - head.size() - 2 + 1) / rowsPerPage) - 1;
        const int padding = (rowBytes - rowForm.arg("600000", days.first(), "").size()) / 2;
        const auto pageText = [&](int day, int page) {
            QStringList rows;
            for (int r = 0; r < rowsPerPage; ++r)
                rows << rowForm.arg(QString::number(100000 + (day * pages + page) * rowsPerPage + r),
                                    days.at(day), QString(padding, QLatin1Char('x')));
            return head + rows.join(QLatin1Char(',')) + QStringLiteral("]}");
        };
        const QString firstPage = pageText(0, 0);
        server.setRoute(EastmoneyLHBListInterface::pageUrl(days.first(), 1), firstPage.toLatin1(),
                        200, "text/plain");
        HttpGetStatus status;
        const QString fetched = httpGet(EastmoneyLHBListInterface::pageUrl(days.first(), 1), &status,
                                        nullptr, kHttpGetTimeoutMs, bound);
        const bool whole = status.ok && fetched == firstPage
            && EastmoneyLHBListInterface::isListReply(fetched);
        // The page of the most rows the bound admits is read, and refused.
        QSet<QString> seen;
        QVector<Stock> refused;
        int badCodes = 0;
        const QByteArray mostRows = fill(head.toLatin1(), "{a:1}", "]}", bound);
        const bool refusedWhole =
            !StockListTask::readPage(QString::fromLatin1(mostRows), seen, refused, badCodes)
            && refused.isEmpty();
        for (int day = 0; day < days.size(); ++day) {
            QVector<Stock> records;
            seen.clear();
            for (int page = 0; page < pages; ++page)
                StockListTask::readPage(day == 0 && page == 0 ? fetched : pageText(day, page), seen,
                                        records, badCodes);
            app.setDayStocks(days.at(day), records);
        }
        const QVector<Stock> listed = app.dayStocks().value(days.first());
        std::printf("%-13s page %7.1f KiB (bound %6.1f KiB)  %d rows x %d pages x %d days  "
                    "peak resident %5.1f MiB  %s\n",
                    "day lists", firstPage.size() / 1024.0, bound / 1024.0, rowsPerPage, pages,
                    int(days.size()), peakResidentKiB() / 1024.0,
                    whole && refusedWhole && peakResidentKiB() <= 400 * 1024 ? "met" : "MISSED");
        ok &= expect(whole, "the largest day-list page was not fetched whole");
        ok &= expect(refusedWhole, "the page of too many rows was not refused");
        ok &= expect(listed.size() == rowsPerPage * pages, "the day's pages were not all stored");

        // Every listed stock with ten seats on each day, for the screens.
        QVector<LHBUnit> seats(10);
        for (int i = 0; i < seats.size(); ++i) {
            seats[i].name = QStringLiteral("seat %1").arg(i);
            seats[i].side = i < 5 ? 1 : 2;
            seats[i].buyAmount = 1000.0f;
        }
        for (const QString& day : days)
            for (const Stock& stock : listed)
                app.setLhbSeats(day, stock.code, seats);

        // Listing D's records, as the scan widget does once the lists are
        // stored; the window turns until every row is in.
        LHBPKWidget scan;
        scan.resize(960, 640);
        scan.show();
        QCoreApplication::processEvents();
        long before = peakResidentKiB();
        const double listing = longestStall([&] {
            scan.updateStockList(listed);
            while (scan.stockList()->rowCount() < listed.size())
                QCoreApplication::processEvents();
        });
        report("day listed", firstPage.size(), bound, scan.stockList()->rowCount(), listing,
               before);
        // Screening each listed stock, as the scan's end does.
        before = peakResidentKiB();
        const double screens = longestStall([&] {
            QSet<QString> codes;
            for (const Stock& stock : listed)
                codes.insert(stock.code);
            DayScreening screening;
            bool done = false;
            QObject::connect(&screening, &DayScreening::finished, [&] { done = true; });
            screening.start(codes.values(), app.stockNames(), days.at(0), days.at(1), days.at(2));
            turnUntil([&] { return done; });
        });
        report("day screened", firstPage.size(), bound, listed.size(), screens, before);
    }
    return ok ? 0 : 1;
}
