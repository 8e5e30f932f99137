#include "core/providers/minutedata.h"

#include "core/providers/markersearch.h"
#include "core/providers/numberconversion.h"
#include "core/providers/providerinterfaces.h"
#include "core/providers/servicehosts.h"
#include "core/utils.h"

#include <QFile>
#include <QStringList>

namespace {

// The running average price and the two counts over the accepted minutes.
class RunningStats {
public:
    void add(const QString& time, float price, int volume, qint64 volumeTotal) {
        m_amount += static_cast<double>(volume) * static_cast<double>(price);
        // Before anything has traded there is nothing to average; the price
        // itself stands in, rather than 0/0 poisoning every later test.
        const float average =
            volumeTotal != 0 ? narrowToFloat(m_amount / static_cast<double>(volumeTotal)) : price;
        m_points.append(MinutePoint{time, price, average, volume});
        if (average <= price)
            ++m_above;
        if (m_previousAverage <= average)
            ++m_rising;
        m_previousAverage = average;
    }

    void finish(MinuteData& data) {
        const int count = m_points.size();
        // Without minutes both shares are 0, not 0/0.
        data.abovePercent =
            count > 0 ? static_cast<float>(m_above) / static_cast<float>(count) * 100.0f : 0.0f;
        data.risingPercent =
            count > 0 ? static_cast<float>(m_rising) / static_cast<float>(count) * 100.0f : 0.0f;
        data.points = m_points;
    }

private:
    double m_amount = 0.0;
    float m_previousAverage = 0.0f;
    int m_above = 0;
    int m_rising = 0;
    QVector<MinutePoint> m_points;
};

void readMinuteArray(const QString& text, int end, RunningStats& stats) {
    const int open = text.indexOf(QLatin1Char('['));
    if (open < 0 || open >= end)
        return;
    QString array = text.mid(open + 1, end - open - 1);
    array.remove(QLatin1Char('"'));
    int previousCumulative = 0;
    const QStringList parts = array.split(QLatin1Char(','));
    for (const QString& part : parts) {
        // "0930 10.00 100": time, price and the day's volume so far.
        const QStringList items = part.split(QLatin1Char(' '));
        if (items.size() != 3)
            continue;
        const float price = items.at(1).toFloat();
        const int cumulative = items.at(2).toInt();
        const int volume = cumulative - previousCumulative;
        previousCumulative = cumulative;
        stats.add(items.at(0), price, volume, cumulative);
    }
}

void readQuoteArray(const QStringList& q, MinuteData& data) {
    data.values[7] = q.at(0).toFloat();
    data.values[2] = q.at(1).toFloat();
    data.values[5] = q.at(2).toFloat();
    data.values[11] = q.at(3).toFloat();
    data.values[1] = q.at(4).toFloat();
    data.values[0] = q.at(5).toFloat();
    for (int j = 0; j < 10; ++j)
        data.levels[j] = qMakePair(q.at(6 + 2 * j).toFloat(), q.at(7 + 2 * j).toInt());
}

void readTailArray(const QStringList& t, MinuteData& data) {
    data.values[3] = t.at(0).toFloat();
    data.values[4] = t.at(1).toFloat();
    data.values[5] = t.at(3).toFloat();
    data.values[11] = static_cast<float>(t.at(5).toInt());
    data.values[10] = static_cast<float>(t.at(6).toInt());
    data.values[14] = t.at(7).toFloat();
    data.values[9] = t.at(8).toFloat();
    data.values[15] = t.at(12).toFloat();
}

void readTrades(const QString& list, MinuteData& data) {
    const QStringList entries = list.split(QLatin1Char('|'));
    for (QString entry : entries) {
        // The reply escapes the slashes between an entry's items.
        entry.replace(QLatin1String("\\/"), QLatin1String(","));
        const QStringList items = entry.split(QLatin1Char(','));
        if (items.size() != 6)
            continue;
        data.quotes.append(MinuteQuote{items.at(0), items.at(1).toFloat(), items.at(2).toInt(),
                                       items.at(3), items.at(4).toInt(), items.at(5).toInt()});
    }
}

void readPriceDistribution(const QString& rest, MinuteData& data) {
    const int first = rest.indexOf(QLatin1Char('['));
    if (first < 0)
        return;
    QString list = rest.mid(first);
    list = list.mid(list.lastIndexOf(QLatin1Char('[')));
    const int quote = list.indexOf(QLatin1Char('"'));
    if (quote < 0)
        return;
    list = list.mid(quote + 1);
    const int close = list.indexOf(QLatin1Char('"'));
    if (close >= 0)
        list = list.left(close);
    const QStringList parts = list.split(QLatin1Char('^'));
    for (const QString& part : parts) {
        const QStringList items = part.split(QLatin1Char('~'));
        if (items.size() != 4)
            continue;
        data.volumes.append(MinuteVolume{items.at(0).toFloat(), items.at(1).toInt(),
                                         items.at(2).toInt(), items.at(3).toFloat()});
    }
}

// The quote section after the minute array; every step needs the marker of
// the one before it and stops quietly without it.
void readQuoteSection(QString rest, MinuteData& data) {
    rest = rest.mid(20);
    const int marketEnd = rest.indexOf(QLatin1Char(']'));
    if (marketEnd < 0)
        return;
    rest = rest.mid(marketEnd + 2);

    // "sh600036":["1","招商银行","600036","37.86",...
    const int bracket = rest.indexOf(QLatin1Char('['));
    if (bracket < 1)
        return;
    const QString symbol = rest.left(bracket - 1).mid(3, 6);
    // The name is the array's second item; the first, the market number,
    // is "1" for Shanghai and "51" for Shenzhen, so no fixed offset fits both.
    const int separator = rest.indexOf(QLatin1String("\",\""), bracket);
    if (separator >= 0) {
        const int nameStart = separator + 3;
        const int nameEnd = rest.indexOf(QLatin1Char('"'), nameStart);
        data.name = nameEnd < 0 ? rest.mid(nameStart) : rest.mid(nameStart, nameEnd - nameStart);
    }
    if (symbol.size() != 6)
        return;
    const int codeItem = rest.indexOf(symbol, 10);
    if (codeItem < 0)
        return;
    rest = rest.mid(codeItem + 9);

    // Items 3 to 28 of the quote array and the start of the trades item,
    // which is the first to hold a colon (its times).
    const int colon = rest.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return;
    QString quoteItems = rest.left(colon);
    quoteItems.remove(QLatin1Char('"'));
    const QStringList q = quoteItems.split(QLatin1Char(','));
    if (q.size() == 27)
        readQuoteArray(q, data);

    rest = rest.mid(qMax(0, colon - 2));
    const int tradesEnd = rest.indexOf(QLatin1Char('"'));
    readTrades(tradesEnd < 0 ? rest : rest.left(tradesEnd), data);
    if (tradesEnd < 0)
        return;

    rest = rest.mid(tradesEnd + 1);
    const int arrayEnd = rest.indexOf(QLatin1Char(']'));
    if (arrayEnd < 0)
        return;
    QString tailItems = rest.left(arrayEnd);
    tailItems.remove(QLatin1Char('"'));
    const QStringList t = tailItems.split(QLatin1Char(','));
    if (t.size() == 19)
        readTailArray(t, data);

    readPriceDistribution(rest.mid(arrayEnd + 2), data);
}

} // namespace

