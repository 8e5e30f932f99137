#include "analysis/screens/candlepatterns.h"
#include "analysis/screens/stockkscanner.h"
#include "tests/analysis/klinebars.h"

#include <QtTest>

#include <cmath>
#include <functional>
#include <limits>

using namespace klinebars;

namespace {

// Filler prices put the 5-bar average t (which takes in the filler bars)
// below or above the middle of the latest bar of the patterns below, whose
// prices lie around 10 to 11.
constexpr float kLowFill = 5.0f;
constexpr float kHighFill = 20.0f;
constexpr float kMidFill = 10.0f;

float midOf(const Stock& b) {
    return (b.open + b.close) * 0.5f;
}

// The pattern bars, oldest first (the last one is b0).
struct Pattern {
    const char* tag;
    QVector<Stock> bars;
};

// One example per pattern, each checked against its conditions by hand.
const Stock kLongBull = bar(10.0f, 11.05f, 9.95f, 11.0f); // solid rising bar
const Stock kLongBear = bar(11.0f, 11.05f, 9.95f, 10.0f); // solid falling bar

const QVector<Stock> kShangSheng5 = {
    bar(10, 11.1f, 9.9f, 11, 0, 4.0f), bar(10.9f, 10.95f, 10.5f, 10.6f),
    bar(10.6f, 10.65f, 10.3f, 10.4f), bar(10.4f, 10.45f, 10.1f, 10.2f),
    bar(10.3f, 11.6f, 10.25f, 11.5f)};
const QVector<Stock> kShangSheng6 = {
    bar(10, 11.1f, 9.9f, 11, 0, 4.0f), bar(10.9f, 10.95f, 10.6f, 10.7f),
    bar(10.7f, 10.75f, 10.5f, 10.6f),  bar(10.6f, 10.65f, 10.35f, 10.4f),
    bar(10.4f, 10.45f, 10.15f, 10.2f), bar(10.3f, 11.1f, 10.25f, 11.0f)};
const QVector<Stock> kXiaJiang = {bar(11, 11.05f, 9.5f, 10.6f), bar(10.0f, 10.52f, 9.6f, 10.5f),
                                  bar(9.62f, 10.0f, 9.6f, 9.98f), bar(9.7f, 10.25f, 9.65f, 10.2f),
                                  bar(10.4f, 10.45f, 9.75f, 9.8f)};
const QVector<Stock> kHeiSanBing = {bar(9.0f, 9.55f, 8.95f, 9.5f), bar(10.0f, 10.05f, 9.35f, 9.4f),
                                    bar(10.2f, 10.25f, 9.55f, 9.6f),
                                    bar(10.4f, 10.45f, 9.75f, 9.8f)};
// As above, but the opens step down (10.2, 10.2, 10.1).
const QVector<Stock> kHeiSanBingFallingOpens = {
    bar(9.0f, 9.55f, 8.95f, 9.5f), bar(10.2f, 10.25f, 9.35f, 9.4f), bar(10.2f, 10.25f, 9.55f, 9.6f),
    bar(10.1f, 10.15f, 9.75f, 9.8f)};
const QVector<Stock> kSanYang = {bar(10.0f, 10.55f, 9.95f, 10.5f, 100),
                                 bar(10.6f, 11.15f, 10.55f, 11.1f, 200),
                                 bar(11.2f, 11.75f, 11.15f, 11.7f, 300)};
const QVector<Stock> kHongSanBing = {bar(9.5f, 9.85f, 9.45f, 9.8f), bar(9.9f, 10.25f, 9.85f, 10.2f),
                                     bar(10.1f, 10.45f, 10.05f, 10.4f),
                                     bar(10.3f, 10.65f, 10.25f, 10.6f)};
const QVector<Stock> kKongFangPao = {bar(10.5f, 10.6f, 9.9f, 10.0f), bar(9.6f, 9.85f, 9.55f, 9.8f),
                                     bar(10.3f, 10.35f, 9.85f, 9.9f)};
const QVector<Stock> kHuangHun = {kLongBull, bar(11.2f, 11.5f, 11.1f, 11.25f),
                                  bar(11.2f, 11.25f, 10.45f, 10.5f)};
const QVector<Stock> kQingChen = {kLongBear, bar(9.8f, 9.95f, 9.6f, 9.75f),
                                  bar(9.95f, 10.75f, 9.9f, 10.7f)};
const QVector<Stock> kPingTou = {bar(10.2f, 10.25f, 9.8f, 9.9f), bar(11.5f, 11.55f, 9.8f, 10.3f),
                                 bar(9.9f, 10.45f, 9.85f, 10.4f)};
const QVector<Stock> kShuangFei = {kLongBull, bar(11.5f, 11.55f, 11.1f, 11.2f),
                                   bar(11.6f, 11.65f, 11.0f, 11.1f)};
const QVector<Stock> kXuRi = {kLongBear, bar(10.1f, 11.1f, 10.05f, 11.05f)};
const QVector<Stock> kKanDieMuZi = {kLongBull, bar(10.8f, 10.85f, 10.15f, 10.2f)};
const QVector<Stock> kWuYun = {kLongBull, bar(11.05f, 11.1f, 10.35f, 10.4f)};
const QVector<Stock> kZhangShi = {bar(10.0f, 11.0f, 9.9f, 10.4f),
                                  bar(10.5f, 10.85f, 10.45f, 10.8f)};
const QVector<Stock> kQingPen = {kLongBull, bar(10.9f, 10.95f, 9.85f, 9.9f)};
const QVector<Stock> kYangTun = {bar(10.5f, 10.55f, 9.95f, 10.0f),
                                 bar(10.5f, 11.55f, 10.45f, 11.5f)};
const QVector<Stock> kYinTun = {bar(10.0f, 10.55f, 9.95f, 10.5f), bar(10.6f, 10.65f, 9.85f, 9.9f)};
const QVector<Stock> kChuanCi = {bar(11.0f, 11.05f, 9.95f, 10.0f, 0, -5.0f),
                                 bar(9.9f, 10.65f, 9.85f, 10.6f)};
const QVector<Stock> kYangYun = {kLongBull, bar(10.5f, 10.7f, 10.3f, 10.52f)};
const Stock kHammer = bar(10.0f, 10.5f, 10.0f, 10.1f);        // upper shadow 0.4
const Stock kSmallHammer = bar(10.0f, 10.05f, 10.0f, 10.01f); // upper shadow 0.04
const QVector<Stock> kKanZhangMuZi = {kLongBear, bar(10.2f, 10.65f, 10.15f, 10.6f)};
const Stock kHangingMan = bar(10.4f, 10.5f, 10.0f, 10.5f); // lower shadow 0.4

QVector<Stock> padded(float filler, const QVector<Stock>& pattern) {
    return flats(9, filler) + pattern;
}

using Predicate = std::function<bool(QString*)>;

struct PredicateCase {
    QString tag;
    Predicate run;
    QString name; // empty: not found
};

using Bars5 = bool (*)(const Stock&, const Stock&, const Stock&, const Stock&, const Stock&,
                       QString*);
using Bars4 = bool (*)(const Stock&, const Stock&, const Stock&, const Stock&, QString*);
using Bars3 = bool (*)(const Stock&, const Stock&, const Stock&, QString*);
using Bars3T = bool (*)(const Stock&, const Stock&, const Stock&, float, QString*);
using Bars2 = bool (*)(const Stock&, const Stock&, QString*);
using Bars2T = bool (*)(const Stock&, const Stock&, float, QString*);
using Bars1T = bool (*)(const Stock&, float, QString*);

// v is oldest first; the predicates take the latest bar first.
Predicate on(Bars5 p, const QVector<Stock>& v) {
    return [p, v](QString* s) { return p(v[4], v[3], v[2], v[1], v[0], s); };
}
Predicate on(Bars4 p, const QVector<Stock>& v) {
    return [p, v](QString* s) { return p(v[3], v[2], v[1], v[0], s); };
}
Predicate on(Bars3 p, const QVector<Stock>& v) {
    return [p, v](QString* s) { return p(v[2], v[1], v[0], s); };
}
Predicate on(Bars3T p, const QVector<Stock>& v, float t) {
    return [p, v, t](QString* s) { return p(v[2], v[1], v[0], t, s); };
}
Predicate on(Bars2 p, const QVector<Stock>& v) {
    return [p, v](QString* s) { return p(v[1], v[0], s); };
}
Predicate on(Bars2T p, const QVector<Stock>& v, float t) {
    return [p, v, t](QString* s) { return p(v[1], v[0], t, s); };
}
Predicate on(Bars1T p, const Stock& b, float t) {
    return [p, b, t](QString* s) { return p(b, t, s); };
}

QVector<Stock> with(QVector<Stock> v, int index, const Stock& b) {
    v[index] = b;
    return v;
}

QVector<PredicateCase> predicateCases() {
    QVector<PredicateCase> c;
    c.append({"上升三法", on(isShangShengSanFa, kShangSheng5), "上升三法看涨"});
    {
        QVector<Stock> v = kShangSheng5;
        v[0].changePercent = 3.6f;
        c.append({"上升三法: first bar up 3.6%", on(isShangShengSanFa, v), ""});
        // Rising middle bars call for the fourth bar to open at or above the
        // second bar's close (10.6).
        v = with(with(kShangSheng5, 1, bar(10.5f, 10.65f, 10.45f, 10.6f)), 2,
                 bar(10.35f, 10.45f, 10.3f, 10.4f));
        c.append({"上升三法: rising middle, open below", on(isShangShengSanFa, v), ""});
        v[3] = bar(10.6f, 10.65f, 10.1f, 10.2f);
        c.append({"上升三法: rising middle, open at the close", on(isShangShengSanFa, v),
                  "上升三法看涨"});
    }
    // Six bars: the latest close may equal the first close.
    c.append({"上升三法 6",
              [](QString* s) {
                  const QVector<Stock>& v = kShangSheng6;
                  return isShangShengSanFa6(v[5], v[4], v[3], v[2], v[1], v[0], s);
              },
              "上升三法看涨"});
    c.append({"上升三法 6: close below the first",
              [](QString* s) {
                  const QVector<Stock> v = with(kShangSheng6, 5, bar(10.3f, 11.1f, 10.25f, 10.99f));
                  return isShangShengSanFa6(v[5], v[4], v[3], v[2], v[1], v[0], s);
              },
              ""});
    c.append({"下降三法", on(isXiaJiangSanFa, kXiaJiang), "下降三法看跌"});
    {
        QVector<Stock> v = kXiaJiang;
        v[2].high = 10.01f; // above the open of the bar before it
        c.append({"下降三法: high above the open before", on(isXiaJiangSanFa, v), ""});
    }
    c.append({"黑三兵", on(isHeiSanBing, kHeiSanBing), "黑三兵"});
    c.append({"黑三兵: opens step down", on(isHeiSanBing, kHeiSanBingFallingOpens), ""});
    c.append({"黑三兵: one open steps up",
              on(isHeiSanBing, with(kHeiSanBing, 3, bar(10.1f, 10.15f, 9.75f, 9.8f))), "黑三兵"});
    c.append({"三阳开泰", on(isSanYangKaiTai, kSanYang), "三阳开泰看涨"});
    {
        QVector<Stock> v = kSanYang;
        v[2].volume = 200;
        c.append({"三阳开泰: volume not rising", on(isSanYangKaiTai, v), ""});
    }
    c.append({"红三兵", on(isHongSanBing, kHongSanBing), "红三兵"});
    c.append({"红三兵: latest bar falls",
              on(isHongSanBing, with(kHongSanBing, 3, bar(10.7f, 10.75f, 10.45f, 10.5f))), ""});
    c.append({"空方炮", on(isKongFangPao, kKongFangPao), "空方炮"});
    c.append({"空方炮: close at the first close",
              on(isKongFangPao, with(kKongFangPao, 2, bar(10.3f, 10.35f, 9.95f, 10.0f))),
              "空方炮"});
    c.append({"空方炮: close above the first close",
              on(isKongFangPao, with(kKongFangPao, 2, bar(10.3f, 10.35f, 9.95f, 10.01f))), ""});
    c.append({"黄昏之星", on(isHuangHunZhiXing, kHuangHun, 10.5f), "黄昏之星"});
    c.append({"黄昏之星: t at mid", on(isHuangHunZhiXing, kHuangHun, midOf(kHuangHun[2])), ""});
    c.append({"清晨之星", on(isQingChenZhiXing, kQingChen, 10.5f), "清晨之星"});
    c.append({"清晨之星: t at mid", on(isQingChenZhiXing, kQingChen, midOf(kQingChen[2])), ""});
    c.append({"平头底部", on(isPingTouDiBu, kPingTou, 10.5f), "平头底部看涨"});
    {
        QVector<Stock> v = kPingTou;
        v[0].low = 9.805f;
        c.append({"平头底部: lows 0.005 apart", on(isPingTouDiBu, v, 10.5f), "平头底部看涨"});
        v[0].low = 9.82f;
        c.append({"平头底部: lows 0.02 apart", on(isPingTouDiBu, v, 10.5f), ""});
    }
    c.append({"双飞乌鸦", on(isShuangFeiWuYa, kShuangFei), "双飞乌鸦"});
    c.append({"双飞乌鸦: same open",
              on(isShuangFeiWuYa, with(kShuangFei, 2, bar(11.5f, 11.55f, 11.0f, 11.1f))), ""});
    c.append({"旭日东升", on(isXuRiDongSheng, kXuRi, 11.0f), "旭日东升"});
    c.append({"旭日东升: close below the high",
              on(isXuRiDongSheng, with(kXuRi, 1, bar(10.1f, 11.1f, 10.05f, 11.04f)), 11.0f), ""});
    c.append({"看跌母子线", on(isKanDieMuZiXian, kKanDieMuZi, 10.3f), "看跌母子线"});
    c.append(
        {"看跌母子线: t at mid", on(isKanDieMuZiXian, kKanDieMuZi, midOf(kKanDieMuZi[1])), ""});
    c.append({"乌云盖顶", on(isWuYunGaiDing, kWuYun, 10.5f), "乌云盖顶"});
    c.append({"乌云盖顶: open below the high",
              on(isWuYunGaiDing, with(kWuYun, 1, bar(11.04f, 11.1f, 10.35f, 10.4f)), 10.5f), ""});
    c.append({"涨势尽头", on(isZhangShiJinTou, kZhangShi, 10.5f), "涨势尽头"});
    c.append({"涨势尽头: low below the close",
              on(isZhangShiJinTou, with(kZhangShi, 1, bar(10.5f, 10.85f, 10.39f, 10.8f)), 10.5f),
              ""});
    c.append({"倾盆大雨", on(isQingPenDaYu, kQingPen, 10.2f), "倾盆大雨"});
    c.append({"倾盆大雨: close at the open",
              on(isQingPenDaYu, with(kQingPen, 1, bar(10.9f, 10.95f, 9.95f, 10.0f)), 10.2f), ""});
    c.append({"阳吞阴", on(isYangTunYin, kYangTun, 10.6f), "阳吞阴"});
    c.append({"阳吞阴: t at the open", on(isYangTunYin, kYangTun, 10.5f), ""});
    c.append({"阴吞阳", on(isYinTunYang, kYinTun, 10.0f), "阴吞阳"});
    c.append({"阴吞阳: close at the low",
              on(isYinTunYang, with(kYinTun, 1, bar(10.6f, 10.65f, 9.9f, 9.95f)), 10.0f), ""});
    c.append({"穿刺看涨", on(isChuanCiKanZhang, kChuanCi, 10.0f), "穿刺看涨"});
    {
        QVector<Stock> v = kChuanCi;
        v[0].changePercent = -2.0f;
        c.append({"穿刺看涨: down 2.0%", on(isChuanCiKanZhang, v, 10.0f), ""});
    }
    c.append({"阳孕十字", on(isYangYunShiZi, kYangYun, 10.4f), "阳孕十字看跌"});
    c.append({"阳孕十字: high above the close",
              on(isYangYunShiZi, with(kYangYun, 1, bar(10.5f, 11.01f, 10.3f, 10.52f)), 10.4f), ""});
    c.append({"锤子止跌, short shadow", on(isChuiZiZhiDie, kSmallHammer, 10.2f), "锤子止跌"});
    c.append({"锤子止跌: lower shadow too long",
              on(isChuiZiZhiDie, bar(10.0f, 10.5f, 9.9f, 10.1f), 10.2f), ""});
    c.append({"锤子止跌看涨", on(isChuiZiZhiDieKanZhang, kHammer, 10.2f), "锤子止跌看涨"});
    c.append({"锤子止跌看涨: short shadow", on(isChuiZiZhiDieKanZhang, kSmallHammer, 10.2f), ""});
    c.append({"锤子止跌看涨: body too long",
              on(isChuiZiZhiDieKanZhang, bar(10.0f, 10.5f, 10.0f, 10.2f), 10.2f), ""});
    c.append({"看涨母子线", on(isKanZhangMuZiXian, kKanZhangMuZi, 10.5f), "看涨母子线"});
    c.append(
        {"看涨母子线: close at the open",
         on(isKanZhangMuZiXian, with(kKanZhangMuZi, 1, bar(10.2f, 11.05f, 10.15f, 11.0f)), 10.5f),
         ""});
    c.append({"吊颈线", on(isDiaoJingXian, kHangingMan, 10.3f), "吊颈线"});
    c.append({"吊颈线: t at the close", on(isDiaoJingXian, kHangingMan, 10.5f), ""});
    c.append(
        {"吊颈线: short shadow", on(isDiaoJingXian, bar(10.4f, 10.5f, 10.35f, 10.5f), 10.3f), ""});
    c.append({"流星形态", on(isLiuXing, kHammer, 9.9f), "流星形态"});
    c.append({"流星形态: t above mid", on(isLiuXing, kHammer, 10.2f), ""});
    const Stock bigFall = bar(10.5f, 10.55f, 9.45f, 9.5f, 0, -5.0f);
    c.append({"大阴线 at -5%, t at the close", on(isDaYinXian, bigFall, 9.5f), "大阴线"});
    c.append({"大阴线: t below the close", on(isDaYinXian, bigFall, 9.49f), ""});
    {
        Stock b = bigFall;
        b.changePercent = -4.99f;
        c.append({"大阴线: down 4.99%", on(isDaYinXian, b, 9.5f), ""});
    }
    c.append({"大阳线", on(isDaYangXian, {flat(10), bar(10.2f, 15.6f, 10.15f, 15.5f)}), "大阳线"});
    c.append({"大阳线: close at 1.5 x",
              on(isDaYangXian, {flat(10), bar(10.2f, 15.1f, 10.15f, 15.0f)}), ""});
    const Stock before = bar(9.8f, 10.0f, 9.7f, 9.9f);
    c.append({"跳空高开缺口", on(isTiaoKongGaoKai, {before, bar(10.3f, 10.5f, 10.3f, 10.4f)}),
              "跳空高开缺口"});
    c.append({"跳空高开缺口: low at 1.02 x",
              on(isTiaoKongGaoKai, {before, bar(10.3f, 10.5f, 10.2f, 10.4f)}), ""});
    return c;
}

// One series per category: the pattern after filler bars that set t.
struct CategoryCase {
    int category;
    float filler;
    QVector<Stock> pattern;
    QString name;
};

QVector<CategoryCase> categoryCases() {
    return {
        {0, kHighFill, kXuRi, "旭日东升"},
        {1, kMidFill, kHongSanBing, "红三兵"},
        {2, kHighFill, kYangTun, "阳吞阴"},
        {4, kHighFill, kQingChen, "清晨之星"},
        {5, kLowFill, kChuanCi, "穿刺看涨"},
        {6, kHighFill, kPingTou, "平头底部看涨"},
        {7, kMidFill, kShangSheng6, "上升三法看涨"},
        {8, kMidFill, kSanYang, "三阳开泰看涨"},
        {9, kHighFill, {kSmallHammer}, "锤子止跌"},
        {10, kHighFill, {kHammer}, "锤子止跌看涨"},
        {11, kHighFill, kKanZhangMuZi, "看涨母子线"},
        {20, kLowFill, kYinTun, "阴吞阳"},
        {21, kLowFill, kQingPen, "倾盆大雨"},
        {22, kLowFill, kWuYun, "乌云盖顶"},
        {23, kLowFill, kZhangShi, "涨势尽头"},
        {24, kMidFill, kKongFangPao, "空方炮"},
        {25, kLowFill, kHuangHun, "黄昏之星"},
        {26, kMidFill, kXiaJiang, "下降三法看跌"},
        {27, kMidFill, kHeiSanBing, "黑三兵"},
        {28, kLowFill, kYangYun, "阳孕十字看跌"},
        {29, kMidFill, kShuangFei, "双飞乌鸦"},
        {30, kLowFill, {kHangingMan}, "吊颈线"},
        {31, kLowFill, {kHammer}, "流星形态"},
        {32, kLowFill, kKanDieMuZi, "看跌母子线"},
        {97, kHighFill, {bar(10.5f, 10.55f, 9.45f, 9.5f, 0, -5.0f)}, "大阴线"},
        {98, kMidFill, {bar(10.2f, 15.6f, 10.15f, 15.5f)}, "大阳线"},
        {99, kMidFill, {bar(10.3f, 10.5f, 10.3f, 10.4f)}, "跳空高开缺口"},
    };
}

} // namespace

