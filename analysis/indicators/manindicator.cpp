#include "analysis/indicators/manindicator.h"

#include "analysis/indicators/indicatorwindow.h"

MaNIndicator::MaNIndicator(int n) : m_n(n) {}

void MaNIndicator::reset() {
    m_window.clear();
}

IndicatorValue MaNIndicator::push(const Stock& bar) {
    return slideWindowMean(m_window, m_n, bar, &Stock::close);
}

IndicatorValue MaNIndicator::peek(const Stock& bar) {
    QVector<Stock> window = m_window;
    return slideWindowMean(window, m_n, bar, &Stock::close);
}
