#include "analysis/screens/stockmacdscanner.h"

namespace {

constexpr int kBarsNeeded = 31;

} // namespace

StockMACDScanner::StockMACDScanner() = default;

int StockMACDScanner::typeId() const {
    return CrossCategory;
}

int StockMACDScanner::scan(void* context, const QVector<Stock>& bars, QStringList* comments) {
    Q_UNUSED(context)
    m_macd.reset();
    if (bars.size() < kBarsNeeded)
        return -1;
    const QVector<IndicatorValue> values = pushAll(m_macd, bars);
    const int l = values.size() - 1, p = l - 1, q = l - 2;
    const float difL = values.at(l).value2, deaL = values.at(l).value3;
    const float difP = values.at(p).value2, deaP = values.at(p).value3;
    const float difQ = values.at(q).value2, deaQ = values.at(q).value3;

    if (difP < deaP && difL > deaL) {
        addComment(comments, QStringLiteral("MACD金叉"));
        return 0;
    }
    if (difP > deaP && difL < deaL) {
        addComment(comments, QStringLiteral("MACD死叉"));
        return 1;
    }
    const float gapL = difL - deaL, gapP = difP - deaP, gapQ = difQ - deaQ;
    if (gapL > gapP && gapQ > gapP && difL > deaL && difP > deaP && difQ > deaQ) {
        addComment(comments, QStringLiteral("MACD支撑"));
        return 0;
    }
    return -1;
}
