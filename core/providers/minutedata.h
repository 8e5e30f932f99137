#pragma once

#include <QPair>
#include <QString>
#include <QVector>

// One minute of the intraday series.
struct MinutePoint {
    QString time;
    float price = 0.0f;
    // Running average price up to this minute.
    float averagePrice = 0.0f;
    // Volume traded in this minute.
    int volume = 0;
};

// One "price~volume~volume~share" entry of the reply's price distribution.
struct MinuteVolume {
    float price = 0.0f;
    int volumeA = 0;
    int volumeB = 0;
    float share = 0.0f;
};

// One "time/price/volume/side/amount/number" entry of the recent trades.
struct MinuteQuote {
    QString time;
    float price = 0.0f;
    int volume = 0;
    QString side;
    int amount = 0;
    int number = 0;
};

// A stock's intraday minute series with the quote values of the same reply.
struct MinuteData {
    MinuteData();

    bool valid;
    QString code;
    QString name;
    // yyyyMMdd
    QString date;
    QVector<MinutePoint> points;
    float values[16];
    // Share of minutes, in percent, whose price is not below their running
    // average, and at which the running average did not fall.
    float abovePercent;
    float risingPercent;
    // The five bid and five ask prices with their volumes.
    QPair<float, int> levels[10];
    QVector<MinuteVolume> volumes;
    QVector<MinuteQuote> quotes;
    QString extra1;
    QString extra2;
};

QString qqMinuteUrl(const QString& code);
MinuteData parseMinuteJson(const QString& text);
// A text of "a,time,price,b,volume,c,d" lines, newest first.
MinuteData parseMinuteLines(const QString& text);
// True when the minute file's percentages exceed both thresholds.
bool checkMinuteFile(const char* path, int aboveThreshold, int risingThreshold);
