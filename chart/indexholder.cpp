#include "chart/indexholder.h"

#include "chart/chartstyle.h"
#include "chart/plotadditions.h"

#include <qcustomplot.h>

#include <QtGlobal>

IndexHolder::IndexHolder(QObject* parent, int count)
    : QObject(parent)
    , count(qMax(0, count))
{
}

IndexHolder::~IndexHolder() = default;

void IndexHolder::setVisible(bool on)
{
    visible = on;
}

void IndexHolder::setData(const QVector<Stock>&) {}

bool IndexHolder::isVisible() const
{
    return visible;
}

void IndexHolder::setCount(int newCount)
{
    count = qMax(0, newCount);
}

int IndexHolder::windowStart(int size) const
{
    return qMax(size - count, 0);
}

QCPGraph* IndexHolder::addLine(QCPAxisRect* pane, const QString& name, const QColor& colour)
{
    QCPGraph* line = addGraph(pane->parentPlot(), name, pane->axis(QCPAxis::atBottom),
                              pane->axis(QCPAxis::atLeft));
    line->setPen(QPen(colour));
    return line;
}

QCPBars* IndexHolder::addBars(QCPAxisRect* pane, const QColor& colour)
{
    auto* bars = new QCPBars(pane->axis(QCPAxis::atBottom), pane->axis(QCPAxis::atLeft));
    bars->setWidth(ChartStyle::barWidth);
    bars->setPen(Qt::NoPen);
    bars->setBrush(QBrush(colour, Qt::SolidPattern));
    return bars;
}

QVector<IndicatorValue> IndexHolder::valuesOf(StockIndicator& indicator, const QVector<Stock>& bars)
{
    QVector<IndicatorValue> values;
    values.reserve(bars.size());
    for (const Stock& bar : bars)
        values.append(indicator.push(bar));
    return values;
}
