#pragma once

#include <QColor>

class QCPAxis;
class QCPFinancial;

// Shared look of the K-line chart: bars stand one day of seconds apart and
// fill 0.9 of that step; rising bars are red, falling bars green.
namespace ChartStyle {
constexpr double keyStep = 86400.0;
constexpr double barWidth = 77760.0;
inline QColor risingColor() { return QColor(180, 90, 90); }
inline QColor fallingColor() { return QColor(100, 180, 110); }

// Axis text, ticks and base lines in a light grey that reads on the black
// plot background; grid lines dim, so they guide without crowding the bars.
inline QColor axisColor() { return QColor(200, 200, 200); }
inline QColor gridColor() { return QColor(80, 80, 80); }
void colourAxis(QCPAxis* axis);
// Asks for as many ticks as the axis's height has room for without the
// labels overlapping; returns whether that changed the tick count.
bool spaceTicks(QCPAxis* axis);
// The same for the time axis: as many date labels as its width has room
// for with at least half a label's width of space between two of them, and
// never fewer than two.
bool spaceDateTicks(QCPAxis* axis);
// The width of the time axis's widest label, a date with its year.
int dateLabelWidth(const QCPAxis* axis);

// Gives price bars (candles or OHLC bars alike) the chart's bar width and
// its rising and falling colours, filled and outlined.
void colourPriceBars(QCPFinancial* financial);
} // namespace ChartStyle
