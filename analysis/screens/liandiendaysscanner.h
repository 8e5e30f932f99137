#pragma once

#include "analysis/screens/stockscanner.h"

// N falling days in a row: each of the last N bars closed below its open and
// below the close before it.
class LianDieNDaysScanner final : public StockScanner {
    Q_OBJECT

public:
    // n below 1 is taken as 1: a run of no days is no signal.
    explicit LianDieNDaysScanner(int n);

    int days() const { return m_n; }

    int scan(void* context, const QVector<Stock>& bars, QStringList* comments) override;

private:
    int m_n;
};
