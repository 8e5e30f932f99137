#pragma once

#include "core/providers/providerinterfaces.h"

// Client of East Money's list-entry page: the seats that bought and sold a
// listed stock on one day, read from the page's HTML.
class EastmoneyLHBDataInterface final : public LHBInterface {
public:
    // Bound on a page: the service's whole pages, scripts and all, take
    // about 90 KB; a page ten times that is no list-entry page.
    static constexpr qint64 kMaxReplyBytes = 1024 * 1024;

    // One URL per "code,date" parameter, in order.
    QStringList urls(const QStringList& params) override;
    // Buying seats (side 1), then selling seats (side 2), then the summary
    // record (side 3) when the page has exactly one summary row. The param
    // is not used.
    QVector<LHBUnit> parse(const QString& text, const QString& param) override;
    // Every accepted <tr> row of one table; side 1 for the buying table.
    QVector<LHBUnit> parseRows(const QString& table, bool buying) const;
};

// One seat row; ok is true only when the row has the seat link, the times
// and rate spans and exactly seven cells.
LHBUnit parseSeatRow(const QString& row, bool& ok);

// The page's summary row; ok is true only when the page has exactly one,
// with six spans.
LHBUnit parseSeatTotalRow(const QString& page, bool& ok);
