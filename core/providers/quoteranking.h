#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// Client of the ranking service's ranked quote list: the first five pages
// of 20 rows.

// The argument is not used.
QStringList rankingUrls(const QString& unused = QString());
// One list of nine texts per row of 17 fields: an empty text, then fields
// 1 and 3 trimmed, then fields 4, 5, 8, 9, 13 and 15 as they stand.
QVector<QStringList> parseRanking(const QString& text);
