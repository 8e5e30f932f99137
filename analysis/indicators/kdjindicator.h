#pragma once

#include "analysis/indicators/stockindicator.h"

#include <QVector>

// KDJ(9, 3, 3): value1 = K, value2 = D, value3 = J, each limited to 0..100.
// The first 8 bars are invalid.
class KDJIndicator final : public StockIndicator {
public:
    KDJIndicator() = default;

    void reset() override;
    IndicatorValue push(const Stock& bar) override;
    IndicatorValue peek(const Stock& bar) override;

private:
    QVector<Stock> m_window;
    float m_k = 0.0f;
    float m_d = 0.0f;
    float m_j = 0.0f;
};
