#pragma once

#include "analysis/indicators/manindicator.h"
#include "analysis/screens/stockshapescanner.h"

// "断头铡刀": a falling bar of more than 3% that closes below the 5-, 10- and
// 20-bar averages after a bar that closed above all three.
class StockDuanTouChaDaoScanner final : public StockShapeScanner {
    Q_OBJECT

public:
    StockDuanTouChaDaoScanner();

    int typeId() const override;
    int scan(void* context, const QVector<Stock>& bars, QStringList* comments) override;

private:
    MaNIndicator m_ma5;
    MaNIndicator m_ma10;
    MaNIndicator m_ma20;
};
