#include "analysis/klinerange.h"

#include "tests/analysis/klinebars.h"

#include <QtTest>

#include <cmath>
#include <limits>

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

Stock ohlc(float open, float high, float low, float close) {
    Stock s;
    s.open = open;
    s.high = high;
    s.low = low;
    s.close = close;
    return s;
}

// Bars whose low equals the close unless given.
using klinebars::closes;

IndicatorValue value(float v1, float v2) {
    IndicatorValue v;
    v.valid = true;
    v.value1 = v1;
    v.value2 = v2;
    return v;
}

} // namespace

Q_DECLARE_METATYPE(IndicatorValue)

class TestKLineRange : public QObject {
    Q_OBJECT
private slots:
    void lowest_data();
    void lowest();
    void highest_data();
    void highest();
    void badRangeLeavesValue_data();
    void badRangeLeavesValue();
    void average();
    void highestLowest();
    void cumulativeChange();
    void gapDown_data();
    void gapDown();
    void lastValuesBelow_data();
    void lastValuesBelow();
    void closeAbove_data();
    void closeAbove();
};

void TestKLineRange::lowest_data() {
    QTest::addColumn<QVector<Stock>>("bars");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("withLow");
    QTest::addColumn<int>("index");
    QTest::addColumn<float>("value");

    QTest::newRow("all above sentinel")
        << closes({10000, 12000}) << 0 << 1 << false << -1 << 9999.99f;
    QTest::newRow("tie keeps earliest") << closes({4, 2, 2, 3}) << 0 << 3 << false << 1 << 2.0f;
    QTest::newRow("from equals to") << closes({4, 2, 5}) << 2 << 2 << false << 2 << 5.0f;
    QTest::newRow("range limits") << closes({1, 4, 3, 0.5f}) << 1 << 2 << false << 2 << 3.0f;
    QTest::newRow("NaN never wins") << closes({kNaN, 6, kNaN}) << 0 << 2 << false << 1 << 6.0f;

    // Bar 1 has the lower close, bar 0 the lower low.
    const QVector<Stock> lowVsClose{ohlc(6, 6, 2, 5), ohlc(3, 3, 3, 3)};
    QTest::newRow("close only") << lowVsClose << 0 << 1 << false << 1 << 3.0f;
    QTest::newRow("with low") << lowVsClose << 0 << 1 << true << 0 << 2.0f;
    // The low of a bar replaces its own close when lower.
    QTest::newRow("low of same bar")
        << QVector<Stock>{ohlc(5, 5, 4, 5), ohlc(5, 5, 1, 4.5f)} << 0 << 1 << true << 1 << 1.0f;
}

void TestKLineRange::lowest() {
    QFETCH(QVector<Stock>, bars);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, withLow);
    QFETCH(int, index);
    QFETCH(float, value);
    float result = 123.0f;
    QCOMPARE(lowestInRange(bars, from, to, &result, withLow), index);
    QCOMPARE(result, value);
}

void TestKLineRange::highest_data() {
    QTest::addColumn<QVector<Stock>>("bars");
    QTest::addColumn<bool>("withHigh");
    QTest::addColumn<int>("index");
    QTest::addColumn<float>("value");

    QTest::newRow("all below sentinel") << closes({-10000, -12000}) << false << -1 << -9999.99f;
    QTest::newRow("tie keeps earliest") << closes({4, 7, 7, 3}) << false << 1 << 7.0f;
    QTest::newRow("NaN never wins") << closes({kNaN, 2, kNaN}) << false << 1 << 2.0f;
    const QVector<Stock> highVsClose{ohlc(5, 9, 5, 5), ohlc(7, 7, 7, 7)};
    QTest::newRow("close only") << highVsClose << false << 1 << 7.0f;
    QTest::newRow("with high") << highVsClose << true << 0 << 9.0f;
}

void TestKLineRange::highest() {
    QFETCH(QVector<Stock>, bars);
    QFETCH(bool, withHigh);
    QFETCH(int, index);
    QFETCH(float, value);
    float result = 123.0f;
    QCOMPARE(highestInRange(bars, 0, bars.size() - 1, &result, withHigh), index);
    QCOMPARE(result, value);
}

void TestKLineRange::badRangeLeavesValue_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("from past end") << 3 << 2;
    QTest::newRow("to past end") << 0 << 3;
    QTest::newRow("from after to") << 2 << 1;
    QTest::newRow("negative from") << -1 << 1;
}

