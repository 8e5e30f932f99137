#include "chart/macdholder.h"

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

MacdHolder::MacdHolder(QCPAxisRect* pane, int count)
    : IndexHolder(pane, count)
    , upBars(makeBars(pane, ChartStyle::risingColor()))
    , downBars(makeBars(pane, ChartStyle::fallingColor()))
    , diff(addGraph(pane->parentPlot(), QStringLiteral("macd.diff"), pane->axis(QCPAxis::atBottom),
                    pane->axis(QCPAxis::atLeft)))
    , dea(addGraph(pane->parentPlot(), QStringLiteral("macd.dea"), pane->axis(QCPAxis::atBottom),
                   pane->axis(QCPAxis::atLeft)))
{
    setObjectName(QStringLiteral("MACD"));
    diff->setPen(QPen(Qt::yellow));
    dea->setPen(QPen(Qt::white));
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

    QVector<IndicatorValue> values;
    values.reserve(bars.size());
    for (const Stock& bar : bars)
        values.append(indicator.push(bar));

    QVector<double> upKeys, upValues, downKeys, downValues, keys, difs, deas;
    double key = 0.0;
    for (int i = windowStart(bars.size()); i < bars.size(); ++i) {
        key += ChartStyle::keyStep;
        const IndicatorValue& v = values.at(i);
        if (!v.valid)
            continue;
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
    }
    upBars->setData(upKeys, upValues, true);
    downBars->setData(downKeys, downValues, true);
    diff->setData(keys, difs, true);
    dea->setData(keys, deas, true);
}
