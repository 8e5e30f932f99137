#pragma once

#include "core/stock.h"

#include <QString>
#include <QStringList>

// The K-line service writes each bar as ["date","open","close","high","low",
// "volume",...]; both of its daily requests read the rows the same way.

// Fills the bar's date (without the row's leading "["), open, close, high,
// low and volume from a row split at its commas, quotes removed. A row of
// fewer than six values is no bar: false, and the bar is left alone.
bool readQQDayRow(const QStringList& values, Stock& bar);

// The bar's change against the close before it, and that change in percent.
// An unreadable (0) previous close gives a percent of 0, not an infinity.
void setChangeAgainst(Stock& bar, float previousClose);
