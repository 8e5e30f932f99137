#pragma once

#include "app/views/stocklistview.h"

// Stock table of the basic data from the stock-list file: industry, area, shares and listing date.
class BasicStockListView final : public StockListView {
    Q_OBJECT
    Q_DISABLE_COPY(BasicStockListView)
public:
    explicit BasicStockListView(QWidget* parent = nullptr);

protected:
    void addStockRow(const Stock& stock) override;
};
