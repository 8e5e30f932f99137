#include "analysis/screens/stockyiyangchuansanxianscanner.h"

#include <QtGlobal>

namespace {

constexpr int kBarsNeeded = 33;

} // namespace

StockYiYangChuanSanXianScanner::StockYiYangChuanSanXianScanner()
    : m_ma5(5), m_ma10(10), m_ma30(30) {}

int StockYiYangChuanSanXianScanner::typeId() const {
    return ShapeCategory;
}

int StockYiYangChuanSanXianScanner::scan(void* context, const QVector<Stock>& bars,
                                         QStringList* comments) {
    Q_UNUSED(context)
    m_ma5.reset();
    m_ma10.reset();
    m_ma30.reset();
    if (bars.size() < kBarsNeeded)
        return -1;
    const QVector<float> m5 = firstValues(pushAll(m_ma5, bars));
    const QVector<float> m10 = firstValues(pushAll(m_ma10, bars));
    const QVector<float> m30 = firstValues(pushAll(m_ma30, bars));
    const int l = bars.size() - 1, p = l - 1;
    const float closeP = bars.at(p).close, closeL = bars.at(l).close;
    if (!(closeP < m5.at(p) && closeP < m10.at(p) && closeP < m30.at(p)))
        return -1;
    if (!(closeL > m5.at(l) && closeL > m10.at(l) && closeL > m30.at(l)))
        return -1;
    const float hi = qMax(m5.at(p), qMax(m10.at(p), m30.at(p)));
    const float lo = qMin(m5.at(p), qMin(m10.at(p), m30.at(p)));
    if (!((hi - lo) / lo * 100.0f <= 1.5f))
        return -1;
    if (!(bars.at(l).changePercent > 4.0f))
        return -1;
    addComment(comments, QStringLiteral("一阳穿三线"));
    return 0;
}
