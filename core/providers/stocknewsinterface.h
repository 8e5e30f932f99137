#pragma once

#include <QMap>
#include <QString>
#include <QVector>

// Client of the news search: the first page (six items) of a stock's news,
// one row of named fields per item ("symbol", "title", "time", "url", ...).
class StockNewsInterface final {
public:
    // Bound on a reply: the six items of a real reply take about 2 KB, 6 KB
    // with summaries; this leaves ten times that.
    static constexpr qint64 kMaxReplyBytes = 64 * 1024;
    // The items asked for: a reply with more is not the page asked for.
    static constexpr int kItemsAsked = 6;

    StockNewsInterface() = default;
    ~StockNewsInterface() = default;

    QString url(const QString& code) const;
    // The param is not used.
    QVector<QMap<QString, QString>> parse(const QString& text, const QString& param) const;
};
