#pragma once

#include "app/views/stocklistview.h"

// Stock table of the real-time bid/ask book with score and market value; rising stocks red, falling green.
class BidStockListView final : public StockListView {
    Q_OBJECT
    Q_DISABLE_COPY(BidStockListView)
public:
    explicit BidStockListView(QWidget* parent = nullptr);

protected:
    void addStockRow(const Stock& stock) override;
};
