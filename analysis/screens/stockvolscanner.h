#pragma once

#include "analysis/indicators/volmanindicator.h"
#include "analysis/screens/stockscanner.h"

class QString;

// Crosses of the 5/10 and 10/60 volume averages at the latest bar, or a
// volume surge over the last 20 bars. Every signal returns 1.
class StockVolScanner final : public StockScanner {
    Q_OBJECT

public:
    StockVolScanner();

    int typeId() const override;
    int scan(void* context, const QVector<Stock>& bars, QStringList* comments) override;

private:
    VolMaNIndicator m_vol5;
    VolMaNIndicator m_vol10;
    VolMaNIndicator m_vol60;
};

// The latest volume against its 5-bar average: 1 shrinking ("成交量缩量"),
// 2 swelling ("成交量放量"), 0 level ("成交量平量"), -1 with 5 bars or fewer
// (text untouched). context is not read.
int volumeTrend(void* context, const QVector<Stock>& bars, QString* text);
