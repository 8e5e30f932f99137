#pragma once

#include "app/views/datatablewidget.h"
#include "app/views/seathistoryreply.h"
#include "core/httpget.h"

#include <QMap>
#include <QString>
#include <QVector>

class QSize;
class QWidget;

// The seat history: a brokerage seat's recent entries on the list.

// Request URL of the first page (at most kSeatHistoryRowsAsked entries) for
// a seat code.
QString seatHistoryUrl(const QString& seatCode);

// The reply and seat-code readers (parseJsonArrayText, seatCodeFromLink)
// are in seathistoryreply.h.

// Columns of the history dialog.
QVector<ColumnSpec> seatHistoryColumns();

// The size at which the history dialog shows all its columns and about 15
// rows, or as much of that as fits in the given available screen area.
QSize seatHistoryDialogSize(const DataTableWidget* dialog, const QSize& available);

// The history dialog of the named seat filled with the rows of a reply text
// (not yet shown): the amounts in 万元, every column as wide as its widest
// text up to a cap, the dialog sized for the screen it opens on.
DataTableWidget* createSeatHistoryDialog(const QString& replyText, const QString& seatName,
                                         QWidget* parent);
// The same for the reply's records (parseJsonArrayText).
DataTableWidget* createSeatHistoryDialog(QVector<QMap<QString, QString>> records,
                                         const QString& seatName, QWidget* parent);

// Shows a seat's fetched history (the reply and how its fetch ended) in a
// modal dialog that is destroyed when it closes. A failed fetch, a reply
// cut off before its end, or one of more entries than were asked for is
// said in a modal warning instead.
void showSeatHistory(const QString& reply, const HttpGetStatus& status, const QString& seatName,
                     QWidget* parent);
