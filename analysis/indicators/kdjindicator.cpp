#include "analysis/indicators/kdjindicator.h"

#include "analysis/indicators/indicatorwindow.h"

#include <cmath>

namespace {

constexpr int kPeriod = 9;

// K, D and J stay within 0..100; a value that is not a number becomes 0.
float limitKdj(float x) {
    if (std::isnan(x) || !(x > 0.0f))
        return 0.0f;
    if (x > 100.0f)
        return 100.0f;
    return x;
}

// One KDJ step over a full window; updates k, d and j in place.
void kdjStep(const QVector<Stock>& window, float& k, float& d, float& j) {
    float low9 = 1000000.0f;
    float high9 = 0.0f;
    for (const Stock& s : window) {
        // Comparisons with a NaN price fail, so such prices are passed over.
        if (s.low < low9)
            low9 = s.low;
        if (s.high > high9)
            high9 = s.high;
    }
    // A flat window divides 0 by 0; the NaN is limited to 0 below.
    const float rsv = (window.last().close - low9) / (high9 - low9) * 100;
    const float kRaw = (2 * k + rsv) / 3;
    const float dRaw = (kRaw + 2 * d) / 3;
    k = limitKdj(kRaw);
    d = limitKdj(dRaw);
    j = limitKdj(3 * k - 2 * d);
}

} // namespace

void KDJIndicator::reset() {
    m_window.clear();
    m_k = 0.0f;
    m_d = 0.0f;
    m_j = 0.0f;
}

IndicatorValue KDJIndicator::push(const Stock& bar) {
    if (!slideIndicatorWindow(m_window, kPeriod, bar))
        return IndicatorValue();
    kdjStep(m_window, m_k, m_d, m_j);
    return validValue(m_k, m_d, m_j);
}

IndicatorValue KDJIndicator::peek(const Stock& bar) {
    QVector<Stock> window = m_window;
    if (!slideIndicatorWindow(window, kPeriod, bar))
        return IndicatorValue();
    float k = m_k;
    float d = m_d;
    float j = m_j;
    kdjStep(window, k, d, j);
    return validValue(k, d, j);
}
