#include "core/providers/stockdoctor.h"

#include "core/providers/markersearch.h"
#include "core/providers/providerinterfaces.h"
#include "core/providers/servicehosts.h"

namespace {

// The text without its last n characters ("" when it is shorter).
QString chopped(const QString& text, int n) {
    return text.left(qMax(0, text.size() - n));
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
        section = captureMatches(page, sectionPattern, 1).value(0);
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
