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
#include <QRegularExpression>
#include <QSet>

#include <cmath>
#include <limits>

namespace {

// The day's change in percent, raised to whole hundredths. Worked on the
// decimal text rather than on a binary product: "10.02" times 100 lies just
// above 1002 in binary and would be raised to 10.03, although the service's
// figure already is in hundredths.
float changeInHundredths(const QString& text) {
    const QString trimmed = text.trimmed();
    const double figure = readFigure(trimmed);
    if (std::isnan(figure)) // no number at all: shown as "-", never as 0
        return std::numeric_limits<float>::quiet_NaN();
    static const QRegularExpression decimal(QStringLiteral("^([+-]?)(\\d*)(?:\\.(\\d*))?$"));
    const QRegularExpressionMatch match = decimal.match(trimmed);
    if (!match.hasMatch()) // an exponent, or thousands separators
        return static_cast<float>(std::ceil(figure * 100.0) / 100.0);
    QString fraction = match.captured(3);
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (fraction.size() <= 2)
        return trimmed.toFloat();
    // Cut to hundredths; a positive figure then goes up by one of them, a
    // negative one is already raised by the cut.
    const double cut = (match.captured(2) + QLatin1Char('.') + fraction.left(2)).toDouble();
    if (match.captured(1) == QLatin1String("-"))
        return cut == 0.0 ? 0.0f : static_cast<float>(-cut);
    return static_cast<float>(cut + 0.01);
}

} // namespace

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
    stock.changePercent = changeInHundredths(row.value(QStringLiteral("Chgradio")));
    stock.turnoverRate = readFloatFigure(row.value(QStringLiteral("Dchratio")));
    // The service gives yuan; the views show 万元.
    stock.amount = static_cast<float>(readFigure(row.value(QStringLiteral("Turnover"))) / 10000.0);
    return stock;
}

bool StockListTask::readPage(const QString& text, QSet<QString>& seen, QVector<Stock>& stocks,
                             int& badCodes) {
    const StringMapRows rows = EastmoneyLHBListInterface().parse(text, QString());
    if (rows.size() > EastmoneyLHBListInterface::kRowsPerPage)
        return false;
    // Each page becomes records at once: its rows carry dozens of fields
    // that the records leave out.
    for (const auto& row : rows) {
        Stock stock = stockFromRow(row);
        const QString key = stock.date + QChar() + stock.code + QChar() + stock.typeText;
        if (seen.contains(key))
            continue;
        seen.insert(key);
        // The code goes into requests and onto the screen: a row without a
        // real one is left out, and counted for the notice.
        if (!isStockCode(stock.code)) {
            ++badCodes;
            continue;
        }
        // The row's day names its seat page and the seats' place in the
        // cache: a row without a real one has neither.
        if (!isDayText(stock.date))
            continue;
        // Margin-trading runs are of no interest to the screens.
        if (stock.typeText.contains(QStringLiteral("连续")) &&
            stock.typeText.contains(QStringLiteral("融资")))
            continue;
        stocks.append(stock);
    }
    return true;
}

bool StockListTask::fetchStocks(const QString& date, QVector<Stock>& stocks, int& badCodes,
                                FetchFailure& failure, int& httpStatus) {
    // A paged list that shifts between requests repeats rows on a later page.
    QSet<QString> seen;
    int pages = 1;
    for (int page = 1; page <= pages; ++page) {
        // The further pages of a long day are paced like the days.
        if (page > 1 && !delayMs(kPauseMs, m_stop)) {
            failure = FetchFailure::Cancelled;
            return false;
        }
        HttpGetStatus status;
        const QString text = httpGet(EastmoneyLHBListInterface::pageUrl(date, page), &status, m_stop,
                                     kHttpGetTimeoutMs, EastmoneyLHBListInterface::kMaxReplyBytes);
        // An error page or a cut-off reply is no list, and a day with a page
        // missing is no whole list either: the day is missing, which the
        // widget must tell from a day that has no entries.
        if (stopped()) {
            failure = FetchFailure::Cancelled;
            return false;
        }
        if (!status.ok || !EastmoneyLHBListInterface::isListReply(text)) {
            failure = status.ok ? replyShapeFailure(text) : status.failure;
            httpStatus = status.httpStatus;
            return false;
        }
        if (page == 1)
            pages = EastmoneyLHBListInterface::pageCount(text);
        // A page count that is no whole number, a day said to have no pages
        // that holds rows all the same, or a page of more rows than were
        // asked for, is not the list asked for.
        if (pages < 0 ||
            (pages == 0 && !EastmoneyLHBListInterface().parse(text, QString()).isEmpty()) ||
            !readPage(text, seen, stocks, badCodes)) {
            failure = FetchFailure::UnexpectedFormat;
            return false;
        }
    }
    // The service answers a day it has no list for with an empty one: the
    // notice must tell that from a day whose entries were all left out.
    if (seen.isEmpty() && m_failures)
        m_failures->addEmptyDay(date);
    return true;
}

bool StockListTask::fetchDayList(int index, const QString& date, int progress) {
    Q_UNUSED(index);
    QVector<Stock> stocks;
    int badCodes = 0;
    FetchFailure failure = FetchFailure::None;
    int httpStatus = 0;
    const bool fetched = fetchStocks(date, stocks, badCodes, failure, httpStatus);
    if (stopped())
        return fetched;
    if (!fetched) {
        stocks.clear();
        badCodes = 0;
        if (m_failures)
            m_failures->addDay(date, failure, httpStatus);
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