Q_DECLARE_METATYPE(Predicate)

class TestCandlePatterns : public QObject {
    Q_OBJECT
private slots:
    void barShape();
    void shadowRatioValues_data();
    void shadowRatioValues();

    void predicates_data();
    void predicates();

    void categories_data();
    void categories();
    void categoryNeedsNineBars();
    void unlistedCategories();
    void risingThreeMethodsSixThenFive();

    void bullishPatterns();
    void fallingPatternInRange();

    void scanner_data();
    void scanner();
    void scannerNeedsTwentyOneBars();
};

void TestCandlePatterns::barShape() {
    QVERIFY(isSolidBar(kLongBull));                         // body 1.0 > shadows 0.1
    QVERIFY(!isSolidBar(bar(10.0f, 10.75f, 9.75f, 10.5f))); // body 0.5 = shadows 0.5
    QVERIFY(!isSolidBar(flat(10)));

    QVERIFY(isLowUpperShadowBar(bar(10.0f, 10.52f, 9.5f, 10.5f)));
    QVERIFY(!isLowUpperShadowBar(bar(10.0f, 10.56f, 9.5f, 10.5f)));  // upper shadow 0.06
    QVERIFY(isLowUpperShadowBar(bar(10.0f, 10.5f, 7.0f, 10.5f)));    // 3.0 <= 6 x 0.5
    QVERIFY(!isLowUpperShadowBar(bar(10.0f, 10.5f, 6.9f, 10.5f)));   // 3.1 > 3.0
    QVERIFY(!isLowUpperShadowBar(bar(10.5f, 10.52f, 10.0f, 10.0f))); // falling
}

