#pragma once

#include "analysis/indicators/macdindicator.h"
#include "analysis/screens/stockscanner.h"

// DIF/DEA crosses at the latest bar, and support: DIF dips towards DEA above
// it and turns up again.
class StockMACDScanner final : public StockScanner {
    Q_OBJECT

public:
    StockMACDScanner();

    int typeId() const override;
    int scan(void* context, const QVector<Stock>& bars, QStringList* comments) override;

private:
    MacdIndicator m_macd;
};
