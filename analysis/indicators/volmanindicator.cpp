#include "analysis/indicators/volmanindicator.h"

#include "analysis/indicators/indicatorwindow.h"

VolMaNIndicator::VolMaNIndicator(int n) : m_n(n) {}

void VolMaNIndicator::reset() {
    m_window.clear();
}

IndicatorValue VolMaNIndicator::push(const Stock& bar) {
    return slideWindowMean(m_window, m_n, bar, &Stock::volume);
}

IndicatorValue VolMaNIndicator::peek(const Stock& bar) {
    QVector<Stock> window = m_window;
    return slideWindowMean(window, m_n, bar, &Stock::volume);
}