void TestCandlePatterns::shadowRatioValues_data() {
    QTest::addColumn<Stock>("b");
    QTest::addColumn<float>("ratio");
    QTest::newRow("tiny bar") << bar(10.0f, 10.06f, 9.95f, 10.01f) << 0.0f;    // 0.01, 0.1
    QTest::newRow("short body") << bar(10.0f, 10.16f, 9.85f, 10.01f) << 30.0f; // 0.01, 0.3
    QTest::newRow("ordinary") << bar(10.0f, 10.75f, 9.75f, 10.5f) << 1.0f;     // 0.5, 0.5
    QTest::newRow("doji, long shadows")
        << bar(10.0f, 10.1f, 9.9f, 10.0f) << std::numeric_limits<float>::infinity();
    QTest::newRow("doji, short shadows") << bar(10.0f, 10.05f, 9.95f, 10.0f) << 0.0f;
}

void TestCandlePatterns::shadowRatioValues() {
    QFETCH(Stock, b);
    QFETCH(float, ratio);
    const float actual = shadowRatio(b);
    if (std::isinf(ratio))
        QVERIFY(std::isinf(actual));
    else
        QVERIFY2(std::fabs(actual - ratio) < 0.01f, qPrintable(QString::number(actual)));
}

void TestCandlePatterns::predicates_data() {
    QTest::addColumn<Predicate>("predicate");
    QTest::addColumn<QString>("name");
    for (const PredicateCase& c : predicateCases())
        QTest::newRow(qPrintable(c.tag)) << c.run << c.name;
}

