#include "core/providers/noticeclients.h"

#include "core/providers/markersearch.h"
#include "core/providers/servicehosts.h"
#include "core/utils.h"

namespace {

// The first match of key(.*)" in the piece, without its key and quotes: the
// value between the quotes, or "" when the key is missing.
QString quotedValue(const QString& piece, QLatin1String key) {
    const QStringList match = captureBetween(piece, key, QLatin1String("\""), 1);
    if (match.isEmpty())
        return QString();
    const QString& whole = match.first();
    return decodeStringEscapes(whole.mid(key.size(), whole.size() - key.size() - 1));
}

} // namespace

QStringList noticeUrls(const QStringList& codes) {
    QStringList urls;
    for (const QString& code : codes)
        urls.append(QStringLiteral("http://%1/notices/hsa/%2.html")
                        .arg(QLatin1String(kEastmoneyDataHost), code));
    return urls;
}

QString noticeJsonBlock(const QString& page) {
    // Plain substring searches find what defjson:(.*)charset finds, without
    // the regular expression's retries over a long page.
    return captureBetween(page, QLatin1String("defjson:"), QLatin1String("charset"), 1).value(0);
}

QVector<Data> parseNotices(const QString& page) {
    QVector<Data> notices;
    const QString block = noticeJsonBlock(page);
    if (block.isEmpty())
        return notices;
    const QStringList pieces = block.split(QStringLiteral("\"NOTICEDATE\":"));
    for (const QString& raw : pieces) {
        const QString piece = raw.simplified();
        if (piece.isEmpty())
            continue;
        QString code = quotedValue(piece, QLatin1String("\"SECURITYCODE\":\""));
        // The code is the value's last six characters.
        code = code.right(6);
        const QString name = quotedValue(piece, QLatin1String("\"SECURITYSHORTNAME\":\""));
        QString title = quotedValue(piece, QLatin1String("\"NOTICETITLE\":\""));
        // Titles may start with "<code>:"; a notice without a code keeps its
        // whole title.
        if (!code.isEmpty() && title.startsWith(code))
            title = title.mid(code.size() + 1);
        // "2017-10-09T19:04:15+08:00": the day is all but the last 15.
        const QString time = quotedValue(piece, QLatin1String("\"EUTIME\":\""));
        const QString date = time.left(qMax(0, time.size() - 15));
        const QString column = quotedValue(piece, QLatin1String("\"COLUMNNAME\":\""));
        // The text before the first notice (the block's opening) is no notice.
        if (code.isEmpty() && name.isEmpty() && title.isEmpty() && time.isEmpty() &&
            column.isEmpty())
            continue;
        Data notice;
        notice.date = date;
        notice.code = code;
        notice.name = name;
        notice.attributes.insert(QStringLiteral("title"), title);
        notice.attributes.insert(QStringLiteral("type"), column);
        notices.append(notice);
    }
    return notices;
}

QStringList suspensionUrls(const QString&) {
    return {QStringLiteral("http://%1/tfpxx/").arg(QLatin1String(kEastmoneyDataHost))};
}

QString suspensionJsonBlock(const QString& page) {
    const QString match =
        captureBetween(page, QLatin1String("defjson:"), QLatin1String("maketr:"), 1).value(0);
    if (match.isEmpty())
        return QString();
    const QString body = match.mid(8);
    const int quote = body.indexOf(QLatin1Char('"'));
    // Without a quoted entry the block holds no suspensions.
    return quote < 0 ? QString() : body.mid(quote + 1);
}

QVector<Data> parseSuspensionList(const QString& page) {
    QVector<Data> suspensions;
    const QString block = suspensionJsonBlock(page);
    if (block.isEmpty())
        return suspensions;
    const QStringList entries = block.split(QStringLiteral("\",\""));
    for (const QString& entry : entries) {
        if (entry.contains(QLatin1String("type")))
            continue;
        const QStringList items = entry.simplified().split(QLatin1Char(','));
        // Items are read by position up to item 8.
        if (items.size() < 9)
            continue;
        Data suspension;
        suspension.code = items.at(0);
        suspension.name = items.at(1);
        suspension.date = items.at(8);
        suspension.attributes.insert(QStringLiteral("stopDate"), items.at(7));
        suspension.attributes.insert(QStringLiteral("span"), items.at(4).left(10));
        suspension.attributes.insert(QStringLiteral("desc"), items.at(5));
        suspensions.append(suspension);
    }
    return suspensions;
}

QString firstCapture(const QString& text, const QString& pattern) {
    // The same search as the utilities' first capture.
    return regexFirstCapture(text, pattern);
}
