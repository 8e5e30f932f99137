#include "chart/volumeholder.h"

#include "analysis/indicators/volmanindicator.h"
#include "chart/chartstyle.h"
#include "chart/plotadditions.h"

#include <qcustomplot.h>

VolumeHolder::VolumeHolder(QCPAxisRect* pane, int count)
    : IndexHolder(pane, count)
    , upBars(addBars(pane, ChartStyle::risingColor()))
    , downBars(addBars(pane, ChartStyle::fallingColor()))
    , vol5(addLine(pane, QStringLiteral("vol.vol5"), Qt::red))
    , vol10(addLine(pane, QStringLiteral("vol.vol10"), Qt::green))
    , vol5Indicator(new VolMaNIndicator(5))
    , vol10Indicator(new VolMaNIndicator(10))
{
    setObjectName(QStringLiteral("成交量"));
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

    const QVector<IndicatorValue> values5 = valuesOf(*vol5Indicator, bars);
    const QVector<IndicatorValue> values10 = valuesOf(*vol10Indicator, bars);

    QVector<double> upKeys, upValues, downKeys, downValues, keys, avg5, avg10;
    forEachShownBar(bars.size(), [&](int i, double key) {
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
    });
    upBars->setData(upKeys, upValues, true);
    downBars->setData(downKeys, downValues, true);
    vol5->setData(keys, avg5, true);
    vol10->setData(keys, avg10, true);
}
