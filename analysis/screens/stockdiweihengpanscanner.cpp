#include "analysis/screens/stockdiweihengpanscanner.h"

#include "analysis/klinerange.h"

namespace {

constexpr int kBarsNeeded = 61;

} // namespace

StockDiWeiHengPanScanner::StockDiWeiHengPanScanner() = default;

int StockDiWeiHengPanScanner::typeId() const {
    return ShapeCategory;
}

int StockDiWeiHengPanScanner::scan(void* context, const QVector<Stock>& bars,
                                   QStringList* comments) {
    Q_UNUSED(context)
    if (bars.size() < kBarsNeeded)
        return -1;
    const int l = bars.size() - 1;
    float hi7 = 0.0f, lo7 = 0.0f;
    if (!isSidewaysWeek(bars, &hi7, &lo7))
        return -1;
    float older = 0.0f;
    if (lowestInRange(bars, l - 59, l - 19, &older, false) < 0)
        return -1;
    if (!(lo7 <= 1.036f * older))
        return -1;
    addComment(comments, QStringLiteral("低位横盘看涨"));
    return 0;
}
