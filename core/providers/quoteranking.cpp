#include "core/providers/quoteranking.h"

#include "core/providers/providerinterfaces.h"
#include "core/providers/servicehosts.h"
#include "core/utils.h"

namespace {

// The service's own request, escapes and bracketed tail included, with the
// page at @1 and a random fraction at @2.
constexpr char kRankingRequest[] =
    "/EM_Finance2014NumericApplication/JS.aspx?type=CT&cmd=C._AHH&sty=FCABHL&sortType=C"
    "&sortRule=-1&page=@1&pageSize=20&js=var%20quote_123%3d{rank:[(x)],pages:(pc)}"
    "&token=7d3f0a9c2e5b8146f0c3a7e9d2b5c8f1&jsName=quote_123&_g=@2%20[HTTP/1.1%20200%20OK%2068ms]";

constexpr int kRankingPages = 5;

} // namespace

QStringList rankingUrls(const QString&) {
    QStringList urls;
    for (int page = 1; page <= kRankingPages; ++page) {
        QString url = QStringLiteral("http://") + QLatin1String(kEastmoneyRankingHost) +
                      QLatin1String(kRankingRequest);
        url.replace(QLatin1String("@1"), QString::number(page));
        url.replace(QLatin1String("@2"),
                    QString::number(static_cast<double>(randomFraction()), 'g', 6));
        urls.append(url);
    }
    return urls;
}

QVector<QStringList> parseRanking(const QString& text) {
    QVector<QStringList> rows;
    QString body = text.mid(text.indexOf(QLatin1Char('"')) + 1);
    const int last = body.lastIndexOf(QLatin1Char('"'));
    if (last >= 0)
        body = body.left(last);
    const QStringList parts = body.split(QStringLiteral("\",\""));
    for (const QString& part : parts) {
        const QStringList items = part.split(QLatin1Char(','));
        if (items.size() != 17)
            continue;
        QStringList row{QString(),   items.at(1).trimmed(), items.at(3).trimmed(),
                        items.at(4), items.at(5),           items.at(8),
                        items.at(9), items.at(13),          items.at(15)};
        for (QString& item : row)
            item = decodeStringEscapes(item);
        rows.append(row);
    }
    return rows;
}
