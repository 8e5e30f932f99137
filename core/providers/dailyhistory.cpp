#include "core/providers/dailyhistory.h"

#include "core/httpget.h"
#include "core/providers/barorder.h"
#include "core/providers/numberconversion.h"
#include "core/providers/stockqqhistoryinterface.h"
#include "core/utils.h"

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
        bar.open = readFloatFigure(fields.at(1));
        bar.high = readFloatFigure(fields.at(2));
        bar.close = readFloatFigure(fields.at(3));
        bar.low = readFloatFigure(fields.at(4));
        // The file keeps volume and amount in single units; bars carry them
        // in units of ten thousand.
        bar.volume = narrowToFloat(readFigure(fields.at(5)) * 0.0001);
        bar.amount = narrowToFloat(readFigure(fields.at(6)) * 0.0001);
        bars.append(bar);
    }
    orderBarsByDate(bars);
    return bars;
}
