#pragma once

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
