#include "analysis/screens/candlepatterns.h"

#include "analysis/indicators/manindicator.h"

#include <QtGlobal>

#include <cmath>

namespace {

float top(const Stock& b) {
    return qMax(b.open, b.close);
}
float bottom(const Stock& b) {
    return qMin(b.open, b.close);
}
float body(const Stock& b) {
    return top(b) - bottom(b);
}
float upperShadow(const Stock& b) {
    return b.high - top(b);
}
float lowerShadow(const Stock& b) {
    return bottom(b) - b.low;
}
float mid(const Stock& b) {
    return (b.open + b.close) * 0.5f;
}
bool bull(const Stock& b) {
    return b.open < b.close;
}
bool bear(const Stock& b) {
    return b.open > b.close;
}

bool found(QString* text, const char* name) {
    if (text)
        *text = QString::fromUtf8(name);
    return true;
}

// Hammer shape: a long upper shadow of at least minUpper, hardly any lower
// shadow and a small body.
bool hammerShape(const Stock& b0, float minUpper) {
    const float upper = upperShadow(b0);
    return upper >= minUpper && lowerShadow(b0) <= upper / 5.0f && body(b0) <= 0.49f * upper;
}

} // namespace

bool isSolidBar(const Stock& b) {
    return body(b) > upperShadow(b) + lowerShadow(b);
}

float shadowRatio(const Stock& b) {
    const float bodyLength = body(b);
    const float shadows = upperShadow(b) + lowerShadow(b);
    if (double(bodyLength) < 0.02 && double(shadows) < 0.2)
        return 0.0f;
    return shadows / bodyLength;
}

bool isShangShengSanFa(const Stock& b0, const Stock& b1, const Stock& b2, const Stock& b3,
                       const Stock& b4, QString* text) {
    if (!isSolidBar(b0) || !bull(b4) || !(b4.changePercent > 3.6f))
        return false;
    if (bull(b3) && bull(b2) && !(b1.open >= b3.close))
        return false;
    if (!bull(b0) || !(b0.close > b4.close))
        return false;
    if (!(b4.low <= b1.low && b4.low <= b2.low && b4.low <= b3.low))
        return false;
    if (!(b3.close <= b4.close && b2.close <= b3.close && b1.close <= b2.close))
        return false;
    return found(text, "上升三法看涨");
}

bool isShangShengSanFa6(const Stock& b0, const Stock& b1, const Stock& b2, const Stock& b3,
                        const Stock& b4, const Stock& b5, QString* text) {
    if (!isSolidBar(b0) || !bull(b5) || !(b5.changePercent > 3.6f))
        return false;
    if (bull(b4) && bull(b3) && bull(b2) && !(b1.open >= b3.close))
        return false;
    if (!bull(b0) || !(b0.close >= b5.close))
        return false;
    if (!(b5.low <= b1.low && b5.low <= b2.low && b5.low <= b3.low && b5.low <= b4.low))
        return false;
    if (!(b4.close <= b5.close && b3.close <= b4.close && b2.close <= b3.close &&
          b1.close <= b2.close))
        return false;
    return found(text, "上升三法看涨");
}

bool isXiaJiangSanFa(const Stock& b0, const Stock& b1, const Stock& b2, const Stock& b3,
                     const Stock& b4, QString* text) {
    if (!isSolidBar(b0) || !isSolidBar(b1) || !isSolidBar(b2) || !isSolidBar(b3))
        return false;
    if (!bear(b0) || !bull(b1) || !bull(b2) || !bull(b3) || !bear(b4))
        return false;
    if (!(b4.close > b1.close && b4.close > b2.close && b4.close > b3.close))
        return false;
    if (!(b2.low <= b1.low && b3.low <= b2.low && b4.low <= b3.low))
        return false;
    if (!(b4.close >= b0.close && b4.open >= b1.high && b3.open >= b2.high && b4.open >= b3.high))
        return false;
    return found(text, "下降三法看跌");
}

bool isHeiSanBing(const Stock& b0, const Stock& b1, const Stock& b2, const Stock& b3,
                  QString* text) {
    if (!isSolidBar(b0) || !isSolidBar(b1) || !isSolidBar(b2) || !isSolidBar(b3))
        return false;
    if (!(b3.close > b3.open) || !bear(b0) || !bear(b1) || !bear(b2))
        return false;
    if (!(b0.close > b1.close && b1.close > b2.close))
        return false;
    // The opens must step up too; without that the pattern has no name to
    // report and an empty comment would be produced.
    if (!(b0.open > b1.open || b1.open > b2.open))
        return false;
    return found(text, "黑三兵");
}

