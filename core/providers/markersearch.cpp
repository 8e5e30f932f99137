#include "core/providers/markersearch.h"

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
