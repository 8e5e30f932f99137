#pragma once

#include "core/providers/providerinterfaces.h"

// Client of the Sina market centre's quote list of all A shares: 80 quotes
// a page; the parameters are page numbers.
class SinaRealtimeInterface final : public StockInterface {
public:
    QStringList urls(const QStringList& pages) override;
    // The param is not used.
    QVector<Stock> parse(const QString& text, const QString& param) override;
};
