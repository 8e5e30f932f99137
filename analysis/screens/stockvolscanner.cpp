#include "analysis/screens/stockvolscanner.h"

#include "analysis/klinerange.h"

#include <QString>

namespace {

constexpr int kBarsNeeded = 20;
constexpr int kSurgeBarsNeeded = 41;
constexpr float kSurgeFactor = 3.0f;

// +1 when fast crosses above slow at the latest bar, -1 when it crosses
// below, 0 otherwise. Every value compared must be valid: an average that
// does not exist yet (reported as 0) crosses nothing.
int crossing(const QVector<IndicatorValue>& fast, const QVector<IndicatorValue>& slow) {
    const int l = fast.size() - 1, p = l - 1;
    const IndicatorValue &fL = fast.at(l), &fP = fast.at(p), &sL = slow.at(l), &sP = slow.at(p);
    if (!fL.valid || !fP.valid || !sL.valid || !sP.valid)
        return 0;
    if (fL.value1 > sL.value1 && fP.value1 < sP.value1)
        return 1;
    if (fL.value1 < sL.value1 && fP.value1 > sP.value1)
        return -1;
    return 0;
}

} // namespace

StockVolScanner::StockVolScanner() : m_vol5(5), m_vol10(10), m_vol60(60) {}

int StockVolScanner::typeId() const {
    return VolumeCategory;
}

int StockVolScanner::scan(void* context, const QVector<Stock>& bars, QStringList* comments) {
    Q_UNUSED(context)
    m_vol5.reset();
    m_vol10.reset();
    m_vol60.reset();
    if (bars.size() < kBarsNeeded)
        return -1;
    const QVector<IndicatorValue> v5 = pushAll(m_vol5, bars);
    const QVector<IndicatorValue> v10 = pushAll(m_vol10, bars);
    const QVector<IndicatorValue> v60 = pushAll(m_vol60, bars);
    const int cross1 = crossing(v5, v10);
    const int cross2 = crossing(v10, v60);

    if (cross1 == 1) {
        addComment(comments, QStringLiteral("5,10日成交量金叉"));
        if (cross2 == 1)
            addComment(comments, QStringLiteral("10,60日成交量金叉"));
        return 1;
    }
    if (cross1 == -1 && cross2 == -1) {
        addComment(comments, QStringLiteral("5,10日成交量死叉"));
        addComment(comments, QStringLiteral("10,60日成交量死叉"));
        return 1;
    }
    if (cross2 == 1) {
        addComment(comments, QStringLiteral("10,60日成交量金叉"));
        return 1;
    }
    if (cross2 == -1) {
        addComment(comments, QStringLiteral("10,60日成交量死叉"));
        return 1;
    }

    const int size = bars.size();
    if (size < kSurgeBarsNeeded)
        return -1;
    // Two 21-bar windows that share the bar size - 21.
    const float recent = averageInRange(bars, size - 21, size - 1, true);
    const float earlier = averageInRange(bars, size - 41, size - 21, true);
    if (recent > kSurgeFactor * earlier) {
        addComment(comments, QStringLiteral("近20日放量"));
        return 1;
    }
    return -1;
}

int volumeTrend(void* context, const QVector<Stock>& bars, QString* text) {
    Q_UNUSED(context)
    if (bars.size() <= 5)
        return -1;
    VolMaNIndicator vol5(5);
    IndicatorValue value;
    for (const Stock& bar : bars)
        value = vol5.push(bar);
    const float avg = value.value1;
    const float vol = bars.last().volume;
    int code = 0;
    QString result = QStringLiteral("成交量平量");
    if (vol < 0.86f * avg) {
        code = 1;
        result = QStringLiteral("成交量缩量");
    } else if (vol > 1.162f * avg) {
        code = 2;
        result = QStringLiteral("成交量放量");
    }
    if (text)
        *text = result;
    return code;
}
