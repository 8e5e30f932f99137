#pragma once

#include "app/views/stocklistview.h"

// Stock table of the dragon-tiger list rows with price, volume and amount.
class LHBStockListView final : public StockListView {
    Q_OBJECT
    Q_DISABLE_COPY(LHBStockListView)
public:
    explicit LHBStockListView(QWidget* parent = nullptr);

protected:
    void addStockRow(const Stock& stock) override;
};
