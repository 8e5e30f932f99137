#pragma once

#include "analysis/screens/stockscanner.h"

// The first of 23 candlestick patterns that holds at the end of the series;
// its name becomes the comment.
class StockKScanner final : public StockScanner {
    Q_OBJECT

public:
    StockKScanner();

    int typeId() const override;
    int scan(void* context, const QVector<Stock>& bars, QStringList* comments) override;
};
