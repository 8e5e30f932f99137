#pragma once

#include "chart/indexholder.h"

class QCPAxisRect;
class QCPBars;
class QCPGraph;
class VolMaNIndicator;

// Volume bars (in units of 10000) with their 5- and 10-bar averages.
class VolumeHolder final : public IndexHolder
{
    Q_OBJECT
    Q_DISABLE_COPY(VolumeHolder)

public:
    VolumeHolder(QCPAxisRect* pane, int count);
    ~VolumeHolder() override;

    void setData(const QVector<Stock>& bars) override;

    // The plottables belong to the plot.
    QCPBars* upBars;
    QCPBars* downBars;
    QCPGraph* vol5;
    QCPGraph* vol10;

private:
    VolMaNIndicator* vol5Indicator;
    VolMaNIndicator* vol10Indicator;
};
