#include "chart/indexviewproxy.h"

#include "chart/bollholder.h"
#include "chart/chartstyle.h"
#include "chart/indexholder.h"
#include "chart/kdjholder.h"
#include "chart/macdholder.h"
#include "chart/plainnumberticker.h"
#include "chart/volumeholder.h"

IndexViewProxy::IndexViewProxy(QCustomPlot* plot, int row, int column)
    : QCPAxisRect(plot, true)
{
    plot->plotLayout()->addElement(row, column, this);
    setMaximumSize(QWIDGETSIZE_MAX, 100);

    QCPAxis* bottom = axis(QCPAxis::atBottom);
    QCPAxis* left = axis(QCPAxis::atLeft);
    bottom->setLayer(QStringLiteral("axes"));
    bottom->grid()->setLayer(QStringLiteral("grid"));
    bottom->setVisible(false);
    // The value axis stays, so the indicator can be read off it.
    ChartStyle::colourAxis(left);
    left->setTicker(QSharedPointer<PlainNumberTicker>::create());

    setAutoMargins(QCP::msLeft | QCP::msRight | QCP::msBottom);
    setMargins(QMargins(0, 0, 0, 0));
    plot->plotLayout()->setRowSpacing(0);

    // Share the left and right edges with the candles above.
    auto* group = new QCPMarginGroup(plot);
    plot->axisRect()->setMarginGroup(QCP::msLeft | QCP::msRight, group);
    setMarginGroup(QCP::msLeft | QCP::msRight, group);

    // Dragging or setting either x range moves the other; setRange ignores an
    // unchanged range, so the pair does not loop.
    const auto rangeChanged = qOverload<const QCPRange&>(&QCPAxis::rangeChanged);
    const auto setRange = qOverload<const QCPRange&>(&QCPAxis::setRange);
    connect(plot->xAxis, rangeChanged, bottom, setRange);
    connect(bottom, rangeChanged, plot->xAxis, setRange);
}

IndexViewProxy::~IndexViewProxy()
{
    // The holders are our Qt children and go with us.
    holders.clear();
}

void IndexViewProxy::initHolders(int count)
{
    if (holders.isEmpty()) {
        holders.append(new VolumeHolder(this, count));
        holders.append(new MacdHolder(this, count));
        holders.append(new KDJHolder(this, count));
        holders.append(new BollHolder(this, count));
        current = holders.first();
    }
    // Keep the pane's window equal to the candles' so each indicator value
    // stands under its own bar.
    for (IndexHolder* h : qAsConst(holders))
        h->setCount(count);
}

QStringList IndexViewProxy::indexNames() const
{
    QStringList names;
    for (const IndexHolder* h : holders)
        names.append(h->objectName());
    return names;
}

void IndexViewProxy::showIndex(const QString& name)
{
    if (current && current->objectName() == name)
        return;
    for (IndexHolder* h : qAsConst(holders)) {
        if (h->objectName() == name) {
            current = h;
            h->setVisible(true);
            h->setData(QVector<Stock>());
        } else {
            h->setVisible(false);
        }
    }
}

void IndexViewProxy::setData(const QVector<Stock>& bars)
{
    if (holders.isEmpty())
        return;
    current->setVisible(true);
    for (IndexHolder* h : qAsConst(holders))
        h->setData(bars);
    fitValueAxis();
}

void IndexViewProxy::fitValueAxis()
{
    // Only series with data count: an emptied bar series still reports its
    // base line 0, which would squeeze the BOLL bands into the top of the
    // pane.
    QCPRange range;
    bool found = false;
    for (QCPAbstractPlottable* p : plottables()) {
        if (!p->interface1D() || p->interface1D()->dataCount() == 0)
            continue;
        bool ok = false;
        const QCPRange r = p->getValueRange(ok);
        if (!ok)
            continue;
        if (found)
            range.expand(r);
        else
            range = r;
        found = true;
    }
    if (!found)
        return;
    // A small margin keeps the extreme lines and bars off the pane's edges.
    double margin = range.size() * 0.05;
    if (margin <= 0.0)
        margin = qMax(qAbs(range.center()) * 0.05, 1.0);
    axis(QCPAxis::atLeft)->setRange(range.lower - margin, range.upper + margin);
}
