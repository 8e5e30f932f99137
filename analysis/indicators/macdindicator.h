#pragma once

#include "analysis/indicators/stockindicator.h"

// MACD(12, 26, 9): value1 = MACD bar 2 x (DIF - DEA), value2 = DIF,
// value3 = DEA. The first bar only seeds the averages and is invalid.
class MacdIndicator final : public StockIndicator {
public:
    MacdIndicator() = default;

    void reset() override;
    IndicatorValue push(const Stock& bar) override;
    // Returns the state at the last pushed bar; the bar passed is not used.
    IndicatorValue peek(const Stock& bar) override;

private:
    float m_ema12 = 0.0f;
    float m_ema26 = 0.0f;
    float m_dif = 0.0f;
    float m_dea = 0.0f;
    float m_macd = 0.0f;
    int m_count = -1; // bars seen minus one
};
