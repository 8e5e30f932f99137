#include "core/providers/stockdoctor.h"

#include "core/providers/markersearch.h"
#include "core/providers/providerinterfaces.h"
#include "core/providers/servicehosts.h"

namespace {

// The text without its last n characters ("" when it is shorter).
QString chopped(const QString& text, int n) {
    return text.left(qMax(0, text.size() - n));
}

// The first "<name" at or after from that is a whole tag name (followed by
// a blank, ">" or "/"), or -1.
int indexOfOpenTag(const QString& page, const QString& open, int from) {
    for (int at = page.indexOf(open, from, Qt::CaseInsensitive); at >= 0;
         at = page.indexOf(open, at + 1, Qt::CaseInsensitive)) {
        const int after = at + open.size();
        if (after >= page.size())
            return -1;
        const QChar c = page.at(after);
        if (c.isSpace() || c == QLatin1Char('>') || c == QLatin1Char('/'))
            return at;
    }
    return -1;
}

// The element that starts at start with the tag "<name", up to its own
// closing tag: nested elements of the same name are counted, so an inner
// "</name>" does not end it. Empty when the page ends before it closes.
// Each tag is looked at once.
QString wholeElement(const QString& page, int start, const QString& name) {
    const QString open = QLatin1Char('<') + name;
    const QString close = QStringLiteral("</") + name + QLatin1Char('>');
    int nextOpen = indexOfOpenTag(page, open, start);
    int nextClose = page.indexOf(close, start, Qt::CaseInsensitive);
    int depth = 0;
    while (nextClose >= 0) {
        if (nextOpen >= 0 && nextOpen < nextClose) {
            ++depth;
            nextOpen = indexOfOpenTag(page, open, nextOpen + open.size());
            continue;
        }
        const int end = nextClose + close.size();
        if (--depth <= 0)
            return page.mid(start, end - start);
        nextClose = page.indexOf(close, end, Qt::CaseInsensitive);
    }
    return QString();
}

// The section that the pattern's first match begins: when the match is an
// element ("<div ...>...</div>"), the whole element with what its nested
// elements hold; otherwise the match as it stands.
QString sectionText(const QString& page, const QString& pattern) {
    const QString match = captureMatches(page, pattern, 1).value(0);
    if (!match.startsWith(QLatin1Char('<')))
        return match;
    int nameEnd = 1;
    while (nameEnd < match.size() && match.at(nameEnd).isLetterOrNumber())
        ++nameEnd;
    const QString name = match.mid(1, nameEnd - 1);
    const QString close = QStringLiteral("</") + name + QLatin1Char('>');
    if (name.isEmpty() || !match.endsWith(close, Qt::CaseInsensitive))
        return match;
    // The first match starts where its beginning first stands on the page.
    const int start = page.indexOf(match.left(64));
    const QString element = start < 0 ? QString() : wholeElement(page, start, name);
    return element.isEmpty() ? match : element;
}

} // namespace

QStringList doctorUrls(const QStringList& codes) {
    QStringList urls;
    for (const QString& code : codes)
        urls.append(QStringLiteral("http://%1/doctor/%2.html")
                        .arg(QLatin1String(kQQDoctorHost), withMarketPrefix(code)));
    return urls;
}

QStringList parseDoctorPage(const QString& page, const QString& sectionPattern, QString& span) {
    QStringList items;
    QString section = page;
    if (!sectionPattern.isEmpty()) {
        section = sectionText(page, sectionPattern);
        if (section.isEmpty())
            return items;
    }

    const QLatin1String titleOpen("<li title=\"");
    const QStringList titles = captureBetween(section, titleOpen, QLatin1String("\""));
    for (const QString& match : titles)
        items.append(match.mid(titleOpen.size(), match.size() - titleOpen.size() - 1));

    const QLatin1String spanOpen("<span>");
    const QLatin1String spanClose("</span>");
    const QStringList spans = captureBetween(section, spanOpen, spanClose, 1);
    if (!spans.isEmpty()) {
        const QString& match = spans.first();
        span =
            match.mid(spanOpen.size(), match.size() - spanOpen.size() - spanClose.size()).trimmed();
    }
    return items;
}

QVector<QStringList> parseDoctorSummary(const QString& page) {
    const QString ranks =
        captureBetween(page, QLatin1String("<div class=\"ranks"), QLatin1String("\">"), 1).value(0);
    if (ranks.isEmpty())
        return {};
    // <div class="ranks_72">: the two characters after "ranks" and one more.
    const QString rank = ranks.mid(ranks.indexOf(QLatin1Char('"')) + 7, 2);

    const QLatin1String headOpen("<div class=\"text-head\">");
    const QString head = captureBetween(page, headOpen, QLatin1String("</div>"), 1).value(0);
    if (head.isEmpty())
        return {};
    const QString headline = chopped(head.mid(headOpen.size()).trimmed(), 6).trimmed();

    const QString content = captureBetween(page, QLatin1String("<div class=\"text-content\""),
                                           QLatin1String("</div>"), 1)
                                .value(0);
    if (content.isEmpty())
        return {};
    QString commentary = chopped(content, 6);
    commentary = commentary.mid(commentary.indexOf(QLatin1Char('>')) + 1).trimmed();

    QString span1;
    QString span2;
    const QStringList items1 =
        parseDoctorPage(page, QStringLiteral("<div class=\"icon01\">(.*)</div>"), span1);
    const QStringList items2 =
        parseDoctorPage(page, QStringLiteral("<div class=\"icon02\">(.*)</div>"), span2);
    const QStringList dqzs =
        captureBetween(page, QLatin1String("<span class=\"dqzs\">"), QLatin1String("</span>"));

    QStringList row{
        rank,  headline, commentary, items1.join(QLatin1Char('\n')), items2.join(QLatin1Char('\n')),
        span1, span2};
    row += dqzs;
    return {row};
}
