#pragma once

#include "analysis/screens/stockscanner.h"

#include <QString>

// Up to three marked bars of the last shape a screen found, for drawing.
struct ShapePoints {
    QString date1;
    float price1 = 0.0f;
    QString date2;
    float price2 = 0.0f;
    QString date3;
    float price3 = 0.0f;
    QString name;
};

// Base of the chart-shape screens. A screen that finds nothing leaves the
// recorded points as they were.
class StockShapeScanner : public StockScanner {
    Q_OBJECT

public:
    StockShapeScanner();

    int scan(void* context, const QVector<Stock>& bars, QStringList* comments) override;

    const ShapePoints& shapePoints() const { return m_shapePoints; }

protected:
    // Sideways trading over the last seven bars: their closes lie within
    // 2.11% of each other (the spread in percent of the lowest close). high
    // and low receive the highest and lowest of those closes. False when the
    // series is too short, no close was found or the spread is wider.
    static bool isSidewaysWeek(const QVector<Stock>& bars, float* high, float* low);

    ShapePoints m_shapePoints;
};
