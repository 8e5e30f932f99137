#pragma once

#include "core/stock.h"

#include <QString>
#include <QStringList>
#include <QVector>

// Client of the daily-history CSV service: about three years of daily bars
// per code, one CSV line per day, newest first in the reply.
class StockHistoryCsvInterface final {
public:
    // One URL per code, asking for the days from 1080 days before today on.
    QStringList urls(const QStringList& codes) const;
    // The bars oldest first. When a directory is set, the reply is kept in
    // the file named by the directory followed by the bars' code.
    QVector<Stock> parse(const QString& text);

    QString directory() const { return m_directory; }
    void setDirectory(const QString& directory) { m_directory = directory; }

private:
    QString m_directory;
};
