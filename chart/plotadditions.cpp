#include "chart/plotadditions.h"

#include <QDebug>

QCPGraph* addGraph(QCustomPlot* plot, const QString& name, QCPAxis* keyAxis, QCPAxis* valueAxis)
{
    if (!plot)
        return nullptr;
    if (!keyAxis)
        keyAxis = plot->xAxis;
    if (!valueAxis)
        valueAxis = plot->yAxis;
    if (!keyAxis || !valueAxis) {
        qDebug() << Q_FUNC_INFO
                 << "can't use default QCustomPlot xAxis or yAxis, because at least one is invalid (has been deleted)";
        return nullptr;
    }
    if (keyAxis->parentPlot() != plot || valueAxis->parentPlot() != plot) {
        qDebug() << Q_FUNC_INFO << "passed keyAxis or valueAxis doesn't have this QCustomPlot as parent";
        return nullptr;
    }
    // The graph registers itself with the plot, which then owns it.
    auto* newGraph = new QCPGraph(keyAxis, valueAxis);
    newGraph->setName(name);
    return newGraph;
}

QCPGraph* graph(const QCustomPlot* plot, const QString& name)
{
    if (!plot)
        return nullptr;
    for (int i = 0; i < plot->graphCount(); ++i) {
        QCPGraph* g = plot->graph(i);
        if (g && g->name() == name)
            return g;
    }
    return nullptr;
}

void clearData(QCPGraph* graph)
{
    if (graph)
        graph->data()->clear();
}

void clearData(QCPBars* bars)
{
    if (bars)
        bars->data()->clear();
}

void clearData(QCPFinancial* financial)
{
    if (financial)
        financial->data()->clear();
}
