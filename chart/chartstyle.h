#pragma once

#include <QColor>

class QCPFinancial;

// Shared look of the K-line chart: bars stand one day of seconds apart and
// fill 0.9 of that step; rising bars are red, falling bars green.
namespace ChartStyle {
constexpr double keyStep = 86400.0;
constexpr double barWidth = 77760.0;
inline QColor risingColor() { return QColor(180, 90, 90); }
inline QColor fallingColor() { return QColor(100, 180, 110); }

// Gives price bars (candles or OHLC bars alike) the chart's bar width and
// its rising and falling colours, filled and outlined.
void colourPriceBars(QCPFinancial* financial);
} // namespace ChartStyle
