#pragma once

#include "core/providers/providerinterfaces.h"

// Client of East Money's day list: one row of named fields per list entry
// of a trading day ("SCode", "SName", "Tdate", "Ctypedes", "JD", "DP",
// "Chgradio", "Dchratio", "Turnover", ...), in the order of the reply.
class EastmoneyLHBListInterface final : public StringMapInterface {
public:
    // One URL for the first day ("yyyy-MM-dd") only, that of its first page;
    // none without a day.
    QStringList urls(const QStringList& params) override;
    // The URL of one page (from 1) of a day's list, 200 rows a page.
    static QString pageUrl(const QString& date, int page);
    // The number of pages that a list reply says the day has: its outer
    // object's "pages" member (0 for a day without entries), 1 when it says
    // nothing; a number beyond a million reads as a million.
    static int pageCount(const QString& text);
    // The param is not used.
    StringMapRows parse(const QString& text, const QString& param) override;

    // Whether a reply is the service's whole list, with or without rows,
    // rather than an error page or a reply cut off in transfer: it holds the
    // "data" array, and its outer object is closed.
    static bool isListReply(const QString& text);
};