void TestCandlePatterns::predicates() {
    QFETCH(Predicate, predicate);
    QFETCH(QString, name);
    QString text = "untouched";
    QCOMPARE(predicate(&text), !name.isEmpty());
    // The name is written only on a match.
    QCOMPARE(text, name.isEmpty() ? QString("untouched") : name);
    QCOMPARE(predicate(nullptr), !name.isEmpty());
}

void TestCandlePatterns::categories_data() {
    QTest::addColumn<int>("category");
    QTest::addColumn<QVector<Stock>>("bars");
    QTest::addColumn<QString>("name");
    for (const CategoryCase& c : categoryCases())
        QTest::newRow(qPrintable(QString::number(c.category)))
            << c.category << padded(c.filler, c.pattern) << c.name;
}

void TestCandlePatterns::categories() {
    QFETCH(int, category);
    QFETCH(QVector<Stock>, bars);
    QFETCH(QString, name);
    QString text;
    QVERIFY(matchCandlePattern(category, bars, &text));
    QCOMPARE(text, name);
    // No pattern is found on flat bars, whatever t.
    QVERIFY(!matchCandlePattern(category, flats(20, 10), &text));
    QVERIFY(!matchCandlePattern(3, bars, &text));
}

void TestCandlePatterns::categoryNeedsNineBars() {
    // A gap up and a big rising bar at the end; 8 bars are too few.
    const QVector<Stock> eight = flats(7, 10) + QVector<Stock>{bar(10.3f, 15.6f, 10.3f, 15.5f)};
    const QVector<Stock> nine = QVector<Stock>{flat(10)} + eight;
    for (int category = -1; category <= 100; ++category)
        QVERIFY2(!matchCandlePattern(category, eight, nullptr),
                 qPrintable(QString::number(category)));
    QVERIFY(matchCandlePattern(98, nine, nullptr));
    QVERIFY(matchCandlePattern(99, nine, nullptr));
}

