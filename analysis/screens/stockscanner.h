#pragma once

#include "analysis/indicators/stockindicator.h"
#include "core/stock.h"

#include <QObject>
#include <QStringList>
#include <QVector>

// A K-line screen: looks at the daily bars of one stock and, when it
// recognises its signal, appends comment texts and returns a verdict code.
// -1 means "not found"; any other code means the signal was found (most
// screens use 0 for a rising and 1 for a falling signal).
class StockScanner : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(StockScanner)

public:
    // Categories reported by typeId(); the comment factory pools the comments
    // of one category together.
    enum Category {
        NoCategory = -1,
        CrossCategory = 0, // moving-average and MACD crosses
        VolumeCategory = 1,
        CandleCategory = 2,
        ShapeCategory = 3,
        GapCategory = 4,
        KdjCategory = 5,
        PositionCategory = 6,
    };

    StockScanner();
    ~StockScanner() override;

    virtual int typeId() const;
    // bars are oldest first. context is an opaque value handed through by
    // callers such as the comment factory; no screen reads it. comments may
    // be null when the caller only wants the verdict.
    virtual int scan(void* context, const QVector<Stock>& bars, QStringList* comments);

protected:
    static void addComment(QStringList* comments, const QString& text);
    // Pushes every bar, oldest first, and keeps the value at each bar.
    static QVector<IndicatorValue> pushAll(StockIndicator& indicator, const QVector<Stock>& bars);
    // The first value (the average, K, ...) at each bar.
    static QVector<float> firstValues(const QVector<IndicatorValue>& values);
};
