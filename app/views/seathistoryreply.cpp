#include "app/views/seathistoryreply.h"

#include "core/utils.h"

#include <QRegularExpression>
#include <QUrl>

QVector<QMap<QString, QString>> parseJsonArrayText(const QString& text)
{
    // A row array that is JSON is read as JSON, its texts as they were
    // meant, and each made one line as the whole text is below.
    QVector<QMap<QString, QString>> rows;
    if (readJsonObjectList(text, &rows)) {
        for (auto& row : rows) {
            QMap<QString, QString> simple;
            for (auto it = row.cbegin(); it != row.cend(); ++it)
                simple.insert(it.key().simplified(), it.value().simplified());
            row = simple;
        }
        return rows;
    }
    QString body = text.simplified();
    // Markers inside a quoted value (a listing reason, say) are text.
    const int start = indexOfUnquoted(body, QLatin1String("[{"));
    // Without a row object the reply holds no rows; handing the whole text
    // on would turn unrelated key:value pieces into a row of empty cells.
    if (start < 0)
        return {};
    body = body.mid(start);
    const int end = indexOfUnquoted(body, QLatin1String("}]"));
    if (end >= 0)
        body = body.left(end);
    return parseObjectList(body);
}

QString seatCodeFromLink(const QString& link)
{
    const QString path = QUrl(link.trimmed()).path();
    static const QRegularExpression rx(QStringLiteral("/lhb/yyb/([0-9A-Za-z]+)\\.html$"));
    const QRegularExpressionMatch match = rx.match(path);
    return match.hasMatch() ? match.captured(1) : QString();
}
