#pragma once

#include "analysis/indicators/kdjindicator.h"
#include "analysis/screens/stockscanner.h"

// KDJ levels and crosses at the latest bar. Codes: 1 oversold, 2 overbought,
// 3 golden cross near the middle, 4 death cross, 5 oversold golden cross,
// 6 overbought death cross.
class StockKDJScanner final : public StockScanner {
    Q_OBJECT

public:
    StockKDJScanner();

    int typeId() const override;
    int scan(void* context, const QVector<Stock>& bars, QStringList* comments) override;

private:
    KDJIndicator m_kdj;
};
