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
        stock.close = row.value(QStringLiteral("trade")).toFloat();
        stock.changePercent = row.value(QStringLiteral("changepercent")).toFloat();
        stock.change = row.value(QStringLiteral("pricechange")).toFloat();
        stock.turnoverRate = row.value(QStringLiteral("turnover")).toFloat();
        stock.open = row.value(QStringLiteral("open")).toFloat();
        stock.low = row.value(QStringLiteral("low")).toFloat();
        stock.preClose = row.value(QStringLiteral("settlement")).toFloat();
        stock.high = row.value(QStringLiteral("high")).toFloat();
        stocks.append(stock);
    }
    return stocks;
}
