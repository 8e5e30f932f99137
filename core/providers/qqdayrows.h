#pragma once

#include "core/stock.h"
#include "core/utils.h"

#include <QString>
#include <QStringList>

// The K-line service writes each bar as ["date","open","close","high","low",
// "volume",...]; both of its daily requests read the rows the same way.

// Fills the bar's date (without the row's leading "["), open, close, high,
// low and volume from a row's values (NaN for a figure that is no number).
// A row of fewer than six values is no bar: false, and the bar is left alone.
inline bool readQQDayRow(const QStringList& values, Stock& bar) {
    if (values.size() < 6)
        return false;
    bar.date = values.at(0);
    if (bar.date.startsWith(QLatin1Char('[')))
        bar.date.remove(0, 1);
    bar.open = readFloatFigure(values.at(1));
    bar.close = readFloatFigure(values.at(2));
    bar.high = readFloatFigure(values.at(3));
    bar.low = readFloatFigure(values.at(4));
    bar.volume = readFloatFigure(values.at(5));
    return true;
}

// The bar's change against the close before it, and that change in percent.
// An unreadable (0) previous close gives a percent of 0, not an infinity.
inline void setChangeAgainst(Stock& bar, float previousClose) {
    bar.change = bar.close - previousClose;
    bar.changePercent = previousClose != 0.0f ? bar.change * 100.0f / previousClose : 0.0f;
}

// The change of every bar after the first against the close before it.
inline void setChangesInOrder(QVector<Stock>& bars) {
    for (int i = 1; i < bars.size(); ++i)
        setChangeAgainst(bars[i], bars.at(i - 1).close);
}
