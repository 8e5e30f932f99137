#include "core/providers/minutedata.h"

#include "core/providers/markersearch.h"
#include "core/providers/numberconversion.h"
#include "core/providers/providerinterfaces.h"
#include "core/providers/servicehosts.h"
#include "core/utils.h"

#include <QFile>
#include <QStringList>

#include <cmath>

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
        // A minute without a price that reads is no minute: counted at 0 it
        // would drag the running average down.
        const float price = items.size() == 3 ? readFloatFigure(items.at(1)) : 0.0f;
        if (items.size() != 3 || !std::isfinite(price))
            continue;
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

// Index just past the JSON value that starts at pos (a string, an array, an
// object or a bare word), or -1 when the text ends inside it. Brackets and
// escaped quotes inside strings do not count.
int skipJsonValue(const QString& text, int pos) {
    int depth = 0;
    bool inString = false;
    for (int i = pos; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (inString) {
            if (c == QLatin1Char('\\'))
                ++i;
            else if (c == QLatin1Char('"')) {
                inString = false;
                if (depth == 0)
                    return i + 1;
            }
        } else if (c == QLatin1Char('"')) {
            inString = true;
        } else if (c == QLatin1Char('[') || c == QLatin1Char('{')) {
            ++depth;
        } else if (c == QLatin1Char(']') || c == QLatin1Char('}')) {
            if (depth == 0)
                return i; // a bare word ends at its container's end
            if (--depth == 0)
                return i + 1;
        } else if (depth == 0 && c == QLatin1Char(',')) {
            return i;
        }
    }
    return -1;
}

int skipBlanks(const QString& text, int pos) {
    while (pos < text.size() && text.at(pos).isSpace())
        ++pos;
    return pos;
}

// The items of the array text[begin, end) ("[" to "]" included), each as it
// stands between its quotes (escapes kept), bare items as they stand.
QStringList arrayItems(const QString& text, int begin, int end) {
    QStringList items;
    int pos = skipBlanks(text, begin + 1);
    while (pos < end - 1) {
        const int next = skipJsonValue(text, pos);
        if (next < 0 || next > end - 1)
            break;
        QString item = text.mid(pos, next - pos).trimmed();
        if (item.size() >= 2 && item.startsWith(QLatin1Char('"')) &&
            item.endsWith(QLatin1Char('"')))
            item = item.mid(1, item.size() - 2);
        items.append(item);
        pos = skipBlanks(text, next);
        if (pos < end - 1 && text.at(pos) == QLatin1Char(','))
            pos = skipBlanks(text, pos + 1);
        else
            break;
    }
    return items;
}

// The quote section "qt":{...}: its members are found by their keys, so the
// "market" array may stand before or after the stock's own one. Returns
// false when the section or the stock's array (at least up to its trades
// item) is not there.
bool readQuoteSection(const QString& text, MinuteData& data) {
    // {"code":0,"msg":"","data":{"sz000001":{...: the stock's key.
    const QLatin1String dataKey("\"data\":{\"");
    const int keyStart = text.indexOf(dataKey);
    if (keyStart < 0)
        return false;
    const int symbolStart = keyStart + dataKey.size();
    const int symbolEnd = text.indexOf(QLatin1Char('"'), symbolStart);
    if (symbolEnd <= symbolStart)
        return false;
    const QString symbol = text.mid(symbolStart, symbolEnd - symbolStart);

    const QLatin1String qtKey("\"qt\":");
    const int qt = text.indexOf(qtKey);
    if (qt < 0)
        return false;
    const int open = skipBlanks(text, qt + qtKey.size());
    if (open >= text.size() || text.at(open) != QLatin1Char('{'))
        return false;
    const int sectionEnd = skipJsonValue(text, open);
    if (sectionEnd < 0)
        return false;

    QStringList items;
    int pos = skipBlanks(text, open + 1);
    while (pos < sectionEnd - 1 && text.at(pos) == QLatin1Char('"')) {
        const int keyEnd = skipJsonValue(text, pos);
        if (keyEnd < 0)
            break;
        const QString key = text.mid(pos + 1, keyEnd - pos - 2);
        pos = skipBlanks(text, keyEnd);
        if (pos >= sectionEnd || text.at(pos) != QLatin1Char(':'))
            break;
        pos = skipBlanks(text, pos + 1);
        const int valueEnd = skipJsonValue(text, pos);
        if (valueEnd < 0 || valueEnd > sectionEnd)
            break;
        if (key == symbol && text.at(pos) == QLatin1Char('['))
            items = arrayItems(text, pos, valueEnd);
        pos = skipBlanks(text, valueEnd);
        if (pos < sectionEnd && text.at(pos) == QLatin1Char(','))
            pos = skipBlanks(text, pos + 1);
    }
    // Market number, name, code, 26 quote items, then the recent trades.
    if (items.size() < 30)
        return false;

    data.name = decodeStringEscapes(items.at(1));
    readQuoteArray(items.mid(3, 27), data);
    readTrades(items.at(29), data);
    // The 18 items after the trades, when they end the array; the first
    // place stands for what followed the trades item before its comma,
    // which is nothing.
    if (items.size() == 48)
        readTailArray(QStringList{QString()} + items.mid(30, 18), data);
    readPriceDistribution(text.mid(sectionEnd), data);
    return true;
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
    data.date = dates.first().mid(8).left(8);
    // Without its quote section the record is not one to rely on.
    data.valid = readQuoteSection(text, data);
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
        const float price = items.size() == 7 ? readFloatFigure(items.at(2)) : 0.0f;
        if (items.size() != 7 || !std::isfinite(price))
            continue;
        const int volume = items.at(4).toInt();
        volumeTotal += volume;
        stats.add(items.at(1), price, volume, volumeTotal);
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
