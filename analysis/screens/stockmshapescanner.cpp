#include "analysis/screens/stockmshapescanner.h"

#include "analysis/klinerange.h"
#include "analysis/screens/candlepatterns.h"

#include <QtGlobal>

namespace {

constexpr int kBarsNeeded = 61;
constexpr float kNeckRise = 1.09f;
constexpr float kTopSpread = 1.11f;

} // namespace

StockMShapeScanner::StockMShapeScanner() : m_ma5(5), m_ma10(10), m_ma20(20) {}

int StockMShapeScanner::typeId() const {
    return ShapeCategory;
}

int StockMShapeScanner::scan(void* context, const QVector<Stock>& bars, QStringList* comments) {
    Q_UNUSED(context)
    m_ma5.reset();
    m_ma10.reset();
    m_ma20.reset();
    m_bars = bars;
    if (m_bars.size() < kBarsNeeded || !hasCandlePatternInRange(m_bars))
        return -1;
    const int l = m_bars.size() - 1;

    // The high of the last 60 bars must lie within the last 30.
    float value = 0.0f;
    const int high60 = highestInRange(m_bars, l - 60, l, &value, true);
    const int high30 = highestInRange(m_bars, l - 30, l, &value, true);
    if (high60 < 0 || high60 != high30)
        return -1;

    const QVector<float> m5 = firstValues(pushAll(m_ma5, m_bars));
    const QVector<float> m10 = firstValues(pushAll(m_ma10, m_bars));
    const QVector<float> m20 = firstValues(pushAll(m_ma20, m_bars));
    int previousCross = 0;
    int lastCross = 0;
    for (int k = 2; k <= l; ++k) {
        if (m10.at(k) < m5.at(k) && m10.at(k - 1) > m5.at(k - 1)) {
            previousCross = lastCross;
            lastCross = k;
        }
    }
    if (!(m10.at(l) <= m5.at(l)) || !(m20.at(l) <= m5.at(l)))
        return -1;

    float top1 = 0.0f, top2 = 0.0f, neck = 0.0f;
    const int top1Index = highestInRange(m_bars, previousCross, lastCross, &top1, true);
    const int top2Index = highestInRange(m_bars, lastCross, l, &top2, true);
    // Two tops need two bars: one bar cannot be both peaks with itself as
    // the neck.
    if (top1Index < 0 || top2Index < 0 || top1Index >= top2Index)
        return -1;
    const int neckIndex = lowestInRange(m_bars, top1Index, top2Index, &neck, false);
    if (neckIndex < 0)
        return -1;
    if (!(top1 >= kNeckRise * neck) || !(top2 >= kNeckRise * neck))
        return -1;
    // The tops may differ by at most 11% of the lower one.
    if (!(qMax(top1, top2) <= kTopSpread * qMin(top1, top2)))
        return -1;

    const Stock& second = m_bars.at(top2Index);
    const Stock& first = m_bars.at(top1Index);
    const Stock& neckBar = m_bars.at(neckIndex);
    m_shapePoints.date1 = second.date;
    m_shapePoints.price1 = second.close;
    m_shapePoints.date2 = first.date;
    m_shapePoints.price2 = first.close;
    m_shapePoints.date3 = neckBar.date;
    m_shapePoints.price3 = neckBar.close;
    m_shapePoints.name = QStringLiteral("双顶形态");
    addComment(comments, QStringLiteral("M形态"));
    return 1;
}

int StockMShapeScanner::highestCloseIndex(int from, int to) const {
    const int end = (to < from) ? m_bars.size() : qMin(to, m_bars.size());
    if (from < 0)
        return -1;
    float highest = 0.0f;
    int index = -1;
    for (int i = from; i < end; ++i) {
        if (m_bars.at(i).close > highest) {
            highest = m_bars.at(i).close;
            index = i;
        }
    }
    return index;
}

int StockMShapeScanner::lowestCloseIndex(int from, int to) const {
    if (from < 0)
        return -1;
    const int last = qMin(to, m_bars.size() - 1);
    float lowest = 99999.99f;
    int index = -1;
    for (int i = from; i <= last; ++i) {
        if (m_bars.at(i).close < lowest) {
            lowest = m_bars.at(i).close;
            index = i;
        }
    }
    return index;
}
