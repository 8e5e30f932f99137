#pragma once

#include "core/lhbunit.h"
#include "core/stock.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

using StringMapRows = QVector<QMap<QString, QString>>;

// Clients turn parameters into request URLs and reply texts into records;
// they never touch the network themselves.
class StockInterface {
public:
    virtual ~StockInterface();
    virtual void onError(const QString& message);
    virtual QStringList urls(const QStringList& params) = 0;
    virtual QVector<Stock> parse(const QString& text, const QString& param) = 0;
    virtual void setParam(int index, const QString& value);
};

class StringMapInterface {
public:
    virtual ~StringMapInterface();
    virtual void onError(const QString& message);
    virtual QStringList urls(const QStringList& params) = 0;
    virtual StringMapRows parse(const QString& text, const QString& param) = 0;
};

class LHBInterface {
public:
    virtual ~LHBInterface();
    virtual QStringList urls(const QStringList& params) = 0;
    virtual QVector<LHBUnit> parse(const QString& text, const QString& param) = 0;
};

// "sh" + code for codes starting with '6', otherwise "sz" + code.
QString withMarketPrefix(const QString& code);

// qrand() scaled into [0, 1).
float randomFraction();

// The random number of the services' query strings, always in [0, 2^31).
qint64 randomQueryNumber();
// The query number for a given fraction, clamped into [0, 2^31).
qint64 queryNumberFromFraction(float fraction);

// Every non-overlapping case-insensitive minimal match, as whole matched
// text: captureMatches(), so that a pattern of two literal markers around
// "(.*)" costs linear time on any text.
QStringList regexCaptureAll(const QString& text, const QString& pattern);

// Replaces each \uXXXX escape with its character, in place, in one pass.
void unescapeUnicode(QString& text);
