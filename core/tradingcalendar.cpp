#include "core/tradingcalendar.h"

#include "core/stockapplication.h"

#include <QStringList>

namespace {

const char* const kBuiltInHolidays =
    "2017-05-01,2017-01-27,2017-01-30,2017-01-31,2017-02-01,2017-04-04,2016-04-03,2016-03-31";

QStringList nonTradingList() {
    QStringList list = QString::fromLatin1(kBuiltInHolidays).split(QLatin1Char(','));
    if (StockApplication* app = StockApplication::instance())
        list += app->nonTradeDays();
    return list;
}

bool isWeekend(const QDate& date) {
    const int day = date.dayOfWeek();
    return day == 6 || day == 7;
}

bool isListed(const QDate& date, const QStringList& list) {
    return list.contains(date.toString(QStringLiteral("yyyy-MM-dd")), Qt::CaseSensitive);
}

bool nonTrading(const QDate& date, const QStringList& list) {
    return isListed(date, list) || isWeekend(date);
}

// Steps one day at a time in the given direction (+1 or -1) until a trading
// day is reached; date itself is never tested.
QDate stepToTradingDay(const QDate& date, int step) {
    // An invalid date formats as "" and could match an empty configured
    // entry for ever.
    if (!date.isValid())
        return QDate();
    const QStringList list = nonTradingList();
    QDate r = date.addDays(step);
    while (r.isValid()) {
        if (nonTrading(r, list))
            r = r.addDays(step);
        if (r.isValid() && isWeekend(r))
            r = r.addDays(step);
        if (r.isValid() && !nonTrading(r, list))
            return r;
    }
    return QDate();
}

} // namespace

bool isNonTradingDay(const QDate& date) {
    if (!date.isValid())
        return true;
    return nonTrading(date, nonTradingList());
}

QDate previousTradingDay(const QDate& date) {
    return stepToTradingDay(date, -1);
}

QDate nextTradingDay(const QDate& date) {
    return stepToTradingDay(date, +1);
}
