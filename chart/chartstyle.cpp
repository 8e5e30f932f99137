#include "chart/chartstyle.h"

#include <qcustomplot.h>

#include <QFontMetrics>

void ChartStyle::colourPriceBars(QCPFinancial* financial)
{
    financial->setWidth(barWidth);
    financial->setTwoColored(true);
    financial->setBrushPositive(QBrush(risingColor(), Qt::SolidPattern));
    financial->setPenPositive(QPen(risingColor()));
    financial->setBrushNegative(QBrush(fallingColor(), Qt::SolidPattern));
    financial->setPenNegative(QPen(fallingColor()));
}

void ChartStyle::colourAxis(QCPAxis* axis)
{
    const QPen line(axisColor(), 0);
    axis->setBasePen(line);
    axis->setTickPen(line);
    axis->setSubTickPen(line);
    axis->setTickLabelColor(axisColor());
    axis->setLabelColor(axisColor());
    axis->grid()->setPen(QPen(gridColor(), 0, Qt::DotLine));
    // The library's light zero line would outshine the dimmed grid.
    axis->grid()->setZeroLinePen(Qt::NoPen);
}

bool ChartStyle::spaceTicks(QCPAxis* axis)
{
    // About one label per 28 pixels, at most the library's default of five:
    // the library rounds to readable steps and may show one fewer, and a
    // price axis of only two labels tells little.
    const int wanted = qBound(2, axis->axisRect()->height() / 28, 5);
    if (axis->ticker()->tickCount() == wanted)
        return false;
    axis->ticker()->setTickCount(wanted);
    return true;
}

int ChartStyle::dateLabelWidth(const QCPAxis* axis)
{
    // Measured as the library measures its labels when it lays out the axis.
    return QFontMetrics(axis->tickLabelFont()).horizontalAdvance(QStringLiteral("0000-00-00"));
}

bool ChartStyle::spaceDateTicks(QCPAxis* axis)
{
    const int spacing = qMax(1, dateLabelWidth(axis) * 3 / 2);
    const int wanted = qMax(2, axis->axisRect()->width() / spacing);
    if (axis->ticker()->tickCount() == wanted)
        return false;
    axis->ticker()->setTickCount(wanted);
    return true;
}
