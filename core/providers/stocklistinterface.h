#pragma once

#include "core/providers/providerinterfaces.h"

// Client of the stock-list service: one CSV file of every listed stock with
// its industry, region, share counts and listing date. Keeps the stocks that
// have shares and are not specially treated ("ST"), and saves the reply as
// the local copy "data/all.csv".
class StockListInterface final : public StockInterface {
public:
    QStringList urls(const QStringList& params) override;
    QVector<Stock> parse(const QString& text, const QString& param) override;
};
