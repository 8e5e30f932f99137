#pragma once

#include "core/stock.h"

#include <QVector>

// The MACD bar turns from negative to positive at the latest bar.
bool isMacdGoldenCross(const QVector<Stock>& bars);

// The latest close breaks above the upper Bollinger band (middle + 2 sd)
// while the close before it was below its band. Only days == 1 is supported.
bool isBollUpperBreakout(const QVector<Stock>& bars, int days);
