#include "chart/chartstyle.h"

#include <qcustomplot.h>

void ChartStyle::colourPriceBars(QCPFinancial* financial)
{
    financial->setWidth(barWidth);
    financial->setTwoColored(true);
    financial->setBrushPositive(QBrush(risingColor(), Qt::SolidPattern));
    financial->setPenPositive(QPen(risingColor()));
    financial->setBrushNegative(QBrush(fallingColor(), Qt::SolidPattern));
    financial->setPenNegative(QPen(fallingColor()));
}
