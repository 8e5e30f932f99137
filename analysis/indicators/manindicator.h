#pragma once

#include "analysis/indicators/stockindicator.h"

#include <QVector>

// Moving average of the close over the last n bars (value1).
class MaNIndicator final : public StockIndicator {
public:
    explicit MaNIndicator(int n);

    void reset() override;
    IndicatorValue push(const Stock& bar) override;
    IndicatorValue peek(const Stock& bar) override;

    int period() const { return m_n; }

private:
    QVector<Stock> m_window;
    int m_n;
};