void TestCandlePatterns::unlistedCategories() {
    for (const CategoryCase& c : categoryCases()) {
        const QVector<Stock> bars = padded(c.filler, c.pattern);
        for (int category : {-1, 3, 12, 19, 33, 39, 96, 100}) {
            QString text = "untouched";
            QVERIFY(!matchCandlePattern(category, bars, &text));
            QCOMPARE(text, QString("untouched"));
        }
    }
}

void TestCandlePatterns::risingThreeMethodsSixThenFive() {
    QString text;
    // Six bars do not hold (the first of them is flat), five do.
    QVERIFY(matchCandlePattern(7, padded(kMidFill, kShangSheng5), &text));
    QCOMPARE(text, QString("上升三法看涨"));
    // Neither: six bars close below their first close; the five latest
    // start with a falling bar.
    QVERIFY(!matchCandlePattern(
        7, padded(kMidFill, with(kShangSheng6, 5, bar(10.3f, 11.1f, 10.25f, 10.99f))), &text));
}

void TestCandlePatterns::bullishPatterns() {
    // A long upper shadow matches both hammers (9, 10); 9 comes first among
    // the preferred.
    const QVector<Stock> hammer = padded(kHighFill, {kHammer});
    QString text;
    QVERIFY(hasBullishCandlePattern(hammer, &text, true));
    QCOMPARE(text, QString("锤子止跌"));
    text = "untouched";
    QVERIFY(hasBullishCandlePattern(hammer, &text, false));
    QCOMPARE(text, QString("untouched"));

    // Red soldiers (category 1) are not among the preferred patterns.
    const QVector<Stock> soldiers = padded(kMidFill, kHongSanBing);
    QVERIFY(!hasBullishCandlePattern(soldiers, &text, true));
    QCOMPARE(text, QString("untouched"));
    QVERIFY(hasBullishCandlePattern(soldiers, &text, false));

    QVERIFY(!hasBullishCandlePattern(flats(20, 10), &text, true));
    QVERIFY(!hasBullishCandlePattern(flats(20, 10), &text, false));
    // A falling pattern is no rising one.
    QVERIFY(!hasBullishCandlePattern(padded(kLowFill, kYinTun), &text, false));
}

