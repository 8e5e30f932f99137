#include "analysis/screens/breachscanner.h"

namespace {

constexpr int kBarsNeeded = 5;

QString percentText(float value) {
    return QString::number(double(value), 'f', 2);
}

} // namespace

BreachScanner::BreachScanner() = default;

int BreachScanner::typeId() const {
    return GapCategory;
}

int BreachScanner::scan(void* context, const QVector<Stock>& bars, QStringList* comments) {
    Q_UNUSED(context)
    if (bars.size() < kBarsNeeded)
        return -1;
    const Stock& cur = bars.at(bars.size() - 1);
    const Stock& prev = bars.at(bars.size() - 2);
    if (cur.low > prev.high) {
        // A gap against a missing (zero) price has no size worth reporting.
        if (!(prev.high > 0.0f))
            return -1;
        const float size = (cur.low - prev.high) / prev.high * 100.0f;
        addComment(comments, QStringLiteral("看涨缺口幅度:%1").arg(percentText(size)));
        return 0;
    }
    if (prev.low > cur.high) {
        if (!(cur.high > 0.0f))
            return -1;
        // Measured against the latest bar's high.
        const float size = (prev.low - cur.high) / cur.high * 100.0f;
        addComment(comments, QStringLiteral("看跌缺口幅度:%1").arg(percentText(size)));
        return 1;
    }
    return -1;
}
