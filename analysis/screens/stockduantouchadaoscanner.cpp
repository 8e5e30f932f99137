#include "analysis/screens/stockduantouchadaoscanner.h"

namespace {

constexpr int kBarsNeeded = 26;

} // namespace

StockDuanTouChaDaoScanner::StockDuanTouChaDaoScanner() : m_ma5(5), m_ma10(10), m_ma20(20) {}

int StockDuanTouChaDaoScanner::typeId() const {
    return ShapeCategory;
}

int StockDuanTouChaDaoScanner::scan(void* context, const QVector<Stock>& bars,
                                    QStringList* comments) {
    Q_UNUSED(context)
    m_ma5.reset();
    m_ma10.reset();
    m_ma20.reset();
    if (bars.size() < kBarsNeeded)
        return -1;
    const QVector<float> m5 = firstValues(pushAll(m_ma5, bars));
    const QVector<float> m10 = firstValues(pushAll(m_ma10, bars));
    const QVector<float> m20 = firstValues(pushAll(m_ma20, bars));
    const int l = bars.size() - 1, p = l - 1;
    const Stock& latest = bars.at(l);
    const float closeP = bars.at(p).close;
    if (!(latest.changePercent < -3.0f))
        return -1;
    if (!(m5.at(l) > latest.close && m10.at(l) > latest.close && m20.at(l) > latest.close))
        return -1;
    if (!(m5.at(p) < closeP && m10.at(p) < closeP && m20.at(p) < closeP))
        return -1;
    m_shapePoints.date1 = latest.date;
    m_shapePoints.price1 = latest.close;
    m_shapePoints.name = QStringLiteral("断头铡刀");
    addComment(comments, QStringLiteral("断头铡刀"));
    return 1;
}