bool isSanYangKaiTai(const Stock& b0, const Stock& b1, const Stock& b2, QString* text) {
    if (!isSolidBar(b0) || !isSolidBar(b1) || !isSolidBar(b2))
        return false;
    if (!bull(b0) || !bull(b1) || !bull(b2))
        return false;
    if (!(b2.high < b1.high && b1.high < b0.high))
        return false;
    if (!(b1.close < b0.open && b2.close < b1.open))
        return false;
    if (!(b2.low < b1.low && b1.low < b0.low))
        return false;
    if (!(b2.volume < b1.volume && b1.volume < b0.volume))
        return false;
    return found(text, "三阳开泰看涨");
}

bool isHongSanBing(const Stock& b0, const Stock& b1, const Stock& b2, const Stock& b3,
                   QString* text) {
    if (!(b3.close < b2.close && b2.close < b1.close && b1.close < b0.close))
        return false;
    if (!bull(b2) || !bull(b1) || !bull(b0))
        return false;
    if (!(b3.open < b2.open && b2.open < b1.open && b1.open < b0.open))
        return false;
    if (!isSolidBar(b0) || !isSolidBar(b1) || !isSolidBar(b2))
        return false;
    return found(text, "红三兵");
}

bool isKongFangPao(const Stock& b0, const Stock& b1, const Stock& b2, QString* text) {
    if (!bear(b2) || !bull(b1) || !bear(b0))
        return false;
    if (!(b0.close <= b2.close && b0.close >= b1.close))
        return false;
    return found(text, "空方炮");
}

bool isHuangHunZhiXing(const Stock& b0, const Stock& b1, const Stock& b2, float t, QString* text) {
    if (!isSolidBar(b2) || !bull(b2) || !(b1.open > b2.close) || isSolidBar(b1))
        return false;
    if (!(b0.close < b2.close) || !isSolidBar(b0) || !(b0.open <= b1.close))
        return false;
    if (!(shadowRatio(b1) >= 3.0f) || !(t < mid(b0)))
        return false;
    return found(text, "黄昏之星");
}

bool isQingChenZhiXing(const Stock& b0, const Stock& b1, const Stock& b2, float t, QString* text) {
    if (!isSolidBar(b2) || !bear(b2) || !(b1.open <= b2.close) || isSolidBar(b1))
        return false;
    if (!(shadowRatio(b1) >= 3.0f) || !(b1.high <= b2.close) || !(b0.open >= b1.high))
        return false;
    if (!isSolidBar(b0) || !bull(b0) || !(t > mid(b0)))
        return false;
    return found(text, "清晨之星");
}

bool isPingTouDiBu(const Stock& b0, const Stock& b1, const Stock& b2, float t, QString* text) {
    if (!isSolidBar(b1) || !(std::fabs(b1.low - b2.low) < 0.01f))
        return false;
    if (!bear(b2) || !bear(b1) || !(b1.close > b2.open))
        return false;
    if (!bull(b0) || !(b0.close > b2.close) || !(b0.low >= b1.low) || !(t > mid(b0)))
        return false;
    return found(text, "平头底部看涨");
}

bool isShuangFeiWuYa(const Stock& b0, const Stock& b1, const Stock& b2, QString* text) {
    if (!isSolidBar(b2) || !bull(b2) || !bear(b1) || !(b2.close <= b1.close))
        return false;
    if (!bear(b0) || !(b0.open > b1.open) || !(b0.close < b1.close))
        return false;
    return found(text, "双飞乌鸦");
}

bool isXuRiDongSheng(const Stock& b0, const Stock& b1, float t, QString* text) {
    if (!bull(b0) || !bear(b1) || !(b0.open < b1.open) || !(b0.close >= b1.high))
        return false;
    if (!isSolidBar(b0) || !isSolidBar(b1) || !(t > mid(b0)))
        return false;
    return found(text, "旭日东升");
}

bool isKanDieMuZiXian(const Stock& b0, const Stock& b1, float t, QString* text) {
    if (!bull(b1) || !(b0.close < b1.close) || !(b0.open > b1.open))
        return false;
    if (!bear(b0) || !(t < mid(b0)))
        return false;
    return found(text, "看跌母子线");
}