void TestCandlePatterns::fallingPatternInRange() {
    QVERIFY(hasCandlePatternInRange(padded(kLowFill, kYinTun)));
    QVERIFY(hasCandlePatternInRange(padded(kMidFill, kKongFangPao)));
    QVERIFY(!hasCandlePatternInRange(flats(20, 10)));
    QVERIFY(!hasCandlePatternInRange(padded(kMidFill, kHongSanBing)));
    // Black soldiers whose opens step down are no pattern at all.
    QVERIFY(!hasCandlePatternInRange(padded(kMidFill, kHeiSanBingFallingOpens)));
    QVERIFY(!hasCandlePatternInRange(flats(6, 10) + kYinTun)); // 9 bars needed
}

void TestCandlePatterns::scanner_data() {
    QTest::addColumn<QVector<Stock>>("bars");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("comment");

    auto series = [](float filler, const QVector<Stock>& pattern) {
        return flats(21 - pattern.size(), filler) + pattern;
    };
    QTest::newRow("上升三法") << series(kMidFill, kShangSheng5) << 0 << "上升三法看涨";
    QTest::newRow("下降三法") << series(kMidFill, kXiaJiang) << 0 << "下降三法看跌";
    QTest::newRow("黑三兵") << series(kMidFill, kHeiSanBing) << 0 << "黑三兵";
    // Without the opens stepping up there is no name to report: nothing.
    QTest::newRow("黑三兵, opens step down")
        << series(kMidFill, kHeiSanBingFallingOpens) << -1 << "";
    QTest::newRow("三阳开泰") << series(kMidFill, kSanYang) << 0 << "三阳开泰看涨";
    QTest::newRow("红三兵") << series(kMidFill, kHongSanBing) << 0 << "红三兵";
    QTest::newRow("空方炮") << series(kMidFill, kKongFangPao) << 1 << "空方炮";
    QTest::newRow("黄昏之星") << series(kMidFill, kHuangHun) << 1 << "黄昏之星";
    QTest::newRow("清晨之星") << series(kHighFill, kQingChen) << 0 << "清晨之星";
    QTest::newRow("平头底部") << series(kHighFill, kPingTou) << 0 << "平头底部看涨";
    QTest::newRow("双飞乌鸦") << series(kMidFill, kShuangFei) << 1 << "双飞乌鸦";
    QTest::newRow("旭日东升") << series(kHighFill, kXuRi) << 0 << "旭日东升";
    QTest::newRow("看跌母子线") << series(kMidFill, kKanDieMuZi) << 0 << "看跌母子线";
    // The falling-inside-a-rising-bar row comes first: a dark cloud or a
    // downpour that opens above the rising bar's open and closes below its
    // close is reported as that, and so is every falling engulfing bar.
    QTest::newRow("乌云盖顶 inside the bar before")
        << series(kLowFill, kWuYun) << 0 << "看跌母子线";
    QTest::newRow("乌云盖顶") << series(kLowFill, {kLongBull, bar(12.0f, 12.05f, 11.05f, 11.1f)})
                              << 1 << "乌云盖顶";
    QTest::newRow("涨势尽头") << series(kLowFill, kZhangShi) << 1 << "涨势尽头";
    QTest::newRow("倾盆大雨 inside the bar before")
        << series(kLowFill, kQingPen) << 0 << "看跌母子线";
    QTest::newRow("倾盆大雨") << series(kLowFill, {kLongBull, bar(10.0f, 10.05f, 9.35f, 9.4f)}) << 1
                              << "倾盆大雨";
    QTest::newRow("阳吞阴") << series(kHighFill, kYangTun) << 0 << "阳吞阴";
    QTest::newRow("阴吞阳") << series(kLowFill, kYinTun) << 0 << "看跌母子线";
    QTest::newRow("穿刺看涨") << series(kLowFill, kChuanCi) << 0 << "穿刺看涨";
    QTest::newRow("阳孕十字") << series(kLowFill, kYangYun) << 0 << "阳孕十字看跌";
    // Both hammers hold for a long upper shadow: the first is reported.
    QTest::newRow("锤子止跌") << series(kHighFill, {kHammer}) << 0 << "锤子止跌";
    QTest::newRow("看涨母子线") << series(kHighFill, kKanZhangMuZi) << 0 << "看涨母子线";
    QTest::newRow("吊颈线") << series(kLowFill, {kHangingMan}) << 0 << "吊颈线";
    QTest::newRow("flat") << flats(30, 10) << -1 << "";
}

void TestCandlePatterns::scanner() {
    QFETCH(QVector<Stock>, bars);
    QFETCH(int, code);
    QFETCH(QString, comment);
    StockKScanner scanner;
    QStringList found{"earlier"};
    QCOMPARE(scanner.scan(nullptr, bars, &found), code);
    const QStringList expected =
        comment.isEmpty() ? QStringList{"earlier"} : QStringList{"earlier", comment};
    QCOMPARE(found, expected);
    QCOMPARE(scanner.typeId(), 2);
}

void TestCandlePatterns::scannerNeedsTwentyOneBars() {
    StockKScanner scanner;
    QStringList found;
    QCOMPARE(scanner.scan(nullptr, flats(15, kMidFill) + kShangSheng5, &found), -1);
    QVERIFY(found.isEmpty());
    QCOMPARE(scanner.scan(nullptr, flats(16, kMidFill) + kShangSheng5, &found), 0);
}

QTEST_APPLESS_MAIN(TestCandlePatterns)
#include "tst_candlepatterns.moc"
