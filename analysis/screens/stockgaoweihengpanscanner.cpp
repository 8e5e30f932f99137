#include "analysis/screens/stockgaoweihengpanscanner.h"

#include "analysis/klinerange.h"

namespace {

constexpr int kBarsNeeded = 61;

} // namespace

StockGaoWeiHengPanScanner::StockGaoWeiHengPanScanner() = default;

int StockGaoWeiHengPanScanner::typeId() const {
    return ShapeCategory;
}

int StockGaoWeiHengPanScanner::scan(void* context, const QVector<Stock>& bars,
                                    QStringList* comments) {
    Q_UNUSED(context)
    if (bars.size() < kBarsNeeded)
        return -1;
    const int l = bars.size() - 1;
    float hi7 = 0.0f, lo7 = 0.0f;
    if (!isSidewaysWeek(bars, &hi7, &lo7))
        return -1;
    float lo60 = 0.0f;
    if (lowestInRange(bars, l - 59, l, &lo60, false) < 0)
        return -1;
    // The rise is measured against the week's low, like the range.
    const float rise = (hi7 - lo60) / lo7 * 100.0f;
    if (!(rise >= 20.0f))
        return -1;
    addComment(comments, QStringLiteral("高位横盘看跌"));
    return 1;
}
