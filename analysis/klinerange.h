#pragma once

#include "analysis/indicators/stockindicator.h"
#include "core/stock.h"

#include <QVector>

// Start values of the searches; a result equal to its sentinel means that
// no bar beat it.
constexpr float kLowestSentinel = 9999.99f;
constexpr float kHighestSentinel = -9999.99f;

// Index of the lowest close (and low, when withLow) over bars from..to
// inclusive; ties keep the earliest bar. Returns -1 for a bad range (value
// untouched) or when no price is below the sentinel (value = sentinel).
int lowestInRange(const QVector<Stock>& bars, int from, int to, float* value, bool withLow);

// Mirror of lowestInRange for the highest close (and high, when withHigh).
int highestInRange(const QVector<Stock>& bars, int from, int to, float* value, bool withHigh);

// Mean close (or volume) over bars from..to inclusive, summed in double.
// A range outside the series gives 0.
float averageInRange(const QVector<Stock>& bars, int from, int to, bool ofVolume);

// Highest high and lowest low of the whole series with their indices. The
// indices are written only when a bar beats the start values (0 and
// 9999.99), so callers initialise them.
void findHighestLowest(const QVector<Stock>& bars, int* highIndex, int* lowIndex, float* high,
                       float* low);

// A copy of the series with open, high, low and close turned into cumulative
// change against the previous close, times 10. The first bar leads the
// result at change 0 (its prices taken against its own close), so the
// result has one bar per input bar. A series of one bar is returned as it is.
QVector<Stock> toCumulativeChangeSeries(const QVector<Stock>& bars);

// The latest bar opened below its previous close, fell, and closed at or
// above its high.
bool isGapDownBar(const QVector<Stock>& bars);

// Each of the last n values has value1 + 2 x value2 below limit.
bool allLastValuesBelow(const QVector<IndicatorValue>& values, float limit, int n);

// The latest close is above the open and close of the m bars that end k bars
// before the latest one.
bool closeAbovePriorBars(const QVector<Stock>& bars, int m, int k);
