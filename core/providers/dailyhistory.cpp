#include "core/providers/dailyhistory.h"

#include "core/httpget.h"
#include "core/providers/numberconversion.h"
#include "core/providers/stockqqhistoryinterface.h"

#include <QFile>
#include <QStringList>
#include <QTextStream>

QVector<Stock> fetchQQKLines(const QString& code, const QString& period, const QString& adjust,
                             const QString& savePath) {
    // The client's own setter accepts only the values it knows, so anything
    // else leaves its defaults in place.
    StockQQHistoryInterface client;
    client.setParam(0, savePath);
    client.setParam(2, period);
    client.setParam(1, adjust);
    const QStringList urls = client.urls(QStringList{code});
    if (urls.isEmpty())
        return QVector<Stock>();
    return client.parse(httpGet(urls.first()), code);
}

QVector<Stock> loadKLineCsvFile(const QString& path, const QString& code) {
    QVector<Stock> bars;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return bars;
    QTextStream stream(&file);
    while (!stream.atEnd()) {
        const QStringList fields = stream.readLine().split(QLatin1Char(','));
        if (fields.size() != 7)
            break;
        Stock bar;
        bar.code = code;
        bar.date = fields.at(0);
        bar.open = fields.at(1).toFloat();
        bar.high = fields.at(2).toFloat();
        bar.close = fields.at(3).toFloat();
        bar.low = fields.at(4).toFloat();
        // The file keeps volume and amount in single units; bars carry them
        // in units of ten thousand.
        bar.volume = narrowToFloat(fields.at(5).toDouble() * 0.0001);
        bar.amount = narrowToFloat(fields.at(6).toDouble() * 0.0001);
        bars.append(bar);
    }
    return bars;
}
