#include "core/providers/markersearch.h"

#include <QPair>
#include <QRegExp>

namespace {

// Splits a pattern of the form open(.*)close, whose two sides are plain text
// (punctuation may be escaped), into its two literal markers.
bool literalMarkers(const QString& pattern, QString* open, QString* close) {
    static const QString kAny = QStringLiteral("(.*)");
    const int any = pattern.indexOf(kAny);
    if (any < 0 || pattern.indexOf(kAny, any + kAny.size()) >= 0)
        return false;
    const auto unescape = [](const QString& side, QString* out) {
        static const QString kSpecial = QStringLiteral(".*+?[](){}^$|");
        out->clear();
        for (int i = 0; i < side.size(); ++i) {
            QChar c = side.at(i);
            if (c == QLatin1Char('\\')) {
                if (++i >= side.size())
                    return false;
                c = side.at(i);
                // \d, \s, \1 and the like are classes or references.
                if (c.isLetterOrNumber())
                    return false;
            } else if (kSpecial.contains(c)) {
                return false;
            }
            if (c.unicode() >= 0x80)
                return false;
            out->append(c);
        }
        return !out->isEmpty();
    };
    return unescape(pattern.left(any), open) && unescape(pattern.mid(any + kAny.size()), close);
}

} // namespace

QStringList captureBetween(const QString& text, QLatin1String open, QLatin1String close,
                           int maxCount) {
    QStringList matches;
    if (open.size() == 0 || close.size() == 0)
        return matches;
    int from = 0;
    while (maxCount < 0 || matches.size() < maxCount) {
        const int start = text.indexOf(open, from, Qt::CaseInsensitive);
        if (start < 0)
            break;
        // The leftmost opening marker decides: when no closing marker follows
        // it, none follows any later opening marker either.
        const int end = text.indexOf(close, start + open.size(), Qt::CaseInsensitive);
        if (end < 0)
            break;
        const int next = end + close.size();
        matches.append(text.mid(start, next - start));
        from = next;
    }
    return matches;
}

QStringList captureMatches(const QString& text, const QString& pattern, int maxCount) {
    // QRegExp's minimal ".*" rescans the rest of the text from every opening
    // marker that has no closing one; the substring search stays linear.
    QString open;
    QString close;
    if (literalMarkers(pattern, &open, &close)) {
        const QByteArray openBytes = open.toLatin1();
        const QByteArray closeBytes = close.toLatin1();
        return captureBetween(text, QLatin1String(openBytes), QLatin1String(closeBytes), maxCount);
    }
    QRegExp rx(pattern, Qt::CaseInsensitive, QRegExp::RegExp);
    rx.setMinimal(true);
    QStringList matches;
    int pos = 0;
    while ((maxCount < 0 || matches.size() < maxCount) && (pos = rx.indexIn(text, pos)) >= 0) {
        matches.append(rx.cap(0));
        // An empty match would never advance; step past it.
        pos += qMax(1, rx.matchedLength());
        if (pos > text.size())
            break;
    }
    return matches;
}

namespace {

// How far a reference's ";" may stand from its "&": room for the longest
// that the reader knows ("&#1114111;", "&#x10FFFF;").
constexpr int kMaxReferenceLength = 10;

// The character of a reference's name or number ("amp", "#20013", "#x4E2D");
// an empty text for one that is unknown or names no character.
QString referencedText(const QString& name) {
    if (name.startsWith(QLatin1Char('#'))) {
        const bool hex =
            name.size() > 1 && (name.at(1) == QLatin1Char('x') || name.at(1) == QLatin1Char('X'));
        bool ok = false;
        const uint code = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
        if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return QString();
        const char32_t c = code;
        return QString::fromUcs4(&c, 1);
    }
    static const QPair<const char*, ushort> kNamed[] = {
        {"amp", '&'},  {"lt", '<'},      {"gt", '>'},       {"quot", '"'},     {"apos", '\''},
        {"nbsp", ' '}, {"middot", 0xB7}, {"ldquo", 0x201C}, {"rdquo", 0x201D},
    };
    for (const auto& named : kNamed) {
        if (name == QLatin1String(named.first))
            return QString(QChar(named.second));
    }
    return QString();
}

} // namespace

QString htmlText(const QString& html) {
    QString text;
    text.reserve(html.size());
    const int n = html.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = html.at(i);
        if (c == QLatin1Char('<')) {
            const int close = html.indexOf(QLatin1Char('>'), i + 1);
            if (close < 0)
                break; // a tag cut off at the end
            i = close;
            continue;
        }
        if (c == QLatin1Char('&')) {
            // A reference is short; an "&" that starts none stays as it is.
            // Only that far is looked at: a search to the end of the text
            // from every "&" of a long run would make it quadratic.
            int semicolon = i + 1;
            const int last = qMin(n - 1, i + kMaxReferenceLength);
            while (semicolon <= last && html.at(semicolon) != QLatin1Char(';'))
                ++semicolon;
            if (semicolon > i + 1 && semicolon <= last) {
                const QString character = referencedText(html.mid(i + 1, semicolon - i - 1));
                if (!character.isEmpty()) {
                    text += character;
                    i = semicolon;
                    continue;
                }
            }
        }
        text += c;
    }
    return text.simplified();
}

QString cutTagText(const QString& match) {
    return htmlText(match.mid(match.indexOf(QLatin1Char('>')) + 1));
}

QString cutShareText(const QString& match) {
    const QString text = cutTagText(match);
    const int percent = text.indexOf(QLatin1Char('%'));
    return percent < 0 ? QString() : text.left(percent + 1);
}
