#pragma once

#include "analysis/indicators/kdjindicator.h"
#include "chart/indexholder.h"

class QCPAxisRect;
class QCPGraph;

// The K, D and J lines.
class KDJHolder final : public IndexHolder
{
    Q_OBJECT
    Q_DISABLE_COPY(KDJHolder)

public:
    KDJHolder(QCPAxisRect* pane, int count);
    ~KDJHolder() override;

    void setData(const QVector<Stock>& bars) override;

    // The plottables belong to the plot.
    QCPGraph* k;
    QCPGraph* d;
    QCPGraph* j;

private:
    KDJIndicator indicator;
};
