#include "analysis/screens/stockupwardtrendscanner.h"

#include "analysis/klinerange.h"

#include <algorithm>

namespace {

constexpr int kBarsNeeded = 46;

} // namespace

StockUpwardTrendScanner::StockUpwardTrendScanner() : m_ma5(5), m_ma20(20) {}

int StockUpwardTrendScanner::typeId() const {
    return ShapeCategory;
}

int StockUpwardTrendScanner::scan(void* context, const QVector<Stock>& bars,
                                  QStringList* comments) {
    Q_UNUSED(context)
    Q_UNUSED(comments)
    m_ma5.reset();
    m_ma20.reset();
    m_bars = bars;
    if (m_bars.size() < kBarsNeeded)
        return -1;
    QVector<float> m5 = firstValues(pushAll(m_ma5, m_bars));
    QVector<float> m20 = firstValues(pushAll(m_ma20, m_bars));
    std::reverse(m5.begin(), m5.end());
    std::reverse(m20.begin(), m20.end());
    std::reverse(m_bars.begin(), m_bars.end());

    for (int j = 0; j < m_window; ++j) {
        if (!(m5.at(j) > m20.at(j)))
            return -1;
        // The latest bar itself may move by any amount.
        const float change = m_bars.at(j).changePercent;
        if (j >= 1 && !(change >= m_lowerChangeLimit && change <= m_upperChangeLimit))
            return -1;
    }
    float lowest = 0.0f;
    const int index = lowestInRange(m_bars, 0, m_window, &lowest, false);
    return index >= 0.66f * m_window + 1 ? 0 : -1;
}
