#pragma once

#include "analysis/screens/stockscanner.h"

#include <QMap>

// Runs six K-line screens over one series (moving-average cross, MACD,
// volume, candlestick patterns, 60-day position, price gap, in that order)
// and keeps their comments by category. The caller's own comment list comes
// back empty; read commentTable() instead. One factory must not scan on two
// threads at once.
class StockCommentFactory final : public StockScanner {
    Q_OBJECT

public:
    StockCommentFactory();
    ~StockCommentFactory() override;

    // Always returns 1.
    int scan(void* context, const QVector<Stock>& bars, QStringList* comments) override;

    // Gives the table an empty list for the category unless it has one.
    void addCategory(int typeId);

    // Category id -> the comments of the latest scan; categories without
    // comments have no entry.
    const QMap<int, QStringList>& commentTable() const { return m_commentTable; }

private:
    QMap<int, QStringList> m_commentTable;
    QVector<StockScanner*> m_scanners;
};
