#include "core/providers/markersearch.h"

#include "core/providers/providerinterfaces.h"

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
    QStringList all = regexCaptureAll(text, pattern);
    if (maxCount >= 0 && all.size() > maxCount)
        all.erase(all.begin() + maxCount, all.end());
    return all;
}

QString cutTagText(const QString& match) {
    const QString after = match.mid(match.indexOf(QLatin1Char('>')) + 1);
    const int lt = after.indexOf(QLatin1Char('<'));
    return lt < 0 ? after : after.left(lt);
}

QString cutShareText(const QString& match) {
    const QString after = match.mid(match.indexOf(QLatin1Char('>')) + 1);
    const int percent = after.indexOf(QLatin1Char('%'));
    return percent < 0 ? QString() : after.left(percent + 1);
}
