#include "core/providers/sinarealtimeinterface.h"

#include "core/providers/servicehosts.h"
#include "core/utils.h"

QStringList SinaRealtimeInterface::urls(const QStringList& pages) {
    QStringList result;
    for (const QString& page : pages) {
        result.append(QStringLiteral("http://%1/quotes_service/api/json_v2.php/"
                                     "Market_Center.getHQNodeData?num=80&sort=0&node=hs_a&symbol="
                                     "&_s_r_a=page&page=%2")
                          .arg(QLatin1String(kSinaMarketCenterHost))
                          .arg(page.toInt()));
    }
    return result;
}

QVector<Stock> SinaRealtimeInterface::parse(const QString& text, const QString&) {
    QVector<Stock> stocks;
    // A reply without the quote array (an error page, or "null" past the
    // last page) holds no quotes; read whole, any "key:value" text in it
    // would become a record of empty fields.
    if (!text.contains(QLatin1String("[{")))
        return stocks;
    const QVector<QMap<QString, QString>> rows = parseObjectList(text);
    for (const auto& row : rows) {
        Stock stock;
        stock.name = row.value(QStringLiteral("name"));
        stock.code = row.value(QStringLiteral("code"));
        stock.close = readFloatFigure(row.value(QStringLiteral("trade")));
        stock.changePercent = readFloatFigure(row.value(QStringLiteral("changepercent")));
        stock.change = readFloatFigure(row.value(QStringLiteral("pricechange")));
        stock.turnoverRate = readFloatFigure(row.value(QStringLiteral("turnover")));
        stock.open = readFloatFigure(row.value(QStringLiteral("open")));
        stock.low = readFloatFigure(row.value(QStringLiteral("low")));
        stock.preClose = readFloatFigure(row.value(QStringLiteral("settlement")));
        stock.high = readFloatFigure(row.value(QStringLiteral("high")));
        stocks.append(stock);
    }
    return stocks;
}
