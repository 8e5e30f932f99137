#pragma once

#include "analysis/screens/stockshapescanner.h"

// "高位横盘看跌": a week of closes within 2.11% of each other, at least 20%
// above the lowest close of the last 60 bars.
class StockGaoWeiHengPanScanner final : public StockShapeScanner {
    Q_OBJECT

public:
    StockGaoWeiHengPanScanner();

    int typeId() const override;
    int scan(void* context, const QVector<Stock>& bars, QStringList* comments) override;
};
