#include "analysis/screens/stockmanscanner.h"

namespace {

constexpr int kBarsNeeded = 20;

} // namespace

StockMaNScanner::StockMaNScanner() : m_ma5(5), m_ma10(10) {}

int StockMaNScanner::typeId() const {
    return CrossCategory;
}

int StockMaNScanner::scan(void* context, const QVector<Stock>& bars, QStringList* comments) {
    Q_UNUSED(context)
    m_ma5.reset();
    m_ma10.reset();
    if (bars.size() < kBarsNeeded)
        return -1;
    const QVector<float> a5 = firstValues(pushAll(m_ma5, bars));
    const QVector<float> a10 = firstValues(pushAll(m_ma10, bars));
    const int l = bars.size() - 1, p = l - 1;
    if (a5.at(l) > a10.at(l) && a5.at(p) < a10.at(p)) {
        addComment(comments, QStringLiteral("5,10日均线金叉"));
        return 0;
    }
    if (a5.at(p) > a10.at(p) && a5.at(l) < a10.at(l)) {
        addComment(comments, QStringLiteral("5,10日均线死叉"));
        return 1;
    }
    return -1;
}
