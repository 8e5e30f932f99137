#pragma once

#include <QMap>
#include <QString>
#include <QVector>

// The readers of the seat-history reply and of a seat's page link. They use
// QtCore only, so that the fuzz build takes them without the widgets.

// Bound on a seat-history reply: a page of 50 entries, each with the forty
// or so fields the service sends, takes about 40 KB. Three times that still
// fills its dialog without holding up the window.
constexpr qint64 kSeatHistoryMaxReplyBytes = 128 * 1024;
// The entries asked for: a reply with more is not the page asked for.
constexpr int kSeatHistoryRowsAsked = 50;

// Rows of a "var x=[{k:v,...},...]" reply, in reply order; none when the
// reply holds no row object.
QVector<QMap<QString, QString>> parseJsonArrayText(const QString& text);

// The seat code of a seat page link ending in /lhb/yyb/<code>.html; empty
// when the link has another form or the code is not plain letters and digits.
QString seatCodeFromLink(const QString& link);
