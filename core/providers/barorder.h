#pragma once

#include "core/stock.h"

#include <QVector>

#include <algorithm>

// Bars in date order, one per date, whatever order the reply sends them in:
// a service may list the newest first, or repeat a day. Of bars of one date
// the one sent last is kept. Dates compare as the "yyyy-MM-dd" texts they are.
inline void orderBarsByDate(QVector<Stock>& bars) {
    std::stable_sort(bars.begin(), bars.end(),
                     [](const Stock& a, const Stock& b) { return a.date < b.date; });
    QVector<Stock> kept;
    kept.reserve(bars.size());
    for (const Stock& bar : qAsConst(bars)) {
        if (!kept.isEmpty() && kept.constLast().date == bar.date)
            kept.last() = bar;
        else
            kept.append(bar);
    }
    bars.swap(kept);
}
