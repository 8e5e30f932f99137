#include "analysis/screens/pricepositionscanner.h"

#include "analysis/klinerange.h"
#include "core/utils.h"

namespace {

constexpr int kWindow = 60;

} // namespace

PricePositionScanner::PricePositionScanner() = default;

int PricePositionScanner::typeId() const {
    return PositionCategory;
}

int PricePositionScanner::scan(void* context, const QVector<Stock>& bars, QStringList* comments) {
    Q_UNUSED(context)
    if (bars.size() < kWindow + 1)
        return -1;
    const int last = bars.size() - 1;
    const int from = bars.size() - (kWindow + 1);
    float value = 0.0f;
    // Ties keep the earlier bar, so the latest bar wins only when strictly
    // above (below) every bar before it.
    if (highestInRange(bars, from, last, &value, true) == last) {
        float previous = 0.0f;
        highestInRange(bars, from, last - 1, &previous, true);
        addComment(comments,
                   QStringLiteral("60日新高,前60日最高:%1").arg(figureText(double(previous))));
        return 0;
    }
    if (lowestInRange(bars, from, last, &value, true) == last) {
        float previous = 0.0f;
        lowestInRange(bars, from, last - 1, &previous, true);
        addComment(comments,
                   QStringLiteral("60日新低,前60日最低:%1").arg(figureText(double(previous))));
        return 0;
    }
    return -1;
}
