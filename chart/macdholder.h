#pragma once

#include "analysis/indicators/macdindicator.h"
#include "chart/indexholder.h"

class QCPAxisRect;
class QCPBars;
class QCPGraph;

// MACD bars (red at or above 0, green below) with the DIF and DEA lines.
class MacdHolder final : public IndexHolder
{
    Q_OBJECT
    Q_DISABLE_COPY(MacdHolder)

public:
    MacdHolder(QCPAxisRect* pane, int count);
    ~MacdHolder() override;

    void setData(const QVector<Stock>& bars) override;

    // The plottables belong to the plot.
    QCPBars* upBars;
    QCPBars* downBars;
    QCPGraph* diff;
    QCPGraph* dea;

private:
    MacdIndicator indicator;
};
