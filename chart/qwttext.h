#pragma once

#include <qcustomplot.h>

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPen>
#include <QSizeF>
#include <QString>

#include <memory>

class QwtTextEngine;

// Kept in our own namespace: libqwt has a text class of the same name, and a
// symbol of ours with its mangled name would interpose Qwt's class inside the
// shared library.
namespace vesk {

// A layerable that draws a text over the whole plot through one of Qwt's text
// engines (plain or rich text), optionally with a frame and a background.
class QwtText final : public QCPLayerable
{
public:
    enum TextFormat { AutoText = 0, PlainText = 1, RichText = 2 };

    enum PaintAttribute {
        PaintUsingTextFont = 0x01,
        PaintUsingTextColor = 0x02,
        PaintBackground = 0x04,
    };
    Q_DECLARE_FLAGS(PaintAttributes, PaintAttribute)

    enum LayoutAttribute { MinimumLayout = 0x01 };
    Q_DECLARE_FLAGS(LayoutAttributes, LayoutAttribute)

    QwtText(QCustomPlot* plot, const QString& text = QString(), TextFormat format = AutoText);
    ~QwtText() override;

    void setText(const QString& text, TextFormat format = AutoText);
    QString text() const;

    void setRenderFlags(int flags);
    int renderFlags() const;

    void setFont(const QFont& font);
    QFont font() const;
    QFont usedFont(const QFont& defaultFont) const;

    void setColor(const QColor& color);
    QColor color() const;
    QColor usedColor(const QColor& defaultColor) const;

    void setBorderRadius(double radius);
    double borderRadius() const;

    void setBorderPen(const QPen& pen);
    QPen borderPen() const;

    void setBackgroundBrush(const QBrush& brush);
    QBrush backgroundBrush() const;

    void setPaintAttribute(PaintAttribute attribute, bool on = true);
    bool testPaintAttribute(PaintAttribute attribute) const;

    void setLayoutAttribute(LayoutAttribute attribute, bool on = true);
    bool testLayoutAttribute(LayoutAttribute attribute) const;

    double heightForWidth(double width, const QFont& defaultFont = QFont()) const;
    QSizeF textSize(const QFont& defaultFont = QFont()) const;

    // The engine that renders text in the given format: for AutoText the
    // first non-plain engine that claims the text, else the engine of the
    // format, else the plain-text engine.
    static const QwtTextEngine* textEngine(const QString& text, TextFormat format = AutoText);
    // The engine registered for format, or null.
    static const QwtTextEngine* textEngine(TextFormat format);
    // Registers engine (taking ownership) for format, deleting the previous
    // one. AutoText is ignored, and the plain-text engine cannot be removed.
    static void setTextEngine(TextFormat format, QwtTextEngine* engine);

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
    void draw(QCPPainter* painter) override;

private:
    struct Attributes;
    struct LayoutCache;

    // Looked up at use rather than stored, so that replacing an engine with
    // setTextEngine never leaves a text holding a deleted one.
    const QwtTextEngine* engine() const;
    QFont screenFont(const QFont& font) const;

    std::unique_ptr<Attributes> d_data;
    std::unique_ptr<LayoutCache> d_layoutCache;
};

} // namespace vesk

Q_DECLARE_OPERATORS_FOR_FLAGS(vesk::QwtText::PaintAttributes)
Q_DECLARE_OPERATORS_FOR_FLAGS(vesk::QwtText::LayoutAttributes)
