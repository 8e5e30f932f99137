#pragma once

#include "core/providers/providerinterfaces.h"

// Client of Sina's financial-results table: for a report date and quarter,
// one row per company with earnings and net assets per share, return on
// equity, net profit and its growth, and the publication date.
class SinaAchievementInterface final : public StringMapInterface {
public:
    // Parameters: report date, quarter. The 20 pages of the table, in order.
    QStringList urls(const QStringList& params) override;
    // Rows keyed "code", "name", "eps", "eps_r", "navps", "roe", "cps",
    // "netprofit", "netprofit_percent" and "date", texts as the page has them.
    StringMapRows parse(const QString& text, const QString& param) override;
};
