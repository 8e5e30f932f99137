#pragma once

#include "core/stock.h"

#include <QVector>

#include <initializer_list>

// Small hand-made K-line series for the screen tests.
namespace klinebars {

inline Stock bar(float open, float high, float low, float close, float volume = 0.0f,
                 float changePercent = 0.0f) {
    Stock s;
    s.open = open;
    s.high = high;
    s.low = low;
    s.close = close;
    s.volume = volume;
    s.changePercent = changePercent;
    return s;
}

// A bar without a body or shadows.
inline Stock flat(float price, float volume = 0.0f) {
    return bar(price, price, price, price, volume);
}

inline QVector<Stock> flats(int count, float price, float volume = 0.0f) {
    return QVector<Stock>(count, flat(price, volume));
}

inline QVector<Stock> closes(std::initializer_list<float> values) {
    QVector<Stock> bars;
    for (float v : values)
        bars.append(flat(v));
    return bars;
}

inline QVector<Stock> volumes(const QVector<float>& values) {
    QVector<Stock> bars;
    for (float v : values)
        bars.append(flat(10.0f, v));
    return bars;
}

} // namespace klinebars
