#include "app/views/servicetext.h"

#include "core/utils.h"

#include <QTextDocument>

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
    return asPlainText(shownLine(text));
}
