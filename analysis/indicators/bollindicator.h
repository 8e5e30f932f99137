#pragma once

#include "analysis/indicators/stockindicator.h"

#include <QVector>

// Bollinger bands over 20 bars: value1 = middle band (mean close),
// value2 = +standard deviation, value3 = -standard deviation. The chart
// applies the band width; the first 19 bars are invalid.
class BollIndicator final : public StockIndicator {
public:
    BollIndicator() = default;

    void reset() override;
    IndicatorValue push(const Stock& bar) override;
    IndicatorValue peek(const Stock& bar) override;

private:
    QVector<Stock> m_window;
};
