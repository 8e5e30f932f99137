#include "app/scan/stocklisttask.h"

#include "app/scan/scanfailures.h"
#include "app/scan/stockevent.h"
#include "app/shell/crashhandler.h"
#include "core/cancelflag.h"
#include "core/httpget.h"
#include "core/providers/eastmoneylhblistinterface.h"
#include "core/stockapplication.h"
#include "core/utils.h"

#include <QCoreApplication>

#include <cmath>

StockListTask::StockListTask(QObject* receiver, int eventType, const QStringList& dates,
                             const CancelFlag* stop, std::shared_ptr<ScanFailures> failures)
    : m_receiver(receiver), m_eventType(eventType), m_dates(dates), m_stop(stop),
      m_failures(std::move(failures)) {}

StockListTask::~StockListTask() = default;

bool StockListTask::stopped() const {
    return m_stop && m_stop->isCancelled();
}

void StockListTask::run() {
    installThreadAltStack();
    const int n = m_dates.size();
    if (n < 1)
        return;
    for (int i = 0; i < n && !stopped(); ++i) {
        // Without D's list there is nothing to screen: no further list or
        // seat page is asked for, and the scan ends at once, saying so.
        if (!fetchDayList(i, m_dates.at(i), (i * 100) / n) && i == 0)
            return;
    }
}

bool StockListTask::isStockCode(const QString& code) {
    if (code.size() != 6)
        return false;
    for (const QChar c : code) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

Stock StockListTask::stockFromRow(const QMap<QString, QString>& row) {
    Stock stock;
    stock.code = row.value(QStringLiteral("SCode"));
    stock.name = row.value(QStringLiteral("SName"));
    stock.date = row.value(QStringLiteral("Tdate"));
    stock.typeText = row.value(QStringLiteral("Ctypedes"));
    stock.jd = row.value(QStringLiteral("JD"));
    stock.dp = row.value(QStringLiteral("DP"));
    // The change is rounded up to whole hundredths, in single precision.
    const float change = row.value(QStringLiteral("Chgradio")).toFloat();
    const float hundredths = change * 100.0f;
    stock.changePercent = std::ceil(hundredths) / 100.0f;
    stock.turnoverRate = row.value(QStringLiteral("Dchratio")).toFloat();
    // The service gives yuan; the views show 万元.
    stock.amount = static_cast<float>(row.value(QStringLiteral("Turnover")).toFloat() / 10000.0);
    return stock;
}

bool StockListTask::fetchRows(const QString& date, QVector<QMap<QString, QString>>& rows) {
    EastmoneyLHBListInterface client;
    int pages = 1;
    for (int page = 1; page <= pages; ++page) {
        // The further pages of a long day are paced like the days.
        if (page > 1 && !delayMs(kPauseMs, m_stop))
            return false;
        HttpGetStatus status;
        const QString text =
            httpGet(EastmoneyLHBListInterface::pageUrl(date, page), &status, m_stop);
        // An error page or a cut-off reply is no list, and a day with a page
        // missing is no whole list either: the day is missing, which the
        // widget must tell from a day that has no entries.
        if (stopped() || !status.ok || !EastmoneyLHBListInterface::isListReply(text))
            return false;
        if (page == 1) {
            pages = EastmoneyLHBListInterface::pageCount(text);
            if (pages > kMaxPages)
                return false; // no day has that many entries
        }
        rows += client.parse(text, QString());
    }
    return true;
}

bool StockListTask::fetchDayList(int index, const QString& date, int progress) {
    Q_UNUSED(index);
    QVector<QMap<QString, QString>> rows;
    const bool fetched = fetchRows(date, rows);
    if (stopped())
        return fetched;
    if (!fetched) {
        rows.clear();
        if (m_failures)
            m_failures->addDay(date);
    }

    QVector<Stock> stocks;
    stocks.reserve(rows.size());
    int badCodes = 0;
    for (const auto& row : rows) {
        Stock stock = stockFromRow(row);
        // The code goes into requests and onto the screen: a row without a
        // real one is left out, and counted for the notice.
        if (!isStockCode(stock.code)) {
            ++badCodes;
            continue;
        }
        // Margin-trading runs are of no interest to the screens.
        if (stock.typeText.contains(QStringLiteral("连续")) &&
            stock.typeText.contains(QStringLiteral("融资")))
            continue;
        stocks.append(stock);
    }
    if (badCodes > 0 && m_failures)
        m_failures->addBadCodeRows(badCodes);

    QCoreApplication::postEvent(m_receiver, new StockEvent(m_eventType, progress));
    // Stored even when empty, so every scanned date has its entry.
    if (StockApplication* app = StockApplication::instance())
        app->setDayStocks(date, stocks);
    if (fetched || index > 0)
        delayMs(kPauseMs, m_stop);
    return fetched;
}
