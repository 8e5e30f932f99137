#pragma once

#include <QDate>

// Weekends, a short built-in holiday list and the user's extra non-trading
// days (StockApplication::nonTradeDays) decide what is a trading day. Both
// lists are read anew on every call.
bool isNonTradingDay(const QDate& date);

// The latest trading day strictly before date (an invalid date gives an
// invalid date).
QDate previousTradingDay(const QDate& date);

// The earliest trading day strictly after date.
QDate nextTradingDay(const QDate& date);
