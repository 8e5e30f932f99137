#pragma once

#include "analysis/screens/stockscanner.h"

// A new 60-day high or low: the latest bar's close or high (low) beats every
// one of the 60 bars before it.
class PricePositionScanner final : public StockScanner {
    Q_OBJECT

public:
    PricePositionScanner();

    int typeId() const override;
    int scan(void* context, const QVector<Stock>& bars, QStringList* comments) override;
};
