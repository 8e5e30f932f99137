#include "analysis/screens/stockscanner.h"

StockScanner::StockScanner() = default;

StockScanner::~StockScanner() = default;

int StockScanner::typeId() const {
    return NoCategory;
}

int StockScanner::scan(void* context, const QVector<Stock>& bars, QStringList* comments) {
    Q_UNUSED(context)
    Q_UNUSED(bars)
    Q_UNUSED(comments)
    return -1;
}

void StockScanner::addComment(QStringList* comments, const QString& text) {
    if (comments)
        comments->append(text);
}

QVector<IndicatorValue> StockScanner::pushAll(StockIndicator& indicator,
                                              const QVector<Stock>& bars) {
    QVector<IndicatorValue> values;
    values.reserve(bars.size());
    for (const Stock& bar : bars)
        values.append(indicator.push(bar));
    return values;
}

QVector<float> StockScanner::firstValues(const QVector<IndicatorValue>& values) {
    QVector<float> result;
    result.reserve(values.size());
    for (const IndicatorValue& v : values)
        result.append(v.value1);
    return result;
}
