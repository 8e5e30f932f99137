#include "analysis/screens/stockshapescanner.h"

#include "analysis/klinerange.h"

StockShapeScanner::StockShapeScanner() = default;

int StockShapeScanner::scan(void* context, const QVector<Stock>& bars, QStringList* comments) {
    Q_UNUSED(context)
    Q_UNUSED(bars)
    Q_UNUSED(comments)
    return -1;
}

bool StockShapeScanner::isSidewaysWeek(const QVector<Stock>& bars, float* high, float* low) {
    const int last = bars.size() - 1;
    if (last < 6)
        return false;
    if (highestInRange(bars, last - 6, last, high, false) < 0 ||
        lowestInRange(bars, last - 6, last, low, false) < 0)
        return false;
    const float range = (*high - *low) / *low * 100.0f;
    return range < 2.11f;
}