bool isWuYunGaiDing(const Stock& b0, const Stock& b1, float t, QString* text) {
    if (!isSolidBar(b1) || !bull(b1) || !(b0.open > b1.close) || !bear(b0))
        return false;
    if (!isSolidBar(b0) || !(b0.open >= b1.high) || !(t < mid(b0)))
        return false;
    return found(text, "乌云盖顶");
}

bool isZhangShiJinTou(const Stock& b0, const Stock& b1, float t, QString* text) {
    if (isSolidBar(b1) || !bull(b1))
        return false;
    if (!(upperShadow(b1) >= lowerShadow(b1)) || !(lowerShadow(b1) < body(b1)))
        return false;
    if (!(b0.high <= b1.high) || !isSolidBar(b0) || !(b0.low >= b1.close) || !(t < mid(b0)))
        return false;
    return found(text, "涨势尽头");
}

bool isQingPenDaYu(const Stock& b0, const Stock& b1, float t, QString* text) {
    if (!isSolidBar(b1) || !bull(b1) || !(b0.open < b1.close))
        return false;
    if (!isSolidBar(b0) || !bear(b0) || !(b0.close < b1.open) || !(t < mid(b0)))
        return false;
    return found(text, "倾盆大雨");
}

bool isYangTunYin(const Stock& b0, const Stock& b1, float t, QString* text) {
    if (!isSolidBar(b1) || !isSolidBar(b0) || !bear(b1) || !bull(b0))
        return false;
    if (!(b0.close > b1.open) || !(b0.open >= b1.open) || !(b0.close > b1.high))
        return false;
    if (!(t > b0.open))
        return false;
    return found(text, "阳吞阴");
}

bool isYinTunYang(const Stock& b0, const Stock& b1, float t, QString* text) {
    if (!isSolidBar(b1) || !isSolidBar(b0) || !bull(b1))
        return false;
    if (!(b0.open > b1.close) || !(b0.close < b1.open))
        return false;
    if (!(b0.open > b1.high) || !(b0.close < b1.low) || !(t < mid(b0)))
        return false;
    return found(text, "阴吞阳");
}

bool isChuanCiKanZhang(const Stock& b0, const Stock& b1, float t, QString* text) {
    if (!isSolidBar(b1) || !(b1.changePercent < -2.0f) || !bear(b1) || !bull(b0))
        return false;
    if (!(b0.open <= b1.close) || !isSolidBar(b0) || !(b0.close < b1.open) || !(t < mid(b0)))
        return false;
    return found(text, "穿刺看涨");
}

bool isYangYunShiZi(const Stock& b0, const Stock& b1, float t, QString* text) {
    if (!isSolidBar(b1) || !bull(b1))
        return false;
    if (!(b0.low >= b1.open) || !(b0.high <= b1.close) || isSolidBar(b0) || !(t < mid(b0)))
        return false;
    return found(text, "阳孕十字看跌");
}

bool isChuiZiZhiDie(const Stock& b0, float t, QString* text) {
    if (!hammerShape(b0, 0.01f) || !(t > mid(b0)))
        return false;
    return found(text, "锤子止跌");
}

bool isChuiZiZhiDieKanZhang(const Stock& b0, float t, QString* text) {
    if (!hammerShape(b0, 0.1f) || !(t > mid(b0)))
        return false;
    return found(text, "锤子止跌看涨");
}

bool isLiuXing(const Stock& b0, float t, QString* text) {
    if (!hammerShape(b0, 0.1f) || !(t < mid(b0)))
        return false;
    return found(text, "流星形态");
}

bool isKanZhangMuZiXian(const Stock& b0, const Stock& b1, float t, QString* text) {
    if (!isSolidBar(b0) || !bear(b1) || !bull(b0))
        return false;
    if (!(b0.open > b1.close) || !(b0.close < b1.open) || !(t > mid(b0)))
        return false;
    return found(text, "看涨母子线");
}

bool isDiaoJingXian(const Stock& b0, float t, QString* text) {
    const float lower = lowerShadow(b0);
    if (!(lower >= 0.1f) || !(upperShadow(b0) <= lower / 5.0f) || !(body(b0) <= 0.49f * lower))
        return false;
    if (!(t < mid(b0)))
        return false;
    return found(text, "吊颈线");
}

bool isDaYinXian(const Stock& b0, float t, QString* text) {
    if (!(b0.changePercent <= -5.0f) || !(t >= b0.close))
        return false;
    return found(text, "大阴线");
}

