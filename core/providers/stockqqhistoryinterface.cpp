#include "core/providers/stockqqhistoryinterface.h"

#include "core/providers/barorder.h"
#include "core/providers/qqdayrows.h"
#include "core/providers/servicehosts.h"
#include "core/utils.h"

#include <cmath>

namespace {

// A bar that the chart can draw and the screens can read: a real day, and
// prices and volume that are finite and not below zero. Any other is dropped,
// so the time axis names real days only and nothing absurd is drawn.
bool isDrawableBar(const Stock& bar) {
    if (!isDayText(bar.date))
        return false;
    for (const float value : {bar.open, bar.close, bar.high, bar.low, bar.volume}) {
        if (!std::isfinite(value) || value < 0.0f)
            return false;
    }
    return true;
}

} // namespace

QStringList StockQQHistoryInterface::urls(const QStringList& codes) {
    QStringList result;
    for (const QString& code : codes) {
        // The service's own app joins "_appName=android" and the random
        // suffix without an "&"; the query is sent the same way.
        result.append(QStringLiteral("http://%1/appstock/app/fqkline/get?p=1&param=%2,%3,,,480,%4"
                                     "&_appName=android__random_suffix=%5")
                          .arg(QLatin1String(kStockQQHost), withMarketPrefix(code), m_period,
                               m_adjust, QString::number(randomQueryNumber())));
    }
    return result;
}

QVector<Stock> StockQQHistoryInterface::parse(const QString& text, const QString& code) {
    if (!m_savePath.isEmpty() && !code.isEmpty())
        writeTextFile(m_savePath + code, text);

    // The bars stand in the reply's first "[[...]]" array, one
    // ["date","open","close","high","low","volume",...] row per bar. A reply
    // without that array (an error page, or a code without history whose bar
    // array is []) has no bars; read from its start, any run of six commas in
    // it would become a bar of zeros and stray texts.
    QVector<Stock> bars;
    const int open = text.indexOf(QLatin1String("[["));
    if (open < 0)
        return bars;
    const QVector<QStringList> rows =
        arrayOfArraysRows(text, open, text.indexOf(QLatin1String("]]"), open + 1));
    for (const QStringList& row : rows) {
        Stock bar;
        if (!readQQDayRow(row, bar) || !isDrawableBar(bar))
            continue;
        bar.code = code;
        bars.append(bar);
    }
    // The first bar has no close before it and keeps 0 for both.
    orderBarsByDate(bars);
    setChangesInOrder(bars);
    return bars;
}

void StockQQHistoryInterface::setParam(int index, const QString& value) {
    switch (index) {
    case 0:
        m_savePath = value;
        break;
    case 1:
        if (value == QLatin1String("bfq") || value == QLatin1String("qfq") ||
            value == QLatin1String("hfq"))
            m_adjust = value;
        break;
    case 2:
        if (value == QLatin1String("day") || value == QLatin1String("week") ||
            value == QLatin1String("month"))
            m_period = value;
        break;
    default:
        break;
    }
}
