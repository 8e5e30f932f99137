#pragma once

#include "core/stock.h"

#include <QString>
#include <QVector>

// Candlestick patterns at the end of a daily series. b0 is the latest bar,
// b1 the one before it, and so on. t is the 5-bar average close at the latest
// bar. Each predicate writes the pattern's name into *text only when it
// returns true; text may be null.

// The body is longer than both shadows together.
bool isSolidBar(const Stock& b);
// (upper + lower shadow) / body; 0 for a tiny bar (body < 0.02 and shadows
// < 0.2); infinite for a doji with shadows of at least 0.2.
float shadowRatio(const Stock& b);

// Rising patterns.
bool isShangShengSanFa(const Stock& b0, const Stock& b1, const Stock& b2, const Stock& b3,
                       const Stock& b4, QString* text); // 上升三法看涨, five bars
bool isShangShengSanFa6(const Stock& b0, const Stock& b1, const Stock& b2, const Stock& b3,
                        const Stock& b4, const Stock& b5, QString* text); // six bars
bool isSanYangKaiTai(const Stock& b0, const Stock& b1, const Stock& b2, QString* text);
bool isHongSanBing(const Stock& b0, const Stock& b1, const Stock& b2, const Stock& b3,
                   QString* text);
bool isQingChenZhiXing(const Stock& b0, const Stock& b1, const Stock& b2, float t, QString* text);
bool isPingTouDiBu(const Stock& b0, const Stock& b1, const Stock& b2, float t, QString* text);
bool isXuRiDongSheng(const Stock& b0, const Stock& b1, float t, QString* text);
bool isYangTunYin(const Stock& b0, const Stock& b1, float t, QString* text);
bool isChuanCiKanZhang(const Stock& b0, const Stock& b1, float t, QString* text);
bool isChuiZiZhiDie(const Stock& b0, float t, QString* text);
bool isChuiZiZhiDieKanZhang(const Stock& b0, float t, QString* text);
bool isKanZhangMuZiXian(const Stock& b0, const Stock& b1, float t, QString* text);

// Falling patterns (and the few that the comment screen reports as code 0
// although their names say falling).
bool isXiaJiangSanFa(const Stock& b0, const Stock& b1, const Stock& b2, const Stock& b3,
                     const Stock& b4, QString* text);
bool isHeiSanBing(const Stock& b0, const Stock& b1, const Stock& b2, const Stock& b3,
                  QString* text);
bool isKongFangPao(const Stock& b0, const Stock& b1, const Stock& b2, QString* text);
bool isHuangHunZhiXing(const Stock& b0, const Stock& b1, const Stock& b2, float t, QString* text);
bool isShuangFeiWuYa(const Stock& b0, const Stock& b1, const Stock& b2, QString* text);
bool isKanDieMuZiXian(const Stock& b0, const Stock& b1, float t, QString* text);
bool isWuYunGaiDing(const Stock& b0, const Stock& b1, float t, QString* text);
bool isZhangShiJinTou(const Stock& b0, const Stock& b1, float t, QString* text);
bool isQingPenDaYu(const Stock& b0, const Stock& b1, float t, QString* text);
bool isYinTunYang(const Stock& b0, const Stock& b1, float t, QString* text);
bool isYangYunShiZi(const Stock& b0, const Stock& b1, float t, QString* text);
bool isDiaoJingXian(const Stock& b0, float t, QString* text);
bool isLiuXing(const Stock& b0, float t, QString* text);

// Single-bar and gap patterns.
bool isDaYinXian(const Stock& b0, float t, QString* text);
bool isDaYangXian(const Stock& b0, const Stock& b1, QString* text);
bool isTiaoKongGaoKai(const Stock& b0, const Stock& b1, QString* text);

// A rising bar with almost no upper shadow and a short lower one.
bool isLowUpperShadowBar(const Stock& b0);

// The 5-bar average close at the latest bar (0 with fewer than 5 bars).
float latestCloseAverage5(const QVector<Stock>& bars);

// One pattern by category: 0-19 rising, 20-39 falling, 97 big falling bar,
// 98 big rising bar, 99 gap up. Unlisted categories and series of fewer than
// 9 bars give false.
bool matchCandlePattern(int category, const QVector<Stock>& bars, QString* text);

// preferredOnly: the favoured rising patterns, writing the first match's name
// into *text. Otherwise any rising pattern; text is left alone.
bool hasBullishCandlePattern(const QVector<Stock>& bars, QString* text, bool preferredOnly);

// Any falling pattern (categories 20-39) at the end of the series.
bool hasCandlePatternInRange(const QVector<Stock>& bars);
