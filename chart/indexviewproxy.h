#pragma once

#include "core/stock.h"

#include <qcustomplot.h>

#include <QStringList>
#include <QVector>

class IndexHolder;

// The indicator pane under the candles: an axis rect tied to the candles in
// width and x range that shows one holder (volume, MACD, KDJ or BOLL) at a
// time.
class IndexViewProxy final : public QCPAxisRect
{
    Q_OBJECT
    Q_DISABLE_COPY(IndexViewProxy)

public:
    IndexViewProxy(QCustomPlot* plot, int row, int column);
    ~IndexViewProxy() override;

    // Creates the four holders on the first call; every call sets the number
    // of latest bars they show.
    void initHolders(int count);
    QStringList indexNames() const;
    void showIndex(const QString& name);
    void setData(const QVector<Stock>& bars);

private:
    // Fits the value axis to every series with data, with a small margin.
    void fitValueAxis();

    QVector<IndexHolder*> holders;
    IndexHolder* current = nullptr;
};
