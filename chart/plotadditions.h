#pragma once

#include <qcustomplot.h>

#include <QString>

// Plot operations the chart needs beyond QCustomPlot's own interface. They
// work on the library's public types only, so any QCustomPlot can use them.

// Adds a graph called name on the given axes (null means the plot's xAxis or
// yAxis). Returns null, adding nothing, when an axis is missing or belongs to
// another plot. The plot owns the graph.
QCPGraph* addGraph(QCustomPlot* plot, const QString& name, QCPAxis* keyAxis = nullptr,
                   QCPAxis* valueAxis = nullptr);

// The first graph, in the order the graphs were added, whose name equals name
// exactly; null when there is none.
QCPGraph* graph(const QCustomPlot* plot, const QString& name);

// Empty the data of a plottable; its axes, name, pens and brushes stay.
// Nothing is redrawn until the next replot. A null plottable is ignored.
void clearData(QCPGraph* graph);
void clearData(QCPBars* bars);
void clearData(QCPFinancial* financial);
