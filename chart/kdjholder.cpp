#include "chart/kdjholder.h"

#include "chart/chartstyle.h"
#include "chart/plotadditions.h"

#include <qcustomplot.h>

KDJHolder::KDJHolder(QCPAxisRect* pane, int count)
    : IndexHolder(pane, count)
    , k(addLine(pane, QStringLiteral("kdj.k"), Qt::red))
    , d(addLine(pane, QStringLiteral("kdj.d"), Qt::green))
    , j(addLine(pane, QStringLiteral("kdj.j"), Qt::blue))
{
    setObjectName(QStringLiteral("KDJ"));
}

KDJHolder::~KDJHolder() = default;

void KDJHolder::setData(const QVector<Stock>& bars)
{
    clearData(k);
    clearData(d);
    clearData(j);
    indicator.reset();
    if (bars.isEmpty() || !isVisible())
        return;

    const QVector<IndicatorValue> values = valuesOf(indicator, bars);

    QVector<double> keys, ks, ds, js;
    forEachShownBar(bars.size(), [&](int i, double key) {
        const IndicatorValue& v = values.at(i);
        if (!v.valid)
            return;
        keys.append(key);
        ks.append(v.value1);
        ds.append(v.value2);
        js.append(v.value3);
    });
    k->setData(keys, ks, true);
    d->setData(keys, ds, true);
    j->setData(keys, js, true);
}
