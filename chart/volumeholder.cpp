#include "chart/volumeholder.h"

#include "analysis/indicators/volmanindicator.h"
#include "chart/chartstyle.h"
#include "chart/plotadditions.h"

#include <qcustomplot.h>

namespace {

QCPBars* makeBars(QCPAxisRect* pane, const QColor& colour)
{
    auto* bars = new QCPBars(pane->axis(QCPAxis::atBottom), pane->axis(QCPAxis::atLeft));
    bars->setWidth(ChartStyle::barWidth);
    bars->setPen(Qt::NoPen);
    bars->setBrush(QBrush(colour, Qt::SolidPattern));
    return bars;
}

} // namespace

VolumeHolder::VolumeHolder(QCPAxisRect* pane, int count)
    : IndexHolder(pane, count)
    , upBars(makeBars(pane, ChartStyle::risingColor()))
    , downBars(makeBars(pane, ChartStyle::fallingColor()))
    , vol5(addGraph(pane->parentPlot(), QStringLiteral("vol.vol5"), pane->axis(QCPAxis::atBottom),
                    pane->axis(QCPAxis::atLeft)))
    , vol10(addGraph(pane->parentPlot(), QStringLiteral("vol.vol10"), pane->axis(QCPAxis::atBottom),
                     pane->axis(QCPAxis::atLeft)))
    , vol5Indicator(new VolMaNIndicator(5))
    , vol10Indicator(new VolMaNIndicator(10))
{
    setObjectName(QStringLiteral("成交量"));
    vol5->setPen(QPen(Qt::red));
    vol10->setPen(QPen(Qt::green));
}

VolumeHolder::~VolumeHolder()
{
    delete vol10Indicator;
    delete vol5Indicator;
}

void VolumeHolder::setData(const QVector<Stock>& bars)
{
    clearData(upBars);
    clearData(downBars);
    clearData(vol5);
    clearData(vol10);
    vol5Indicator->reset();
    vol10Indicator->reset();
    if (bars.isEmpty() || !isVisible())
        return;

    QVector<IndicatorValue> values5, values10;
    values5.reserve(bars.size());
    values10.reserve(bars.size());
    for (const Stock& bar : bars) {
        values5.append(vol5Indicator->push(bar));
        values10.append(vol10Indicator->push(bar));
    }

    QVector<double> upKeys, upValues, downKeys, downValues, keys, avg5, avg10;
    double key = 0.0;
    for (int i = windowStart(bars.size()); i < bars.size(); ++i) {
        key += ChartStyle::keyStep;
        const Stock& bar = bars.at(i);
        // A NaN price compares false, so such a bar counts as rising.
        if (!(bar.close < bar.open)) {
            upKeys.append(key);
            upValues.append(bar.volume / 10000.0);
        } else {
            downKeys.append(key);
            downValues.append(bar.volume / 10000.0);
        }
        keys.append(key);
        avg5.append(values5.at(i).value1 / 10000.0);
        avg10.append(values10.at(i).value1 / 10000.0);
    }
    upBars->setData(upKeys, upValues, true);
    downBars->setData(downKeys, downValues, true);
    vol5->setData(keys, avg5, true);
    vol10->setData(keys, avg10, true);
}
