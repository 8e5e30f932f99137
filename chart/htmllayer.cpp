#include "chart/htmllayer.h"

#include <qwt_painter.h>

HTMLLayer::HTMLLayer(QCustomPlot* plot)
    : QCPLayerable(plot)
{
}

HTMLLayer::~HTMLLayer() = default;

void HTMLLayer::setHtml(const QString& html)
{
    document.setHtml(html);
}

void HTMLLayer::setPen(const QPen& newPen)
{
    pen = newPen;
}

void HTMLLayer::setFont(const QFont& newFont)
{
    font = newFont;
}

QString HTMLLayer::layerName()
{
    return QStringLiteral("HtmlLayer");
}

void HTMLLayer::setLayerVisible(bool visible)
{
    if (!mParentPlot)
        return;
    if (QCPLayer* layer = mParentPlot->layer(layerName()))
        layer->setVisible(visible);
}

void HTMLLayer::applyDefaultAntialiasingHint(QCPPainter*) const {}

void HTMLLayer::draw(QCPPainter* painter)
{
    if (!mParentPlot)
        return;
    painter->save();
    const QRectF rect(mParentPlot->viewport()); // the widget rectangle, or the export size
    painter->setPen(pen); // QCPPainter makes it non-cosmetic where needed
    painter->setFont(font);
    painter->setAntialiasing(true);
    QwtPainter::drawSimpleRichText(painter, rect, Qt::AlignLeft | Qt::AlignTop, document);
    painter->restore();
}
