#pragma once

#include "core/stock.h"

#include <QObject>
#include <QVector>

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

    bool visible = false;
    int count = 0;
};
