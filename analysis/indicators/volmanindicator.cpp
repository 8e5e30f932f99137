#include "analysis/indicators/volmanindicator.h"

#include "analysis/indicators/indicatorwindow.h"

namespace {

IndicatorValue volumeAverage(const QVector<Stock>& window, int n) {
    float sum = 0.0f;
    for (const Stock& s : window)
        sum += s.volume;
    IndicatorValue v;
    v.valid = true;
    v.value1 = sum / n;
    return v;
}

} // namespace

VolMaNIndicator::VolMaNIndicator(int n) : m_n(n) {}

void VolMaNIndicator::reset() {
    m_window.clear();
}

IndicatorValue VolMaNIndicator::push(const Stock& bar) {
    if (m_n < 1)
        return IndicatorValue();
    if (!slideIndicatorWindow(m_window, m_n, bar))
        return IndicatorValue();
    return volumeAverage(m_window, m_n);
}

IndicatorValue VolMaNIndicator::peek(const Stock& bar) {
    if (m_n < 1)
        return IndicatorValue();
    QVector<Stock> window = m_window;
    if (!slideIndicatorWindow(window, m_n, bar))
        return IndicatorValue();
    return volumeAverage(window, m_n);
}
