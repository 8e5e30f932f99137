#include "analysis/klinerange.h"

namespace {

bool isBadRange(const QVector<Stock>& bars, int from, int to) {
    const int last = bars.size() - 1;
    return from > last || to > last || from > to || from < 0;
}

} // namespace

int lowestInRange(const QVector<Stock>& bars, int from, int to, float* value, bool withLow) {
    if (isBadRange(bars, from, to))
        return -1;
    float min = kLowestSentinel;
    int index = -1;
    for (int i = from; i <= to; ++i) {
        const Stock& bar = bars.at(i);
        // Strict comparisons: ties keep the earlier bar and NaN never wins.
        if (min > bar.close) {
            min = bar.close;
            index = i;
        }
        if (withLow && min > bar.low) {
            min = bar.low;
            index = i;
        }
    }
    if (value)
        *value = min;
    return index;
}

int highestInRange(const QVector<Stock>& bars, int from, int to, float* value, bool withHigh) {
    if (isBadRange(bars, from, to))
        return -1;
    float max = kHighestSentinel;
    int index = -1;
    for (int i = from; i <= to; ++i) {
        const Stock& bar = bars.at(i);
        if (max < bar.close) {
            max = bar.close;
            index = i;
        }
        if (withHigh && max < bar.high) {
            max = bar.high;
            index = i;
        }
    }
    if (value)
        *value = max;
    return index;
}

float averageInRange(const QVector<Stock>& bars, int from, int to, bool ofVolume) {
    // Guard against reading past the series; every caller's valid range is
    // unaffected.
    if (isBadRange(bars, from, to))
        return 0.0f;
    double sum = 0.0;
    for (int i = from; i <= to; ++i)
        sum += ofVolume ? bars.at(i).volume : bars.at(i).close;
    return float(sum / (to - from + 1));
}

void findHighestLowest(const QVector<Stock>& bars, int* highIndex, int* lowIndex, float* high,
                       float* low) {
    float maxHigh = 0.0f;
    float minLow = kLowestSentinel;
    for (int i = 0; i < bars.size(); ++i) {
        const Stock& bar = bars.at(i);
        if (maxHigh < bar.high) {
            maxHigh = bar.high;
            if (highIndex)
                *highIndex = i;
        }
        if (minLow > bar.low) {
            minLow = bar.low;
            if (lowIndex)
                *lowIndex = i;
        }
    }
    if (high)
        *high = maxHigh;
    if (low)
        *low = minLow;
}

QVector<Stock> toCumulativeChangeSeries(const QVector<Stock>& bars) {
    QVector<Stock> result;
    if (bars.isEmpty())
        return result;
    // A single bar has no previous close to change against: it stays as it is.
    if (bars.size() == 1)
        return bars;
    result.reserve(bars.size());

    auto rebase = [](Stock& bar, float reference, float base) {
        bar.open = (bar.open - reference) * 10.0f / reference + base;
        bar.high = (bar.high - reference) * 10.0f / reference + base;
        bar.low = (bar.low - reference) * 10.0f / reference + base;
        bar.close = (bar.close - reference) * 10.0f / reference + base;
    };

    // The first bar starts the curve at 0: its own close is its reference,
    // so its candle keeps its shape around 0.
    Stock first = bars.first();
    rebase(first, bars.first().close, 0.0f);
    result.append(first);

    float base = first.close;
    for (int i = 1; i < bars.size(); ++i) {
        const float c = bars.at(i - 1).close; // the input close, not the re-based one
        Stock bar = bars.at(i);
        rebase(bar, c, base);
        base = bar.close;
        result.append(bar);
    }
    return result;
}

bool isGapDownBar(const QVector<Stock>& bars) {
    if (bars.size() < 2)
        return false;
    const Stock& bar = bars.last();
    return bar.open > bar.close && bar.preClose > bar.open && bar.close >= bar.high;
}

bool allLastValuesBelow(const QVector<IndicatorValue>& values, float limit, int n) {
    if (values.size() < n)
        return false;
    int count = 0;
    for (int i = values.size() - 1; i >= values.size() - n; --i) {
        const IndicatorValue& v = values.at(i);
        if (v.value1 + 2 * v.value2 < limit)
            ++count;
    }
    return count == n;
}

bool closeAbovePriorBars(const QVector<Stock>& bars, int m, int k) {
    const int size = bars.size();
    // A negative k would point past the latest bar.
    if (size <= m + k || k < 0)
        return false;
    const float ref = bars.last().close;
    for (int i = size - k - 1; i >= size - k - m; --i) {
        const Stock& bar = bars.at(i);
        if (!(bar.open < ref) || !(bar.close < ref))
            return false;
    }
    return true;
}
