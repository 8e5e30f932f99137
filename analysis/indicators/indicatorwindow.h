#pragma once

#include "analysis/indicators/stockindicator.h"
#include "core/stock.h"

#include <QVector>

// The window rule of the windowed indicators: append the bar, report false
// while fewer than period bars are held, then keep only the newest period
// bars. peek runs it on a copy of the window.
inline bool slideIndicatorWindow(QVector<Stock>& window, int period, const Stock& bar) {
    window.append(bar);
    if (window.size() < period)
        return false;
    if (window.size() > period)
        window.removeFirst();
    return true;
}

// The moving-average rule: slide the bar into the window, then the mean of
// one field (close or volume) over the window, summed in single precision
// oldest first. Invalid while the window is short, and always for a period
// below 1, which has no mean (the bar is then not kept).
inline IndicatorValue slideWindowMean(QVector<Stock>& window, int period, const Stock& bar,
                                      float Stock::*field) {
    if (period < 1 || !slideIndicatorWindow(window, period, bar))
        return IndicatorValue();
    float sum = 0.0f;
    for (const Stock& s : window)
        sum += s.*field;
    return validValue(sum / period);
}
