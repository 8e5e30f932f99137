#include "core/providers/stocklistinterface.h"

#include "core/providers/numberconversion.h"
#include "core/providers/servicehosts.h"
#include "core/utils.h"

#include <QDir>

namespace {

constexpr int kFieldCount = 23;
const QString kLocalCopy = QStringLiteral("data/all.csv");

} // namespace

QStringList StockListInterface::urls(const QStringList&) {
    return QStringList{
        QStringLiteral("http://%1/static/all.csv").arg(QLatin1String(kStockListCsvHost))};
}

QVector<Stock> StockListInterface::parse(const QString& text, const QString&) {
    QVector<Stock> stocks;
    const QStringList lines = splitLines(text);
    for (int i = 1; i < lines.size(); ++i) {
        const QStringList fields = lines.at(i).split(QLatin1Char(','));
        if (fields.size() != kFieldCount)
            continue;
        Stock stock;
        stock.code = fields.at(0);
        stock.name = fields.at(1);
        stock.industry = fields.at(2);
        stock.area = fields.at(3);
        stock.csvValues[0] = readFloatFigure(fields.at(4));
        // Read in double precision: a float keeps only about seven digits,
        // which turns 252.20 times 10000 into 2521999.
        stock.totalShares = saturatingToInt(readFigure(fields.at(5)) * 10000.0);
        stock.floatShares = saturatingToInt(readFigure(fields.at(6)) * 10000.0);
        for (int column = 7; column <= 14; ++column)
            stock.csvValues[column - 6] = readFloatFigure(fields.at(column));
        stock.listingDate = fields.at(15);
        for (int column = 16; column <= 21; ++column)
            stock.csvValues[column - 7] = readFloatFigure(fields.at(column));
        stock.csvLastValue = fields.at(22).toInt(nullptr, 10);

        if (stock.totalShares < 1 || stock.floatShares < 1 ||
            stock.name.contains(QLatin1String("ST"), Qt::CaseSensitive))
            continue;
        stocks.append(stock);
    }

    // The copy lives in a folder of the working directory that a fresh
    // installation does not have yet; without it the copy would be lost.
    QDir().mkpath(QStringLiteral("data"));
    writeTextFile(kLocalCopy, text);
    return stocks;
}
