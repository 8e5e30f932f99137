#include "analysis/screens/stockkdjscanner.h"

namespace {

constexpr int kBarsNeeded = 12;

} // namespace

StockKDJScanner::StockKDJScanner() = default;

int StockKDJScanner::typeId() const {
    return KdjCategory;
}

int StockKDJScanner::scan(void* context, const QVector<Stock>& bars, QStringList* comments) {
    Q_UNUSED(context)
    m_kdj.reset();
    if (bars.size() < kBarsNeeded)
        return -1;
    const QVector<IndicatorValue> values = pushAll(m_kdj, bars);
    const IndicatorValue& last = values.at(values.size() - 1);
    const IndicatorValue& prev = values.at(values.size() - 2);
    const float kL = last.value1, dL = last.value2;
    const float kP = prev.value1, dP = prev.value2;

    const bool golden = kP < dP && kL > dL;
    const bool death = kP > dP && kL < dL;
    const bool oversold = kL < 23.0f && dL < 23.0f;

    struct Rule {
        bool holds;
        const char* text;
        int code;
    };
    const Rule rules[] = {
        {golden && kL >= 43.0f && kL <= 57.0f, "DJ中线金叉", 3},
        {oversold && golden, "KDJ超卖金叉", 5},
        {kL > 80.0f && dL > 80.0f && death, "KDJ超买死叉", 6},
        {death, "KDJ死叉", 4},
        {oversold, "KDJ超卖", 1},
        {kL >= 80.0f && dL >= 80.0f, "KDJ超买", 2},
    };
    for (const Rule& rule : rules) {
        if (rule.holds) {
            addComment(comments, QString::fromUtf8(rule.text));
            return rule.code;
        }
    }
    return -1;
}
