#pragma once

#include "app/views/stocklistview.h"

// Stock table of the day's dragon-tiger list as the scan shows it: code, name, change, listing reason, comment, date.
class LHBPKStockListView final : public StockListView {
    Q_OBJECT
    Q_DISABLE_COPY(LHBPKStockListView)
public:
    explicit LHBPKStockListView(QWidget* parent = nullptr);

protected:
    void addStockRow(const Stock& stock) override;
};
