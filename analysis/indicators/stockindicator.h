#pragma once

#include "core/stock.h"

// The value of an indicator at one bar. While the indicator has seen too few
// bars, valid is false and all four numbers are 0.
struct IndicatorValue {
    bool valid = false;
    float value1 = 0.0f;
    float value2 = 0.0f;
    float value3 = 0.0f;
    float value4 = 0.0f;
};

// A valid value with the given numbers; value4 stays 0 for every indicator.
inline IndicatorValue validValue(float value1, float value2 = 0.0f, float value3 = 0.0f) {
    IndicatorValue v;
    v.valid = true;
    v.value1 = value1;
    v.value2 = value2;
    v.value3 = value3;
    return v;
}

// An incremental indicator over K-line bars fed oldest first. All arithmetic
// is single precision so that the chart and the screens agree bar for bar.
class StockIndicator {
public:
    // Forget every bar and return to the state after construction.
    virtual void reset() = 0;
    // Add the bar as the newest and return the value at it.
    virtual IndicatorValue push(const Stock& bar) = 0;
    // The value push() would return for the bar, without changing the state.
    virtual IndicatorValue peek(const Stock& bar) = 0;

protected:
    StockIndicator() = default;
    StockIndicator(const StockIndicator&) = default;
    StockIndicator& operator=(const StockIndicator&) = default;
    // Owners keep and delete indicators by their concrete class; a protected
    // destructor keeps anyone from deleting one through this base.
    ~StockIndicator() = default;
};
