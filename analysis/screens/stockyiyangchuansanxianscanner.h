#pragma once

#include "analysis/indicators/manindicator.h"
#include "analysis/screens/stockshapescanner.h"

// "一阳穿三线": a rise of more than 4% that lifts the close from below to
// above the 5-, 10- and 30-bar averages while they lie within 1.5% of each
// other.
class StockYiYangChuanSanXianScanner final : public StockShapeScanner {
    Q_OBJECT

public:
    StockYiYangChuanSanXianScanner();

    int typeId() const override;
    int scan(void* context, const QVector<Stock>& bars, QStringList* comments) override;

private:
    MaNIndicator m_ma5;
    MaNIndicator m_ma10;
    MaNIndicator m_ma30;
};
