#include "core/providers/eastmoneylhblistinterface.h"

#include "core/providers/servicehosts.h"
#include "core/utils.h"

#include <QRegularExpression>

QStringList EastmoneyLHBListInterface::urls(const QStringList& params) {
    if (params.isEmpty())
        return {};
    return {pageUrl(params.first(), 1)};
}

QString EastmoneyLHBListInterface::pageUrl(const QString& date, int page) {
    // One page of the day's list, from its start to its end.
    return QStringLiteral("http://%1/DataCenter_V3/stock2016/TradeDetail/pagesize=%4,page=%3,"
                          "sortRule=-1,sortType=,startDate=%2,endDate=%2,gpfw=0,"
                          "js=vardata_tab_1.html")
        .arg(QLatin1String(kEastmoneyDataHost), date, QString::number(page),
             QString::number(kRowsPerPage));
}

namespace {

// Reads a "pages": n member (key quoted or not) that begins at from, after
// blanks: false when the member there is another. The count is a whole
// number from 0 to the most pages, bare or in quotes; any other value
// gives -1.
bool readPagesMember(const QString& text, int from, int* pages) {
    const int n = text.size();
    int i = from;
    const auto skipBlanks = [&] {
        while (i < n && text.at(i).isSpace())
            ++i;
    };
    const auto skipQuote = [&] {
        const bool quote = i < n && text.at(i) == QLatin1Char('"');
        i += quote ? 1 : 0;
        return quote;
    };
    skipBlanks();
    const bool quotedKey = skipQuote();
    if (!text.midRef(i).startsWith(QLatin1String("pages")))
        return false;
    i += 5;
    if (quotedKey != skipQuote())
        return false;
    skipBlanks();
    if (i >= n || text.at(i) != QLatin1Char(':'))
        return false;
    ++i;
    skipBlanks();
    const bool quotedValue = skipQuote();
    int value = 0;
    const int digitsFrom = i;
    for (; i < n && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'); ++i)
        value = qMin(EastmoneyLHBListInterface::kMaxPages + 1, value * 10 + text.at(i).digitValue());
    // The number must end the value: "2.5", "2e1" or "3x" is no page count.
    bool whole = i > digitsFrom && quotedValue == skipQuote();
    skipBlanks();
    whole = whole && i < n && (text.at(i) == QLatin1Char(',') || text.at(i) == QLatin1Char('}'));
    *pages = whole && value <= EastmoneyLHBListInterface::kMaxPages ? value : -1;
    return true;
}

} // namespace

int EastmoneyLHBListInterface::pageCount(const QString& text) {
    // Only members of the outer object count: the rows nest deeper, and a
    // quoted text is no member.
    const int n = text.size();
    int depth = 0;
    for (int i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"')) {
            i = endOfQuoted(text, i) - 1;
            continue;
        }
        if (c == QLatin1Char('{') || c == QLatin1Char('[')) {
            ++depth;
        } else if (c == QLatin1Char('}') || c == QLatin1Char(']')) {
            --depth;
        }
        int pages = 0;
        if (depth == 1 && (c == QLatin1Char('{') || c == QLatin1Char(',')) &&
            readPagesMember(text, i + 1, &pages))
            return pages;
    }
    return 1;
}

StringMapRows EastmoneyLHBListInterface::parse(const QString& text, const QString&) {
    // A reply without a row array (an error page, or a day without a list
    // whose "data" is []) holds no entries; read as an object list it would
    // give one row of stray wrapper fields, i.e. a list entry without code.
    if (!text.contains(QLatin1String("[{")))
        return {};
    return parseObjectList(text);
}

bool EastmoneyLHBListInterface::isListReply(const QString& text) {
    // "data":[{...},...] for a day with entries, "data":[] for one without.
    // A reply cut off in transfer would read as a shorter list, its last row
    // half-filled: it is no list at all.
    static const QRegularExpression dataArray(QStringLiteral("\\bdata\"?\\s*:\\s*\\["));
    return dataArray.match(text).hasMatch() && isServiceReply(text);
}
