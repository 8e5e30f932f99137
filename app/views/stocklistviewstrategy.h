#pragma once

#include "app/views/stocklistview.h"

// Table of simulated trades; a stock without a trade adds no row. The view
// owns the trade records of the stocks in its code map.
class StockListViewStrategy final : public StockListView {
    Q_OBJECT
    Q_DISABLE_COPY(StockListViewStrategy)
public:
    explicit StockListViewStrategy(QWidget* parent = nullptr);
    ~StockListViewStrategy() override;

signals:
    // Column 0 holds the row number, so senderStock carries that number;
    // this reports the clicked row's trade itself.
    void senderTrade(const QString& code, const QString& buyDate, const QString& sellDate);

protected:
    void onRowClicked(int row, int column) override;
    void addStockRow(const Stock& stock) override;
};
