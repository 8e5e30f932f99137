#pragma once

#include <QMap>
#include <QString>
#include <QVector>

// Client of the news search: the first page (six items) of a stock's news,
// one row of named fields per item ("symbol", "title", "time", "url", ...).
class StockNewsInterface final {
public:
    StockNewsInterface() = default;
    ~StockNewsInterface() = default;

    QString url(const QString& code) const;
    // The param is not used.
    QVector<QMap<QString, QString>> parse(const QString& text, const QString& param) const;
};
