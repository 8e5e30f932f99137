#pragma once

#include "app/views/stocklistview.h"

// Stock table of the quote lines: change, prices of the day, volume and industry; numbers sort numerically.
class OCHLBasicStockListView final : public StockListView {
    Q_OBJECT
    Q_DISABLE_COPY(OCHLBasicStockListView)
public:
    explicit OCHLBasicStockListView(QWidget* parent = nullptr);

protected:
    void addStockRow(const Stock& stock) override;
};
