#include "analysis/indicators/indicatorsignals.h"

#include "analysis/indicators/bollindicator.h"
#include "analysis/indicators/macdindicator.h"

bool isMacdGoldenCross(const QVector<Stock>& bars) {
    MacdIndicator macd;
    QVector<IndicatorValue> values;
    values.reserve(bars.size());
    for (const Stock& bar : bars)
        values.append(macd.push(bar));
    if (values.size() < 2)
        return false;
    const IndicatorValue& last = values.at(values.size() - 1);
    const IndicatorValue& before = values.at(values.size() - 2);
    if (!last.valid || !before.valid)
        return false;
    return before.value1 < 0.0f && last.value1 > 0.0f;
}

bool isBollUpperBreakout(const QVector<Stock>& bars, int days) {
    if (days != 1)
        return false;
    BollIndicator boll;
    QVector<IndicatorValue> values;
    values.reserve(bars.size());
    for (const Stock& bar : bars)
        values.append(boll.push(bar));
    if (values.size() <= days + 1)
        return false;
    const int last = values.size() - 1;
    const IndicatorValue& now = values.at(last);
    const IndicatorValue& before = values.at(last - 1);
    // The bar before must have a band too: an invalid value's band of 0
    // would let any negative (re-based) close count as below it.
    if (!now.valid || !before.valid)
        return false;
    const float upperNow = now.value1 + now.value2 - now.value3;
    const float upperBefore = before.value1 + before.value2 - before.value3;
    return bars.at(last).close > upperNow && bars.at(last - 1).close < upperBefore;
}
