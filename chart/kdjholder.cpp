#include "chart/kdjholder.h"

#include "chart/chartstyle.h"
#include "chart/plotadditions.h"

#include <qcustomplot.h>

namespace {

QCPGraph* makeGraph(QCPAxisRect* pane, const QString& name, Qt::GlobalColor colour)
{
    QCPGraph* g = addGraph(pane->parentPlot(), name, pane->axis(QCPAxis::atBottom),
                           pane->axis(QCPAxis::atLeft));
    g->setPen(QPen(colour));
    return g;
}

} // namespace

KDJHolder::KDJHolder(QCPAxisRect* pane, int count)
    : IndexHolder(pane, count)
    , k(makeGraph(pane, QStringLiteral("kdj.k"), Qt::red))
    , d(makeGraph(pane, QStringLiteral("kdj.d"), Qt::green))
    , j(makeGraph(pane, QStringLiteral("kdj.j"), Qt::blue))
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

    QVector<IndicatorValue> values;
    values.reserve(bars.size());
    for (const Stock& bar : bars)
        values.append(indicator.push(bar));

    QVector<double> keys, ks, ds, js;
    double key = 0.0;
    for (int i = windowStart(bars.size()); i < bars.size(); ++i) {
        key += ChartStyle::keyStep;
        const IndicatorValue& v = values.at(i);
        if (!v.valid)
            continue;
        keys.append(key);
        ks.append(v.value1);
        ds.append(v.value2);
        js.append(v.value3);
    }
    k->setData(keys, ks, true);
    d->setData(keys, ds, true);
    j->setData(keys, js, true);
}
