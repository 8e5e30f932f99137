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

#include <cmath>

namespace {

// The day's change in percent, raised to whole hundredths. Worked on the
// decimal text rather than on a binary product: "10.02" times 100 lies just
// above 1002 in binary and would be raised to 10.03, although the service's
// figure already is in hundredths.
float changeInHundredths(const QString& text) {
    const QString trimmed = text.trimmed();
    static const QRegularExpression decimal(QStringLiteral("^([+-]?)(\\d*)(?:\\.(\\d*))?$"));
    const QRegularExpressionMatch match = decimal.match(trimmed);
    if (!match.hasMatch()) // an exponent, or no number at all (0)
        return static_cast<float>(std::ceil(double(trimmed.toFloat()) * 100.0) / 100.0);
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
    for (int i = 0; i < n && !stopped(); ++i)
        fetchDayList(i, m_dates.at(i), (i * 100) / n);
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
    stock.turnoverRate = row.value(QStringLiteral("Dchratio")).toFloat();
    // The service gives yuan; the views show 万元.
    stock.amount = static_cast<float>(row.value(QStringLiteral("Turnover")).toFloat() / 10000.0);
    return stock;
}

void StockListTask::fetchDayList(int index, const QString& date, int progress) {
    Q_UNUSED(index);
    EastmoneyLHBListInterface client;
    const QStringList urls = client.urls(QStringList{date});
    HttpGetStatus status;
    const QString text = urls.isEmpty() ? QString() : httpGet(urls.first(), &status, m_stop);
    if (stopped())
        return;
    // An error page or a cut-off reply is no list: the day is missing, which
    // the widget must tell from a day that has no entries.
    const bool fetched = status.ok && EastmoneyLHBListInterface::isListReply(text);
    if (!fetched && m_failures)
        m_failures->addDay(date, status.ok ? replyShapeFailure(text) : status.failure,
                           status.httpStatus);
    const QVector<QMap<QString, QString>> rows =
        fetched ? client.parse(text, QString()) : QVector<QMap<QString, QString>>();

    QVector<Stock> stocks;
    stocks.reserve(rows.size());
    for (const auto& row : rows) {
        Stock stock = stockFromRow(row);
        // Margin-trading runs are of no interest to the screens.
        if (stock.typeText.contains(QStringLiteral("连续")) &&
            stock.typeText.contains(QStringLiteral("融资")))
            continue;
        stocks.append(stock);
    }

    QCoreApplication::postEvent(m_receiver, new StockEvent(m_eventType, progress));
    // Stored even when empty, so every scanned date has its entry.
    if (StockApplication* app = StockApplication::instance())
        app->setDayStocks(date, stocks);
    delayMs(kPauseMs, m_stop);
}
