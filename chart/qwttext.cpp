#include "chart/qwttext.h"

#include <qwt_painter.h>
#include <qwt_text_engine.h>

#include <QApplication>
#include <QDesktopWidget>
#include <QMap>

#include <cmath>

namespace vesk {

namespace {

// One dictionary for the process: the engines are shared by every text and
// deleted at exit. Keyed by our own enum so that the map's template code is
// not the same symbol as libqwt's own engine dictionary.
struct EngineDict
{
    QMap<QwtText::TextFormat, QwtTextEngine*> engines;
    // Bumped whenever an engine changes so cached sizes are measured again.
    quint64 generation = 0;

    EngineDict()
    {
        engines.insert(QwtText::PlainText, new QwtPlainTextEngine);
        engines.insert(QwtText::RichText, new QwtRichTextEngine);
    }
    ~EngineDict() { qDeleteAll(engines); }
    Q_DISABLE_COPY(EngineDict)
};

EngineDict& engineDict()
{
    static EngineDict dict;
    return dict;
}

} // namespace

struct QwtText::Attributes
{
    int renderFlags = Qt::AlignCenter;
    QString text;
    QFont font;
    QColor color;
    double borderRadius = 0.0;
    QPen borderPen = Qt::NoPen;
    QBrush backgroundBrush = Qt::NoBrush;
    PaintAttributes paintAttributes;
    LayoutAttributes layoutAttributes;
    TextFormat format = AutoText;
};

struct QwtText::LayoutCache
{
    QFont font;
    QSizeF textSize;
    quint64 generation = 0;

