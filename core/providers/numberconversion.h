#pragma once

#include <cmath>
#include <limits>

// A reply's figure truncated toward zero into an int. Share counts of the
// largest companies, or a stray huge number, exceed the int range, and a
// plain cast of such a value is undefined; those saturate at the range's
// ends instead, and a value that is not a number gives 0.
inline int saturatingToInt(double value) {
    if (std::isnan(value))
        return 0;
    constexpr double kMax = static_cast<double>(std::numeric_limits<int>::max());
    constexpr double kMin = static_cast<double>(std::numeric_limits<int>::min());
    if (value >= kMax)
        return std::numeric_limits<int>::max();
    if (value <= kMin)
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

// A double narrowed to float the way QString::toFloat does it: beyond the
// float range it becomes an infinity rather than an undefined conversion.
inline float narrowToFloat(double value) {
    if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max())
        return value < 0 ? -std::numeric_limits<float>::infinity()
                         : std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}
