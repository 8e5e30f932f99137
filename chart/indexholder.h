#pragma once

#include "analysis/indicators/stockindicator.h"
#include "chart/chartstyle.h"
#include "core/stock.h"

#include <QObject>
#include <QVector>

class QColor;
class QCPAxisRect;
class QCPBars;
class QCPFinancial;
class QCPGraph;

// One indicator of the pane under the candles: owns its indicator object and
// the plottables that draw it. Only the visible holder plots anything.
class IndexHolder : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(IndexHolder)

public:
    // The parent is the pane, which thereby owns the holder.
    IndexHolder(QObject* parent, int count);
    ~IndexHolder() override;

    virtual void setVisible(bool visible);
    virtual void setData(const QVector<Stock>& bars);
    bool isVisible() const;

    // The number of latest bars shown; follows the chart's window so the
    // pane's keys always match the candles above.
    void setCount(int count);

protected:
    // Index of the first shown bar of a series of the given size.
    int windowStart(int size) const;

    // Calls plot(i, key) for each shown bar i of a series of the given size,
    // oldest first, with the key of the candle above it: the first shown bar
    // stands at one key step, each later one a step further.
    template <typename Plot>
    void forEachShownBar(int size, Plot plot) const
    {
        double key = 0.0;
        for (int i = windowStart(size); i < size; ++i) {
            key += ChartStyle::keyStep;
            plot(i, key);
        }
    }

    // The plottables of the holders, on the pane's bottom (key) and left
    // (value) axes; the plot owns them. A named line in one colour:
    static QCPGraph* addLine(QCPAxisRect* pane, const QString& name, const QColor& colour);
    // Solid bars of one colour, as wide as the candles, without outline:
    static QCPBars* addBars(QCPAxisRect* pane, const QColor& colour);

    // The indicator's value at every bar, fed oldest first: the indicators
    // see the whole history given, not only the shown bars.
    static QVector<IndicatorValue> valuesOf(StockIndicator& indicator,
                                            const QVector<Stock>& bars);

    bool visible = false;
    int count = 0;
};
