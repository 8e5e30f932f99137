#pragma once

#include <QMetaType>
#include <QString>
#include <QVector>

class StrategyTrade;

// One stock on one day: a row of the day's list, one K-line bar or a quote
// line. Each client fills only the fields its reply carries.
struct Stock {
    QString code;
    QString name;
    QString area;
    int score = 0;
    int bidVolumes[5] = {0, 0, 0, 0, 0};
    int askVolumes[5] = {0, 0, 0, 0, 0};
    QString industry;
    float turnoverRate = 0.0f;
    float volume = 0.0f;
    float amount = 0.0f;
    float preClose = 0.0f;
    float open = 0.0f;
    float high = 0.0f;
    float low = 0.0f;
    float close = 0.0f;
    float changePercent = 0.0f;
    float change = 0.0f;
    QString date;
    QString listingDate;
    QString time;
    float bidAskRatio = 0.0f;
    float bidShareRatio = 0.0f;
    int totalShares = 0;
    int floatShares = 0;
    float csvValues[15] = {};
    int csvLastValue = 0;
    bool selected = false;
    QString typeText;
    QString jd;
    QString dp;
    // Not owned: copies share the pointer and none deletes the trade.
    StrategyTrade* strategyTrade = nullptr;
};

Q_DECLARE_METATYPE(Stock)
Q_DECLARE_METATYPE(QVector<Stock>)
