#pragma once

#include "core/stock.h"

#include <QString>
#include <QVector>

// The K-line history of one code with a chosen period ("day", "week",
// "month") and adjustment ("bfq", "qfq", "hfq"); other values keep daily,
// back-adjusted bars. Fetched in the calling thread, which blocks until the
// reply is in. A non-empty savePath keeps a copy of the reply in the file
// named by savePath followed by the code.
QVector<Stock> fetchQQKLines(const QString& code, const QString& period, const QString& adjust,
                             const QString& savePath);

// Bars from a local file of "date,open,high,close,low,volume,amount" lines,
// in file order; volume and amount are scaled by 0.0001. Reading stops at the
// first line of another shape.
QVector<Stock> loadKLineCsvFile(const QString& path, const QString& code);
