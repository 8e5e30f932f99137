#include "core/providers/qqdayrows.h"

namespace {
constexpr int kDayValues = 6;
} // namespace

bool readQQDayRow(const QStringList& values, Stock& bar) {
    if (values.size() < kDayValues)
        return false;
    bar.date = values.at(0);
    if (bar.date.startsWith(QLatin1Char('[')))
        bar.date.remove(0, 1);
    bar.open = values.at(1).toFloat();
    bar.close = values.at(2).toFloat();
    bar.high = values.at(3).toFloat();
    bar.low = values.at(4).toFloat();
    bar.volume = values.at(5).toFloat();
    return true;
}

void setChangeAgainst(Stock& bar, float previousClose) {
    bar.change = bar.close - previousClose;
    bar.changePercent = previousClose != 0.0f ? bar.change * 100.0f / previousClose : 0.0f;
}
