#pragma once

#include "analysis/indicators/manindicator.h"
#include "analysis/screens/stockscanner.h"

// The 5-bar average of the close crossing the 10-bar average at the latest
// bar: 0 upwards, 1 downwards.
class StockMaNScanner final : public StockScanner {
    Q_OBJECT

public:
    StockMaNScanner();

    int typeId() const override;
    int scan(void* context, const QVector<Stock>& bars, QStringList* comments) override;

private:
    MaNIndicator m_ma5;
    MaNIndicator m_ma10;
};
