#pragma once

#include "core/providers/providerinterfaces.h"

// Client of the daily-bar service: the recent daily bars of each code, and,
// once given a directory, a copy of every reply saved under that prefix.
class StockiFengInterface final : public StockInterface {
public:
    QStringList urls(const QStringList& codes) override;
    // Bars in reply order, each carrying the given code. Saves the reply as
    // directory + code when both are set, whether or not it held bars.
    QVector<Stock> parse(const QString& text, const QString& code) override;
    // 0: the directory prefix of the saved replies (used as given, so it
    // ends in "/" when it names a folder); other indices are ignored.
    void setParam(int index, const QString& value) override;

    QString directory() const { return m_directory; }

private:
    QString m_directory;
};
