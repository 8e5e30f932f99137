#pragma once

#include <QMetaType>
#include <QString>
#include <QVector>

// One seat line of a stock's list entry, or the entry's summary line.
struct LHBUnit {
    QString name;
    QString url;
    QString times;
    float rate = 0.0f;
    float buyAmount = 0.0f;
    QString buyShare;
    float sellAmount = 0.0f;
    QString sellShare;
    float netAmount = 0.0f;
    // 1 buying table, 2 selling table, 3 summary line, 0 until parsed.
    int side = 0;
};

Q_DECLARE_METATYPE(LHBUnit)
Q_DECLARE_METATYPE(QVector<LHBUnit>)
