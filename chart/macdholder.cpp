#include "chart/macdholder.h"

#include "chart/chartstyle.h"
#include "chart/plotadditions.h"

#include <qcustomplot.h>

MacdHolder::MacdHolder(QCPAxisRect* pane, int count)
    : IndexHolder(pane, count)
    , upBars(addBars(pane, ChartStyle::risingColor()))
    , downBars(addBars(pane, ChartStyle::fallingColor()))
    , diff(addLine(pane, QStringLiteral("macd.diff"), Qt::yellow))
    , dea(addLine(pane, QStringLiteral("macd.dea"), Qt::white))
{
    setObjectName(QStringLiteral("MACD"));
}

MacdHolder::~MacdHolder() = default;

void MacdHolder::setData(const QVector<Stock>& bars)
{
    clearData(upBars);
    clearData(downBars);
    clearData(diff);
    clearData(dea);
    indicator.reset();
    if (bars.isEmpty() || !isVisible())
        return;

    const QVector<IndicatorValue> values = valuesOf(indicator, bars);

    QVector<double> upKeys, upValues, downKeys, downValues, keys, difs, deas;
    forEachShownBar(bars.size(), [&](int i, double key) {
        const IndicatorValue& v = values.at(i);
        if (!v.valid)
            return;
        // A NaN bar compares false and goes to the falling side.
        if (v.value1 >= 0.0f) {
            upKeys.append(key);
            upValues.append(v.value1);
        } else {
            downKeys.append(key);
            downValues.append(v.value1);
        }
        keys.append(key);
        difs.append(v.value2);
        deas.append(v.value3);
    });
    upBars->setData(upKeys, upValues, true);
    downBars->setData(downKeys, downValues, true);
    diff->setData(keys, difs, true);
    dea->setData(keys, deas, true);
}
