#include "analysis/indicators/bollindicator.h"

#include "analysis/indicators/indicatorwindow.h"

#include <cmath>

namespace {

constexpr int kPeriod = 20;
// 1/20 as the single-precision constant, so results match bar for bar.
constexpr float kOneTwentieth = 0.05f;

IndicatorValue bands(const QVector<Stock>& window) {
    float sum = 0.0f;
    for (const Stock& s : window)
        sum += s.close;
    const float mid = sum * kOneTwentieth;
    float squares = 0.0f;
    for (const Stock& s : window) {
        const float diff = s.close - mid;
        squares += diff * diff;
    }
    const float var = squares * kOneTwentieth;
    const float sd = std::sqrt(var);
    return validValue(mid, sd, -sd);
}

} // namespace

void BollIndicator::reset() {
    m_window.clear();
}

IndicatorValue BollIndicator::push(const Stock& bar) {
    if (!slideIndicatorWindow(m_window, kPeriod, bar))
        return IndicatorValue();
    return bands(m_window);
}

IndicatorValue BollIndicator::peek(const Stock& bar) {
    QVector<Stock> window = m_window;
    if (!slideIndicatorWindow(window, kPeriod, bar))
        return IndicatorValue();
    return bands(window);
}
