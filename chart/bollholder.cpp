#include "chart/bollholder.h"

#include "chart/chartstyle.h"
#include "chart/plotadditions.h"

#include <qcustomplot.h>

namespace {

QCPFinancial* makeOhlc(QCPAxisRect* pane)
{
    auto* f = new QCPFinancial(pane->axis(QCPAxis::atBottom), pane->axis(QCPAxis::atLeft));
    f->setChartStyle(QCPFinancial::csOhlc);
    ChartStyle::colourPriceBars(f);
    return f;
}

} // namespace

BollHolder::BollHolder(QCPAxisRect* pane, int count)
    : IndexHolder(pane, count)
    , candles(makeOhlc(pane))
    , upper(addLine(pane, QStringLiteral("boll.upper"), Qt::red))
    , middle(addLine(pane, QStringLiteral("boll.middle"), Qt::green))
    , lower(addLine(pane, QStringLiteral("boll.lower"), Qt::magenta))
{
    setObjectName(QStringLiteral("Boll"));
}

BollHolder::~BollHolder() = default;

void BollHolder::setData(const QVector<Stock>& bars)
{
    clearData(candles);
    clearData(upper);
    clearData(middle);
    clearData(lower);
    indicator.reset();
    if (bars.isEmpty() || !isVisible())
        return;

    const QVector<IndicatorValue> values = valuesOf(indicator, bars);

    QVector<double> keys, ups, mids, lows, opens, highs, lowPrices, closes;
    forEachShownBar(bars.size(), [&](int i, double key) {
        const IndicatorValue& v = values.at(i);
        if (!v.valid)
            return;
        // value2 is +sd and value3 is -sd, so this is middle +/- 2 sd.
        const Stock& bar = bars.at(i);
        keys.append(key);
        ups.append(v.value1 + v.value2 - v.value3);
        mids.append(v.value1);
        lows.append(v.value1 - v.value2 + v.value3);
        opens.append(bar.open);
        highs.append(bar.high);
        lowPrices.append(bar.low);
        closes.append(bar.close);
    });
    upper->setData(keys, ups, true);
    middle->setData(keys, mids, true);
    lower->setData(keys, lows, true);
    candles->setData(keys, opens, highs, lowPrices, closes, false);
}