    void invalidate() { textSize = QSizeF(); }
};

QwtText::QwtText(QCustomPlot* plot, const QString& text, TextFormat format)
    : QCPLayerable(plot)
    , d_data(std::make_unique<Attributes>())
    , d_layoutCache(std::make_unique<LayoutCache>())
{
    d_data->text = text;
    d_data->format = format;
}

QwtText::~QwtText() = default;

void QwtText::setText(const QString& text, TextFormat format)
{
    d_data->text = text;
    d_data->format = format;
    d_layoutCache->invalidate();
}

QString QwtText::text() const
{
    return d_data->text;
}

void QwtText::setRenderFlags(int flags)
{
    if (flags != d_data->renderFlags) {
        d_data->renderFlags = flags;
        d_layoutCache->invalidate();
    }
}

int QwtText::renderFlags() const
{
    return d_data->renderFlags;
}

void QwtText::setFont(const QFont& font)
{
    d_data->font = font;
    setPaintAttribute(PaintUsingTextFont);
}

QFont QwtText::font() const
{
    return d_data->font;
}

QFont QwtText::usedFont(const QFont& defaultFont) const
{
    return testPaintAttribute(PaintUsingTextFont) ? d_data->font : defaultFont;
}

void QwtText::setColor(const QColor& color)
{
    d_data->color = color;
    setPaintAttribute(PaintUsingTextColor);
}

QColor QwtText::color() const
{
    return d_data->color;
}

QColor QwtText::usedColor(const QColor& defaultColor) const
{
    return testPaintAttribute(PaintUsingTextColor) ? d_data->color : defaultColor;
}

void QwtText::setBorderRadius(double radius)
{
    // std::max would pass a NaN through.
    d_data->borderRadius = radius > 0.0 ? radius : 0.0;
}

double QwtText::borderRadius() const
{
    return d_data->borderRadius;
}

void QwtText::setBorderPen(const QPen& pen)
{
    d_data->borderPen = pen;
    setPaintAttribute(PaintBackground);
}

QPen QwtText::borderPen() const
{
    return d_data->borderPen;
}

void QwtText::setBackgroundBrush(const QBrush& brush)
{
    d_data->backgroundBrush = brush;
    setPaintAttribute(PaintBackground);
}

QBrush QwtText::backgroundBrush() const
{
    return d_data->backgroundBrush;
}

void QwtText::setPaintAttribute(PaintAttribute attribute, bool on)
{
    d_data->paintAttributes.setFlag(attribute, on);
}

bool QwtText::testPaintAttribute(PaintAttribute attribute) const
{
    return d_data->paintAttributes.testFlag(attribute);
}

void QwtText::setLayoutAttribute(LayoutAttribute attribute, bool on)
{
    d_data->layoutAttributes.setFlag(attribute, on);
}

bool QwtText::testLayoutAttribute(LayoutAttribute attribute) const
{
    return d_data->layoutAttributes.testFlag(attribute);
}

QFont QwtText::screenFont(const QFont& font) const
{
    // Measure in the metrics of the screen, as the plot widget draws there.
    return QFont(font, QApplication::desktop());
}

double QwtText::heightForWidth(double width, const QFont& defaultFont) const
{
    const QFont font = screenFont(usedFont(defaultFont));
    const QwtTextEngine* eng = engine();
    if (testLayoutAttribute(MinimumLayout)) {
        double left = 0, right = 0, top = 0, bottom = 0;
        eng->textMargins(font, d_data->text, left, right, top, bottom);
        return eng->heightForWidth(font, d_data->renderFlags, d_data->text, width + left + right)
            - (top + bottom);
    }
    return eng->heightForWidth(font, d_data->renderFlags, d_data->text, width);
}

QSizeF QwtText::textSize(const QFont& defaultFont) const
{
    const QFont font = screenFont(usedFont(defaultFont));
    const QwtTextEngine* eng = engine();
    const quint64 generation = engineDict().generation;
    if (!d_layoutCache->textSize.isValid() || d_layoutCache->font != font
        || d_layoutCache->generation != generation) {
        d_layoutCache->textSize = eng->textSize(font, d_data->renderFlags, d_data->text);
        d_layoutCache->font = font;
        d_layoutCache->generation = generation;
    }
    QSizeF size = d_layoutCache->textSize;
    if (testLayoutAttribute(MinimumLayout)) {
        double left = 0, right = 0, top = 0, bottom = 0;
        eng->textMargins(font, d_data->text, left, right, top, bottom);
        size -= QSizeF(left + right, top + bottom);
    }
    return size;
}

const QwtTextEngine* QwtText::textEngine(const QString& text, TextFormat format)
{
    const EngineDict& dict = engineDict();
    if (format == AutoText) {
        for (auto it = dict.engines.cbegin(); it != dict.engines.cend(); ++it) {
            if (it.key() != PlainText && it.value()->mightRender(text))
                return it.value();
        }
    }
    if (const QwtTextEngine* e = dict.engines.value(format, nullptr))
        return e;
    return dict.engines.value(PlainText);
}

const QwtTextEngine* QwtText::textEngine(TextFormat format)
{
    return engineDict().engines.value(format, nullptr);
}

void QwtText::setTextEngine(TextFormat format, QwtTextEngine* engine)
{
    if (format == AutoText)
        return;
    if (format == PlainText && !engine)
        return;
    EngineDict& dict = engineDict();
    QwtTextEngine* old = dict.engines.value(format, nullptr);
    if (old == engine)
        return; // re-registering the same engine must not delete it
    dict.engines.remove(format);
    delete old;
    if (engine)
        dict.engines.insert(format, engine);
    ++dict.generation;
}

const QwtTextEngine* QwtText::engine() const
{
    return textEngine(d_data->text, d_data->format);
}

void QwtText::applyDefaultAntialiasingHint(QCPPainter*) const {}

void QwtText::draw(QCPPainter* painter)
{
    if (!mParentPlot)
        return;

    // The viewport is the widget rectangle on screen and the target size in an
    // export (toPixmap, savePng), where the widget rectangle would be wrong.
    QRectF rect = QRectF(mParentPlot->viewport());

    if (testPaintAttribute(PaintBackground)
        && (d_data->borderPen.style() != Qt::NoPen || d_data->backgroundBrush.style() != Qt::NoBrush)) {
        painter->save();
        painter->setPen(d_data->borderPen);
        painter->setBrush(d_data->backgroundBrush);
        if (d_data->borderRadius == 0.0) {
            QwtPainter::drawRect(painter, rect);
        } else {
            painter->setRenderHint(QPainter::Antialiasing, true);
            painter->drawRoundedRect(rect, d_data->borderRadius, d_data->borderRadius);
        }
        painter->restore();
    }

    // The frame and background are drawn even for an empty text; the text
    // itself has nothing to draw.
    if (d_data->text.isEmpty())
        return;

    painter->save();
    if (testPaintAttribute(PaintUsingTextFont))
        painter->setFont(d_data->font);
    if (testPaintAttribute(PaintUsingTextColor) && d_data->color.isValid())
        painter->setPen(d_data->color);

    const QwtTextEngine* eng = engine();
    if (testLayoutAttribute(MinimumLayout)) {
        double left = 0, right = 0, top = 0, bottom = 0;
        eng->textMargins(screenFont(painter->font()), d_data->text, left, right, top, bottom);
        rect.setTop(rect.top() - top);
        rect.setBottom(rect.bottom() + bottom);
        rect.setLeft(rect.left() - left);
        rect.setRight(rect.right() + right);
    }
    eng->draw(painter, rect, d_data->renderFlags, d_data->text);
    painter->restore();
}

} // namespace vesk
