#include "analysis/screens/stockkscanner.h"

#include "analysis/screens/candlepatterns.h"

#include <functional>

namespace {

constexpr int kMinBars = 21;

} // namespace

StockKScanner::StockKScanner() = default;

int StockKScanner::typeId() const {
    return CandleCategory;
}

int StockKScanner::scan(void* context, const QVector<Stock>& bars, QStringList* comments) {
    Q_UNUSED(context)
    const int size = bars.size();
    if (size < kMinBars)
        return -1;
    const Stock b0 = bars.at(size - 1);
    const Stock b1 = bars.at(size - 2);
    const Stock b2 = bars.at(size - 3);
    const Stock b3 = bars.at(size - 4);
    const Stock b4 = bars.at(size - 5);
    const float t = latestCloseAverage5(bars);

    using Pattern = std::function<bool(QString*)>;
    struct Row {
        Pattern matches;
        int code;
    };
    // Tried in this order; the first that holds is reported.
    const Row rows[] = {
        {[&](QString* s) { return isShangShengSanFa(b0, b1, b2, b3, b4, s); }, 0},
        {[&](QString* s) { return isXiaJiangSanFa(b0, b1, b2, b3, b4, s); }, 0},
        {[&](QString* s) { return isHeiSanBing(b0, b1, b2, b3, s); }, 0},
        {[&](QString* s) { return isSanYangKaiTai(b0, b1, b2, s); }, 0},
        {[&](QString* s) { return isHongSanBing(b0, b1, b2, b3, s); }, 0},
        {[&](QString* s) { return isKongFangPao(b0, b1, b2, s); }, 1},
        {[&](QString* s) { return isHuangHunZhiXing(b0, b1, b2, t, s); }, 1},
        {[&](QString* s) { return isQingChenZhiXing(b0, b1, b2, t, s); }, 0},
        {[&](QString* s) { return isPingTouDiBu(b0, b1, b2, t, s); }, 0},
        {[&](QString* s) { return isShuangFeiWuYa(b0, b1, b2, s); }, 1},
        {[&](QString* s) { return isXuRiDongSheng(b0, b1, t, s); }, 0},
        {[&](QString* s) { return isKanDieMuZiXian(b0, b1, t, s); }, 0},
        {[&](QString* s) { return isWuYunGaiDing(b0, b1, t, s); }, 1},
        {[&](QString* s) { return isZhangShiJinTou(b0, b1, t, s); }, 1},
        {[&](QString* s) { return isQingPenDaYu(b0, b1, t, s); }, 1},
        {[&](QString* s) { return isYangTunYin(b0, b1, t, s); }, 0},
        {[&](QString* s) { return isYinTunYang(b0, b1, t, s); }, 1},
        {[&](QString* s) { return isChuanCiKanZhang(b0, b1, t, s); }, 0},
        {[&](QString* s) { return isYangYunShiZi(b0, b1, t, s); }, 0},
        {[&](QString* s) { return isChuiZiZhiDie(b0, t, s); }, 0},
        {[&](QString* s) { return isChuiZiZhiDieKanZhang(b0, t, s); }, 0},
        {[&](QString* s) { return isKanZhangMuZiXian(b0, b1, t, s); }, 0},
        {[&](QString* s) { return isDiaoJingXian(b0, t, s); }, 0},
    };
    for (const Row& row : rows) {
        QString text;
        if (row.matches(&text)) {
            addComment(comments, text);
            return row.code;
        }
    }
    return -1;
}
