#include "core/providers/stockifenginterface.h"

#include "core/providers/barorder.h"
#include "core/providers/servicehosts.h"
#include "core/utils.h"

namespace {
// The service sends each day as an array of exactly this many values.
constexpr int kDayValues = 17;
} // namespace

QStringList StockiFengInterface::urls(const QStringList& codes) {
    QStringList result;
    result.reserve(codes.size());
    for (const QString& code : codes)
        result.append(QStringLiteral("http://%1/akdaily/?code=%2&type=last")
                          .arg(QLatin1String(kIFengDailyHost), withMarketPrefix(code)));
    return result;
}

QVector<Stock> StockiFengInterface::parse(const QString& text, const QString& code) {
    QVector<Stock> bars;
    // The days stand in the reply's "[[...]]" array. A reply without one (an
    // error page, a code the service does not know) holds no days; read from
    // its start, any stretch of seventeen comma-separated texts would pass
    // for a day of stray values.
    const int open = text.indexOf(QLatin1String("[["));
    if (open >= 0) {
        const QVector<QStringList> days =
            arrayOfArraysRows(text, open, text.lastIndexOf(QLatin1String("]]")));
        for (const QStringList& values : days) {
            if (values.size() != kDayValues)
                continue;
            Stock bar;
            bar.code = code;
            bar.date = values.at(0);
            bar.open = readFloatFigure(values.at(1));
            bar.high = readFloatFigure(values.at(2));
            bar.close = readFloatFigure(values.at(3));
            bar.low = readFloatFigure(values.at(4));
            bar.volume = readFloatFigure(values.at(5));
            bar.change = readFloatFigure(values.at(6));
            bar.changePercent = readFloatFigure(values.at(7));
            bars.append(bar);
        }
        orderBarsByDate(bars);
    }
    if (!code.isEmpty() && !m_directory.isEmpty())
        writeTextFile(m_directory + code, text);
    return bars;
}

void StockiFengInterface::setParam(int index, const QString& value) {
    if (index == 0)
        m_directory = value;
}
