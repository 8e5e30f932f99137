#include "core/providers/eastmoneylhblistinterface.h"

#include "core/providers/servicehosts.h"
#include "core/utils.h"

#include <QRegularExpression>

QStringList EastmoneyLHBListInterface::urls(const QStringList& params) {
    if (params.isEmpty())
        return {};
    // One page of 200 rows from the start to the end of the same day.
    return {QStringLiteral("http://%1/DataCenter_V3/stock2016/TradeDetail/pagesize=200,page=1,"
                           "sortRule=-1,sortType=,startDate=%2,endDate=%2,gpfw=0,"
                           "js=vardata_tab_1.html")
                .arg(QLatin1String(kEastmoneyDataHost), params.first())};
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
