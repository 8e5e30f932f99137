#pragma once

#include "core/providers/providerinterfaces.h"

// Client of Sina's list page: a day's dragon-tiger list, one page section
// per listing reason, read into one record per listed stock.
class SinaLHBStockListInterface final : public StockInterface {
public:
    // The page of each "yyyy-MM-dd" day; the latest day's page for none.
    QStringList urls(const QStringList& dates) override;
    QVector<Stock> parse(const QString& text, const QString& param) override;
    // One table row: a section header sets the current listing reason and
    // gives an unselected record; a stock row gives a selected record that
    // carries the current reason.
    Stock parseRow(const QString& row);

    QString currentType() const { return m_currentType; }

private:
    // Kept from one page to the next: a page that continues a section
    // begins with its stock rows, without the section's header.
    QString m_currentType;
};
