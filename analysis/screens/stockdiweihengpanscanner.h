#pragma once

#include "analysis/screens/stockshapescanner.h"

// "低位横盘看涨": a week of closes within 2.11% of each other, whose lowest
// is at most 3.6% above the lowest close of bars 60 to 20 back.
class StockDiWeiHengPanScanner final : public StockShapeScanner {
    Q_OBJECT

public:
    StockDiWeiHengPanScanner();

    int typeId() const override;
    int scan(void* context, const QVector<Stock>& bars, QStringList* comments) override;
};