void TestKLineRange::badRangeLeavesValue() {
    QFETCH(int, from);
    QFETCH(int, to);
    const QVector<Stock> bars = closes({1, 2, 3});
    float value = 123.0f;
    QCOMPARE(lowestInRange(bars, from, to, &value, true), -1);
    QCOMPARE(value, 123.0f);
    QCOMPARE(highestInRange(bars, from, to, &value, true), -1);
    QCOMPARE(value, 123.0f);
    QCOMPARE(averageInRange(bars, from, to, false), 0.0f);
    QCOMPARE(lowestInRange(QVector<Stock>(), 0, 0, &value, false), -1);
}

void TestKLineRange::average() {
    QVector<Stock> bars = closes({1, 2, 4, 8});
    bars[1].volume = 100;
    bars[2].volume = 250;
    QVERIFY(std::fabs(averageInRange(bars, 0, 2, false) - 7.0f / 3.0f) < 1e-6f);
    QCOMPARE(averageInRange(bars, 3, 3, false), 8.0f);
    QCOMPARE(averageInRange(bars, 1, 2, true), 175.0f);
    // Summed in double: 2^24 + 1 is not a float, the mean of it and 1 is.
    QVector<Stock> big = closes({16777216.0f, 1.0f, 1.0f});
    // A float sum would give 5592405.5, within QCOMPARE's fuzz for floats.
    QCOMPARE(double(averageInRange(big, 0, 2, false)), 5592406.0);
}

void TestKLineRange::highestLowest() {
    int hi = -7;
    int lo = -7;
    float high = 1;
    float low = 1;
    findHighestLowest(QVector<Stock>(), &hi, &lo, &high, &low);
    QCOMPARE(hi, -7);
    QCOMPARE(lo, -7);
    QCOMPARE(high, 0.0f);
    QCOMPARE(low, 9999.99f);

    const QVector<Stock> bars{ohlc(4, 5, 2, 4), ohlc(6, 7, 1, 6), ohlc(6, 7, 1, 6),
                              ohlc(3, 3, 2.5f, 3)};
    findHighestLowest(bars, &hi, &lo, &high, &low);
    QCOMPARE(hi, 1);
    QCOMPARE(lo, 1);
    QCOMPARE(high, 7.0f);
    QCOMPARE(low, 1.0f);

    // Highs never above 0 (a re-based series) leave the high index alone.
    hi = -7;
    lo = -7;
    findHighestLowest(QVector<Stock>{ohlc(-1, -0.5f, -2, -1)}, &hi, &lo, &high, &low);
    QCOMPARE(hi, -7);
    QCOMPARE(high, 0.0f);
    QCOMPARE(lo, 0);
    QCOMPARE(low, -2.0f);
}

void TestKLineRange::cumulativeChange() {
    QVERIFY(toCumulativeChangeSeries(QVector<Stock>()).isEmpty());

    QVector<Stock> bars{ohlc(9.5f, 10.5f, 9, 10), ohlc(10, 11.5f, 10, 11),
                        ohlc(11, 12.1f, 10.45f, 12.1f)};
    bars[1].code = QStringLiteral("600001");
    bars[1].volume = 4321;
    bars[1].preClose = 10;
    const QVector<Stock> out = toCumulativeChangeSeries(bars);
    QCOMPARE(bars[2].close, 12.1f); // input untouched

    // One bar per input bar; the first starts at 0 against its own close.
    QCOMPARE(out.size(), 3);
    QCOMPARE(out[0].close, 0.0f);
    QCOMPARE(out[0].open, -0.5f); // (9.5 - 10) x 10 / 10
    QCOMPARE(out[0].high, 0.5f);
    QCOMPARE(out[0].low, -1.0f);
    // Bar 1 against 10: close (11 - 10) x 10 / 10 = 1, high 1.5, low 0.
    QCOMPARE(out[1].close, 1.0f);
    QCOMPARE(out[1].open, 0.0f);
    QCOMPARE(out[1].high, 1.5f);
    QCOMPARE(out[1].low, 0.0f);
    // Bar 2 against the input close 11, plus the base 1: close 2, low 0.5.
    QVERIFY(std::fabs(out[2].close - 2.0f) < 1e-5f);
    QVERIFY(std::fabs(out[2].open - 1.0f) < 1e-5f);
    QVERIFY(std::fabs(out[2].low - 0.5f) < 1e-5f);
    // Other fields are copied unchanged.
    QCOMPARE(out[1].code, QStringLiteral("600001"));
    QCOMPARE(out[1].volume, 4321.0f);
    QCOMPARE(out[1].preClose, 10.0f);

    // A single bar comes back as an unchanged copy.
    const QVector<Stock> one = toCumulativeChangeSeries(QVector<Stock>{ohlc(9.5f, 10.5f, 9, 10)});
    QCOMPARE(one.size(), 1);
    QCOMPARE(one[0].open, 9.5f);
    QCOMPARE(one[0].high, 10.5f);
    QCOMPARE(one[0].low, 9.0f);
    QCOMPARE(one[0].close, 10.0f);
}