bool isDaYangXian(const Stock& b0, const Stock& b1, QString* text) {
    if (!isSolidBar(b0) || !(b0.close > 1.5f * b1.close))
        return false;
    return found(text, "大阳线");
}

bool isTiaoKongGaoKai(const Stock& b0, const Stock& b1, QString* text) {
    if (!(b0.low > 1.02f * b1.high))
        return false;
    return found(text, "跳空高开缺口");
}

bool isLowUpperShadowBar(const Stock& b0) {
    return b0.high - b0.close < 0.05f && bull(b0) &&
           b0.open - b0.low <= 6.0f * (b0.close - b0.open);
}

float latestCloseAverage5(const QVector<Stock>& bars) {
    // The average at the latest bar depends on the last five bars only.
    MaNIndicator ma5(5);
    IndicatorValue value;
    for (int i = qMax(0, bars.size() - 5); i < bars.size(); ++i)
        value = ma5.push(bars.at(i));
    return value.value1;
}

bool matchCandlePattern(int category, const QVector<Stock>& bars, QString* text) {
    const int size = bars.size();
    if (size < 9)
        return false;
    const float t = latestCloseAverage5(bars);
    const Stock& b0 = bars.at(size - 1);
    const Stock& b1 = bars.at(size - 2);
    const Stock& b2 = bars.at(size - 3);
    const Stock& b3 = bars.at(size - 4);
    const Stock& b4 = bars.at(size - 5);
    const Stock& b5 = bars.at(size - 6);

    switch (category) {
    case 0:
        return isXuRiDongSheng(b0, b1, t, text);
    case 1:
        return isHongSanBing(b0, b1, b2, b3, text);
    case 2:
        return isYangTunYin(b0, b1, t, text);
    case 4:
        return isQingChenZhiXing(b0, b1, b2, t, text);
    case 5:
        return isChuanCiKanZhang(b0, b1, t, text);
    case 6:
        return isPingTouDiBu(b0, b1, b2, t, text);
    case 7:
        return isShangShengSanFa6(b0, b1, b2, b3, b4, b5, text) ||
               isShangShengSanFa(b0, b1, b2, b3, b4, text);
    case 8:
        return isSanYangKaiTai(b0, b1, b2, text);
    case 9:
        return isChuiZiZhiDie(b0, t, text);
    case 10:
        return isChuiZiZhiDieKanZhang(b0, t, text);
    case 11:
        return isKanZhangMuZiXian(b0, b1, t, text);
    case 20:
        return isYinTunYang(b0, b1, t, text);
    case 21:
        return isQingPenDaYu(b0, b1, t, text);
    case 22:
        return isWuYunGaiDing(b0, b1, t, text);
    case 23:
        return isZhangShiJinTou(b0, b1, t, text);
    case 24:
        return isKongFangPao(b0, b1, b2, text);
    case 25:
        return isHuangHunZhiXing(b0, b1, b2, t, text);
    case 26:
        return isXiaJiangSanFa(b0, b1, b2, b3, b4, text);
    case 27:
        return isHeiSanBing(b0, b1, b2, b3, text);
    case 28:
        return isYangYunShiZi(b0, b1, t, text);
    case 29:
        return isShuangFeiWuYa(b0, b1, b2, text);
    case 30:
        return isDiaoJingXian(b0, t, text);
    case 31:
        return isLiuXing(b0, t, text);
    case 32:
        return isKanDieMuZiXian(b0, b1, t, text);
    case 97:
        return isDaYinXian(b0, t, text);
    case 98:
        return isDaYangXian(b0, b1, text);
    case 99:
        return isTiaoKongGaoKai(b0, b1, text);
    default:
        return false;
    }
}

bool hasBullishCandlePattern(const QVector<Stock>& bars, QString* text, bool preferredOnly) {
    if (preferredOnly) {
        for (int category : {2, 11, 5, 9, 0, 4, 10}) {
            if (matchCandlePattern(category, bars, text))
                return true;
        }
        return false;
    }
    for (int category = 0; category <= 19; ++category) {
        QString name;
        if (matchCandlePattern(category, bars, &name))
            return true;
    }
    return false;
}

bool hasCandlePatternInRange(const QVector<Stock>& bars) {
    for (int category = 20; category <= 39; ++category) {
        QString name;
        if (matchCandlePattern(category, bars, &name))
            return true;
    }
    return false;
}
