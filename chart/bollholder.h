#pragma once

#include "analysis/indicators/bollindicator.h"
#include "chart/indexholder.h"

class QCPAxisRect;
class QCPFinancial;
class QCPGraph;

// Bollinger bands (middle +/- two standard deviations) over OHLC bars.
class BollHolder final : public IndexHolder
{
    Q_OBJECT
    Q_DISABLE_COPY(BollHolder)

public:
    BollHolder(QCPAxisRect* pane, int count);
    ~BollHolder() override;

    void setData(const QVector<Stock>& bars) override;

    // The plottables belong to the plot.
    QCPFinancial* candles;
    QCPGraph* upper;
    QCPGraph* middle;
    QCPGraph* lower;

private:
    BollIndicator indicator;
};
