#pragma once

#include "analysis/indicators/manindicator.h"
#include "analysis/screens/stockshapescanner.h"

// A steady upward trend: over the last 29 bars the 5-bar average stays above
// the 20-bar average, no bar but the latest moves more than the change limits,
// and the lowest close of the last 30 bars lies in their older part. Returns
// 0 without a comment.
class StockUpwardTrendScanner final : public StockShapeScanner {
    Q_OBJECT

public:
    StockUpwardTrendScanner();

    int typeId() const override;
    int scan(void* context, const QVector<Stock>& bars, QStringList* comments) override;

private:
    QVector<Stock> m_bars; // the last scanned series, latest bar first
    MaNIndicator m_ma5;
    MaNIndicator m_ma20;
    const int m_window = 29;
    const float m_upperChangeLimit = 3.61f;
    const float m_lowerChangeLimit = -3.2f;
};
