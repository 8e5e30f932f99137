#include "analysis/indicators/manindicator.h"

#include "analysis/indicators/indicatorwindow.h"

namespace {

IndicatorValue closeAverage(const QVector<Stock>& window, int n) {
    float sum = 0.0f;
    for (const Stock& s : window)
        sum += s.close;
    IndicatorValue v;
    v.valid = true;
    v.value1 = sum / n;
    return v;
}

} // namespace

MaNIndicator::MaNIndicator(int n) : m_n(n) {}

void MaNIndicator::reset() {
    m_window.clear();
}

IndicatorValue MaNIndicator::push(const Stock& bar) {
    // A period below 1 has no mean: never valid rather than 0/0.
    if (m_n < 1)
        return IndicatorValue();
    if (!slideIndicatorWindow(m_window, m_n, bar))
        return IndicatorValue();
    return closeAverage(m_window, m_n);
}

IndicatorValue MaNIndicator::peek(const Stock& bar) {
    if (m_n < 1)
        return IndicatorValue();
    QVector<Stock> window = m_window;
    if (!slideIndicatorWindow(window, m_n, bar))
        return IndicatorValue();
    return closeAverage(window, m_n);
}
