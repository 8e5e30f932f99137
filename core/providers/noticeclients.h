#pragma once

#include "core/data.h"

#include <QString>
#include <QStringList>
#include <QVector>

// Clients of the data centre's company notices and trading suspensions.
// Both pages embed their data in a "defjson:" block.

// One notices page per code (no market prefix).
QStringList noticeUrls(const QStringList& codes);
QVector<Data> parseNotices(const QString& page);
QString noticeJsonBlock(const QString& page);

// The one suspensions page; the argument is not used.
QStringList suspensionUrls(const QString& unused = QString());
QVector<Data> parseSuspensionList(const QString& page);
QString suspensionJsonBlock(const QString& page);

// The whole text of the first case-insensitive, minimal match of the
// pattern, or "".
QString firstCapture(const QString& text, const QString& pattern);