void TestKLineRange::gapDown_data() {
    QTest::addColumn<QVector<Stock>>("bars");
    QTest::addColumn<bool>("expected");

    auto withPre = [](Stock s, float pre) {
        s.preClose = pre;
        return s;
    };
    const Stock prev = ohlc(10, 10, 10, 10);
    // open 9 > close 8, preClose 10 > open 9, close 8 >= high 8.
    const Stock gap = withPre(ohlc(9, 8, 7, 8), 10);
    QTest::newRow("all three hold") << QVector<Stock>{prev, gap} << true;
    QTest::newRow("one bar") << QVector<Stock>{gap} << false;
    QTest::newRow("rising bar") << QVector<Stock>{prev, withPre(ohlc(8, 9, 8, 9), 10)} << false;
    QTest::newRow("opened at pre") << QVector<Stock>{prev, withPre(ohlc(9, 8, 7, 8), 9)} << false;
    QTest::newRow("close below high")
        << QVector<Stock>{prev, withPre(ohlc(9, 8.5f, 7, 8), 10)} << false;
    QTest::newRow("NaN pre") << QVector<Stock>{prev, withPre(ohlc(9, 8, 7, 8), kNaN)} << false;
    // Only the latest bar counts.
    QTest::newRow("earlier gap") << QVector<Stock>{prev, gap, prev} << false;
}

void TestKLineRange::gapDown() {
    QFETCH(QVector<Stock>, bars);
    QFETCH(bool, expected);
    QCOMPARE(isGapDownBar(bars), expected);
}

void TestKLineRange::lastValuesBelow_data() {
    QTest::addColumn<QVector<IndicatorValue>>("values");
    QTest::addColumn<float>("limit");
    QTest::addColumn<int>("n");
    QTest::addColumn<bool>("expected");

    // value1 + 2 x value2: 10, 5, 7.
    const QVector<IndicatorValue> v{value(2, 4), value(1, 2), value(3, 2)};
    QTest::newRow("n larger than vector") << v << 100.0f << 4 << false;
    QTest::newRow("n zero") << v << -100.0f << 0 << true;
    QTest::newRow("last two below 8") << v << 8.0f << 2 << true;
    QTest::newRow("all three need 11") << v << 8.0f << 3 << false;
    QTest::newRow("equal is not below") << v << 7.0f << 1 << false;
    QTest::newRow("all below 11") << v << 11.0f << 3 << true;
    QTest::newRow("empty n0") << QVector<IndicatorValue>() << 0.0f << 0 << true;
}

void TestKLineRange::lastValuesBelow() {
    QFETCH(QVector<IndicatorValue>, values);
    QFETCH(float, limit);
    QFETCH(int, n);
    QFETCH(bool, expected);
    QCOMPARE(allLastValuesBelow(values, limit, n), expected);
}

void TestKLineRange::closeAbove_data() {
    QTest::addColumn<QVector<Stock>>("bars");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("k");
    QTest::addColumn<bool>("expected");

    // Latest close 10; bars 2..4 are below it, bar 1 is not.
    const QVector<Stock> bars{ohlc(1, 1, 1, 1), ohlc(12, 12, 12, 12), ohlc(5, 6, 5, 6),
                              ohlc(6, 7, 6, 7), ohlc(7, 9, 7, 9.9f),  ohlc(10, 10, 10, 10)};
    QTest::newRow("three prior bars") << bars << 3 << 1 << true;
    QTest::newRow("reaches bar 1") << bars << 4 << 1 << false;
    QTest::newRow("skip two") << bars << 2 << 2 << true;
    QTest::newRow("size equals m+k") << bars << 3 << 3 << false;
    QTest::newRow("m zero") << bars << 0 << 1 << true;
    QTest::newRow("k zero tests the latest") << bars << 1 << 0 << false;
    QTest::newRow("negative k") << bars << 1 << -1 << false;

    QVector<Stock> equalOpen = bars;
    equalOpen[4].open = 10;
    QTest::newRow("open equals ref") << equalOpen << 1 << 1 << false;
    QVector<Stock> nanClose = bars;
    nanClose[4].close = kNaN;
    QTest::newRow("NaN close fails") << nanClose << 1 << 1 << false;
}

void TestKLineRange::closeAbove() {
    QFETCH(QVector<Stock>, bars);
    QFETCH(int, m);
    QFETCH(int, k);
    QFETCH(bool, expected);
    QCOMPARE(closeAbovePriorBars(bars, m, k), expected);
}

QTEST_APPLESS_MAIN(TestKLineRange)
#include "tst_klinerange.moc"
