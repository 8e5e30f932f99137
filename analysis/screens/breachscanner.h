#pragma once

#include "analysis/screens/stockscanner.h"

// A price gap between the last two bars: 0 for an up gap, 1 for a down gap,
// with the gap's size in percent.
class BreachScanner final : public StockScanner {
    Q_OBJECT

public:
    BreachScanner();

    int typeId() const override;
    int scan(void* context, const QVector<Stock>& bars, QStringList* comments) override;
};
