#include "app/views/servicetext.h"

#include "core/utils.h"

#include <QFontMetricsF>
#include <QTextBoundaryFinder>
#include <QTextDocument>
#include <QToolTip>

namespace {

// A tooltip too wide for the screen is wrapped, but only where a line may
// break: a run without such a place (a name of hundreds of Latin letters)
// would stay one line, wider than the screen. No run is left wider than
// this many average characters, half the width at which Qt wraps a tooltip.
constexpr int kMaxUnbrokenChars = 40;

// Where a line may break, drawn as nothing.
constexpr QChar kZeroWidthSpace(0x200B);

// text with a break opportunity in every run that is wider than the limit
// in font; a text without such a run comes back as it is.
QString breakableText(const QString& text, const QFont& font)
{
    const QFontMetricsF metrics(font);
    const qreal limit = kMaxUnbrokenChars * metrics.averageCharWidth();
    if (metrics.horizontalAdvance(text) <= limit)
        return text;
    QTextBoundaryFinder lines(QTextBoundaryFinder::Line, text);
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    QString result;
    qreal run = 0; // the width since the last place a line may break
    for (int at = 0, next = 0; at < text.size(); at = next) {
        graphemes.setPosition(at);
        next = graphemes.toNextBoundary();
        if (next <= at)
            next = text.size();
        const QString grapheme = text.mid(at, next - at);
        const qreal width = metrics.horizontalAdvance(grapheme);
        lines.setPosition(at);
        if (lines.isAtBoundary()) {
            run = 0;
        } else if (run > 0 && run + width > limit) {
            result += kZeroWidthSpace;
            run = 0;
        }
        result += grapheme;
        run += width;
    }
    return result;
}

} // namespace

QString shownLine(const QString& text)
{
    return oneLineText(text, kMaxShownChars);
}

QString asPlainText(const QString& text)
{
    // A text Qt takes for plain stays so, and looks exactly as it always did.
    if (!Qt::mightBeRichText(text))
        return text;
    // pre-wrap keeps the blanks as they are and still lets a long text wrap.
    return QStringLiteral("<p style=\"white-space:pre-wrap\">") + text.toHtmlEscaped()
        + QStringLiteral("</p>");
}

QString plainToolTip(const QString& text)
{
    return asPlainText(breakableText(shownLine(text), QToolTip::font()));
}
