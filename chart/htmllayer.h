#pragma once

#include <qcustomplot.h>

#include <QFont>
#include <QPen>
#include <QString>
#include <QTextDocument>

// A layerable that draws an HTML document into the top left of the plot.
class HTMLLayer final : public QCPLayerable
{
    Q_OBJECT

public:
    explicit HTMLLayer(QCustomPlot* plot);
    ~HTMLLayer() override;

    void setHtml(const QString& html);
    void setPen(const QPen& pen);
    void setFont(const QFont& font);

    static QString layerName();
    // Shows or hides the plot layer named layerName(); does nothing when the
    // plot has no such layer.
    void setLayerVisible(bool visible);

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
    void draw(QCPPainter* painter) override;

private:
    QPen pen;
    QFont font;
    QTextDocument document;
};
