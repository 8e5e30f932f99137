#include "core/providers/stockifenginterface.h"

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
    QString body = text;
    body.remove(QLatin1Char('"'));
    // The days stand in the reply's "[[...]]" array. A reply without one (an
    // error page, a code the service does not know) holds no days; read from
    // its start, any stretch of seventeen comma-separated texts would pass
    // for a day of stray values.
    const int open = body.indexOf(QLatin1String("[["));
    if (open >= 0) {
        const int begin = open + 2;
        const int close = body.lastIndexOf(QLatin1String("]]"));
        const QString days = body.mid(begin, close >= begin ? close - begin : -1);
        const QStringList parts = days.split(QStringLiteral("],["));
        for (const QString& part : parts) {
            const QStringList values = part.split(QLatin1Char(','));
            if (values.size() != kDayValues)
                continue;
            Stock bar;
            bar.code = code;
            bar.date = values.at(0);
            bar.open = values.at(1).toFloat();
            bar.high = values.at(2).toFloat();
            bar.close = values.at(3).toFloat();
            bar.low = values.at(4).toFloat();
            bar.volume = values.at(5).toFloat();
            bar.change = values.at(6).toFloat();
            bar.changePercent = values.at(7).toFloat();
            bars.append(bar);
        }
    }
    if (!code.isEmpty() && !m_directory.isEmpty())
        writeTextFile(m_directory + code, text);
    return bars;
}

void StockiFengInterface::setParam(int index, const QString& value) {
    if (index == 0)
        m_directory = value;
}
