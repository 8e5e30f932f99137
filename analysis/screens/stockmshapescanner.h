#pragma once

#include "analysis/indicators/manindicator.h"
#include "analysis/screens/stockshapescanner.h"

// A double top ("M形态"): two highs of about the same height, each at least
// 9% above the lowest close between them, found around the last two golden
// crosses of the 5-bar over the 10-bar average, after a falling candlestick
// pattern at the end of the series.
class StockMShapeScanner final : public StockShapeScanner {
    Q_OBJECT

public:
    StockMShapeScanner();

    int typeId() const override;
    int scan(void* context, const QVector<Stock>& bars, QStringList* comments) override;

    // On the copy of the last scanned series. The highest close from `from`
    // up to but not including `to` (or the end of the copy when to < from);
    // the lowest close over from..to inclusive. Ties keep the earlier bar;
    // -1 when the range holds no bar.
    int highestCloseIndex(int from, int to) const;
    int lowestCloseIndex(int from, int to) const;

private:
    QVector<Stock> m_bars;
    MaNIndicator m_ma5;
    MaNIndicator m_ma10;
    MaNIndicator m_ma20;
};
