#include "analysis/indicators/macdindicator.h"

void MacdIndicator::reset() {
    m_ema12 = 0.0f;
    m_ema26 = 0.0f;
    m_dif = 0.0f;
    m_dea = 0.0f;
    m_macd = 0.0f;
    m_count = -1;
}

IndicatorValue MacdIndicator::push(const Stock& bar) {
    const float c = bar.close;
    ++m_count;
    if (m_count == 0) {
        // The first bar only seeds both averages.
        m_ema12 = c;
        m_ema26 = c;
        return IndicatorValue();
    }
    m_ema12 = m_ema12 + (c - m_ema12) * 2 / 13;
    m_ema26 = m_ema26 + (c - m_ema26) * 2 / 27;
    m_dif = m_ema12 - m_ema26;
    if (m_count == 1)
        m_dea = 0.2f * m_dif;
    else
        m_dea = 0.2f * m_dif + 0.8f * m_dea;
    m_macd = 2 * (m_dif - m_dea);
    return peek(bar);
}

IndicatorValue MacdIndicator::peek(const Stock& bar) {
    Q_UNUSED(bar)
    // Only an indicator that has seen no bar has nothing to report; after the
    // seeding bar the state (all 0) is reported as valid.
    if (m_count < 0)
        return IndicatorValue();
    return validValue(m_macd, m_dif, m_dea);
}
