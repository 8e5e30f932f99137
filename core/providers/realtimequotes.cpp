#include "core/providers/realtimequotes.h"

#include "core/providers/numberconversion.h"
#include "core/providers/providerinterfaces.h"
#include "core/providers/servicehosts.h"
#include "core/utils.h"

#include <cmath>

namespace {

constexpr int kQqBatchSize = 64;
constexpr int kSinaBatchSize = 21;

} // namespace

QVector<QStringList> batchCodes(const QStringList& codes, int batchSize) {
    QVector<QStringList> batches;
    if (codes.isEmpty() || batchSize <= 0)
        return batches;
    const int count = codes.size();
    const int full = count / batchSize;
    for (int b = 0; b < full; ++b)
        batches.append(codes.mid(b * batchSize, batchSize));
    const int rest = count - full * batchSize;
    if (rest > 0) {
        // The remainder is gathered from the end of the list backwards.
        QStringList last;
        for (int i = count - 1; i >= count - rest; --i)
            last.append(codes.at(i));
        batches.append(last);
    }
    return batches;
}

QStringList qqRealtimeUrls(const QStringList& codes) {
    QStringList urls;
    const QVector<QStringList> batches = batchCodes(codes, kQqBatchSize);
    for (const QStringList& batch : batches)
        urls.append(qqRealtimeUrl(batch));
    return urls;
}

QString qqRealtimeUrl(const QStringList& codes) {
    // The service wants a short random tag right after "r=", padded so that
    // a short fraction such as 0.5 still fills seven characters.
    const QString random =
        (QString::number(static_cast<double>(randomFraction()), 'g', 6) + QStringLiteral("____"))
            .left(7);
    QStringList items;
    for (const QString& code : codes) {
        if (code.startsWith(QLatin1Char('3')) || code.startsWith(QLatin1Char('0')))
            items.append(QStringLiteral("s_sz") + code);
        else if (code.startsWith(QLatin1Char('6')))
            items.append(QStringLiteral("s_sh") + code);
    }
    return QStringLiteral("http://%1/r=%2q=").arg(QLatin1String(kQQQuoteHost), random) +
           items.join(QLatin1Char(','));
}

QVector<Stock> parseQqRealtime(const QString& text) {
    QVector<Stock> stocks;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QStringList fields = line.split(QLatin1Char('~'));
        // The reply's lines all have ten fields; anything else ends it.
        if (fields.size() != 10)
            break;
        Stock stock;
        stock.name = fields.at(1);
        stock.code = fields.at(2);
        stock.close = readFloatFigure(fields.at(3));
        stock.change = readFloatFigure(fields.at(4));
        stock.changePercent = readFloatFigure(fields.at(5));
        stock.volume = readFloatFigure(fields.at(6)) / 10000.0f;
        stock.turnoverRate = 0.0f;
        stock.preClose = stock.close - stock.change;
        stocks.append(stock);
    }
    return stocks;
}

QStringList sinaRealtimeUrls(const QStringList& codes) {
    QStringList urls;
    const QVector<QStringList> batches = batchCodes(codes, kSinaBatchSize);
    for (const QStringList& batch : batches)
        urls.append(sinaRealtimeUrl(batch));
    return urls;
}

QString sinaRealtimeUrl(const QStringList& codes) {
    if (codes.isEmpty())
        return QString();
    QStringList symbols;
    for (const QString& code : codes)
        symbols.append(withMarketPrefix(code));
    return QStringLiteral("http://%1/list=").arg(QLatin1String(kSinaQuoteHost)) +
           symbols.join(QLatin1Char(','));
}

QVector<Stock> parseSinaRealtime(const QString& text) {
    QVector<Stock> stocks;
    const QStringList lines = text.split(QLatin1Char(';'));
    for (const QString& line : lines) {
        const Stock stock = parseSinaQuoteLine(line);
        if (stock.selected)
            stocks.append(stock);
    }
    return stocks;
}

Stock parseSinaQuoteLine(const QString& line) {
    Stock stock;
    const int q1 = line.indexOf(QLatin1Char('"'));
    const int q2 = line.lastIndexOf(QLatin1Char('"'));
    if (q1 < 0 || q2 <= q1)
        return stock;

    // var hq_str_sh600036="..." : the variable name ends in the code.
    const int equals = line.indexOf(QLatin1Char('='));
    if (equals >= 0) {
        const int start = qMax(0, equals - 6);
        stock.code = line.mid(start, equals - start);
    }

    const QStringList fields = line.mid(q1 + 1, q2 - q1 - 1).split(QLatin1Char(','));
    // The service has since added fields after the 33 it always sent (today
    // one more, often empty); a line is read by its first 33.
    if (fields.size() < 33)
        return stock;

    stock.name = fields.at(0);
    stock.open = readFloatFigure(fields.at(1));
    stock.preClose = readFloatFigure(fields.at(2));
    stock.close = readFloatFigure(fields.at(3));
    stock.high = readFloatFigure(fields.at(4));
    stock.low = readFloatFigure(fields.at(5));
    // Volumes come in shares; kept in whole lots of 100.
    stock.volume = narrowToFloat(std::trunc(readFigure(fields.at(8)) / 100.0));
    stock.amount = narrowToFloat(readFigure(fields.at(9)) / 10000.0);
    int bidSum = 0;
    int askSum = 0;
    for (int i = 0; i < 5; ++i) {
        stock.bidVolumes[i] = fields.at(10 + 2 * i).toInt() / 100;
        stock.askVolumes[i] = fields.at(20 + 2 * i).toInt() / 100;
        bidSum += stock.bidVolumes[i];
        askSum += stock.askVolumes[i];
    }
    stock.date = fields.at(30);
    stock.time = fields.at(31);
    if (bidSum == 0 || askSum == 0)
        return stock;

    stock.change = stock.close - stock.preClose;
    // A line without a previous close (a suspended or new stock) has no
    // change in percent; it must not become an infinity.
    stock.changePercent = stock.preClose != 0.0f ? stock.change * 100.0f / stock.preClose : 0.0f;
    stock.bidShareRatio = 0.0f;
    stock.bidAskRatio = static_cast<float>(bidSum) / static_cast<float>(askSum);
    if (stock.bidAskRatio > 6.0f) {
        stock.selected = true;
        stock.score = 60;
        // The quote line carries no share count; without one the ratio
        // stays 0 rather than a division by zero.
        if (stock.totalShares > 0)
            stock.bidShareRatio =
                static_cast<float>(bidSum) / static_cast<float>(stock.totalShares);
    }
    return stock;
}
