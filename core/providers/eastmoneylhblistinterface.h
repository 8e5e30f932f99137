#pragma once

#include "core/providers/providerinterfaces.h"

// Client of East Money's day list: one row of named fields per list entry
// of a trading day ("SCode", "SName", "Tdate", "Ctypedes", "JD", "DP",
// "Chgradio", "Dchratio", "Turnover", ...), in the order of the reply.
class EastmoneyLHBListInterface final : public StringMapInterface {
public:
    // The rows asked for on each page.
    static constexpr int kRowsPerPage = 200;
    // Far above any day's list: a reply that claims more pages is no list.
    static constexpr int kMaxPages = 50;
    // Bound on a page: a whole page of 200 rows of the service's 49 fields
    // takes about 190 KB. Under three times that leaves room for longer
    // texts, and keeps the 50 pages of each of the three scanned days, as
    // records, well within the memory of a desktop.
    static constexpr qint64 kMaxReplyBytes = 512 * 1024;

    // One URL for the first day ("yyyy-MM-dd") only, that of its first page;
    // none without a day.
    QStringList urls(const QStringList& params) override;
    // The URL of one page (from 1) of a day's list, kRowsPerPage rows a page.
    static QString pageUrl(const QString& date, int page);
    // The number of pages that a list reply says the day has: its outer
    // object's "pages" member, a whole number from 0 (a day without entries)
    // to kMaxPages, bare or in quotes; 1 when it says nothing; -1 when it
    // holds anything else (a fraction, an exponent, a sign, a word, null).
    static int pageCount(const QString& text);
    // The param is not used.
    StringMapRows parse(const QString& text, const QString& param) override;

    // Whether a reply is the service's whole list, with or without rows,
    // rather than an error page or a reply cut off in transfer: it holds the
    // "data" array, and its outer object is closed.
    static bool isListReply(const QString& text);
};