MinuteData::MinuteData() : valid(false), abovePercent(0.0f), risingPercent(0.0f) {
    for (float& value : values)
        value = 0.0f;
    for (auto& level : levels)
        level = qMakePair(0.0f, 0);
}

QString qqMinuteUrl(const QString& code) {
    return QStringLiteral("http://%1/appstock/app/minute/query?code=%2&_appName=android&_net=WIFI"
                          "&__random_suffix=%3")
        .arg(QLatin1String(kStockQQMinuteHost), withMarketPrefix(code),
             QString::number(static_cast<double>(randomQueryNumber()), 'g', 6));
}

MinuteData parseMinuteJson(const QString& text) {
    MinuteData data;
    RunningStats stats;
    const int end = text.indexOf(QLatin1Char(']'));
    if (end >= 0)
        readMinuteArray(text, end, stats);
    stats.finish(data);

    // {"code":0,"msg":"","data":{"sh600036":{...
    const int dataKey = text.indexOf(QLatin1String("data"));
    if (dataKey >= 0)
        data.code = text.mid(dataKey + 10, 6);
    if (end < 0)
        return data;

    const QString rest = text.mid(end + 1);
    const QStringList dates =
        captureBetween(rest, QLatin1String("\"date\":\""), QLatin1String("\""), 1);
    if (dates.isEmpty())
        return data;
    data.valid = true;
    data.date = dates.first().mid(8).left(8);
    readQuoteSection(rest, data);
    return data;
}

MinuteData parseMinuteLines(const QString& text) {
    MinuteData data;
    RunningStats stats;
    const QStringList lines = text.split(QLatin1Char('\n'));
    qint64 volumeTotal = 0;
    // The file holds the newest minute first.
    for (int i = lines.size() - 1; i >= 0; --i) {
        const QStringList items = lines.at(i).split(QLatin1Char(','));
        if (items.size() != 7)
            continue;
        const int volume = items.at(4).toInt();
        volumeTotal += volume;
        stats.add(items.at(1), items.at(2).toFloat(), volume, volumeTotal);
    }
    stats.finish(data);
    return data;
}

bool checkMinuteFile(const char* path, int aboveThreshold, int risingThreshold) {
    if (!path)
        return false;
    const MinuteData data = parseMinuteLines(readTextFile(QFile::decodeName(path)));
    // A missing, unreadable or empty file passes no test.
    if (data.points.isEmpty())
        return false;
    return static_cast<float>(aboveThreshold) < data.abovePercent &&
           static_cast<float>(risingThreshold) < data.risingPercent;
}
