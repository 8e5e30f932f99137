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
    // Closes of the last seven bars: their highest and lowest and the spread
    // between them in percent of the lowest. False when the series is too
    // short or no close was found.
    static bool weekCloseRange(const QVector<Stock>& bars, float* high, float* low, float* range);

    ShapePoints m_shapePoints;
};
