#include "analysis/indicators/bollindicator.h"
#include "analysis/indicators/indicatorsignals.h"
#include "analysis/indicators/kdjindicator.h"
#include "analysis/indicators/macdindicator.h"
#include "analysis/indicators/manindicator.h"
#include "analysis/indicators/volmanindicator.h"

#include "tests/analysis/klinebars.h"

#include <QtTest>

#include <cmath>
#include <limits>

namespace {

Stock closeBar(float close) {
    Stock s;
    s.open = s.high = s.low = s.close = close;
    return s;
}

Stock bar(float low, float high, float close) {
    Stock s;
    s.low = low;
    s.high = high;
    s.open = close;
    s.close = close;
    return s;
}

using klinebars::closes;

// 1 to 9 rising, each bar closing at its high: K, D and J are worked out by
// hand for the bars that follow.
QVector<Stock> risingKdjBars(int count) {
    QVector<Stock> bars;
    for (int i = 1; i <= count; ++i)
        bars.append(bar(i, i + 1, i + 1));
    return bars;
}

bool near(float actual, double expected, double tolerance = 1e-3) {
    return std::fabs(double(actual) - expected) <= tolerance;
}

} // namespace

class TestIndicators : public QObject {
    Q_OBJECT
private slots:
    void movingAverage_data();
    void movingAverage();
    void movingAveragePeekMatchesPush();
    void movingAverageReset();
    void volumeAverageIgnoresClose();

    void macdFirstBars();
    void macdConstantClose();
    void macdPeek();
    void macdResetRepeats();
    void macdGoldenCross_data();
    void macdGoldenCross();

    void kdjFirstEightInvalid();
    void kdjLimits();
    void kdjFlatWindowRestartsFromZero();
    void kdjPeek();

    void bollWindowAndBands();
    void bollSinglePrecisionTwentieth();
    void bollUpperBreakout();
};

void TestIndicators::movingAverage_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<QVector<float>>("input");
    QTest::addColumn<int>("invalidBars");
    QTest::addColumn<QVector<float>>("expected"); // values of the valid bars

    QTest::newRow("n5 slides") << 5 << QVector<float>{1, 2, 3, 4, 5, 6, 12} << 4
                               << QVector<float>{3.0f, 4.0f, 6.0f};
    QTest::newRow("n1 is the close")
        << 1 << QVector<float>{2.5f, 7.25f} << 0 << QVector<float>{2.5f, 7.25f};
    QTest::newRow("n3 quarters") << 3 << QVector<float>{0.25f, 0.5f, 0.75f, 1.75f} << 2
                                 << QVector<float>{0.5f, 1.0f};
    QTest::newRow("n0 never valid") << 0 << QVector<float>{1, 2, 3} << 3 << QVector<float>{};
}

void TestIndicators::movingAverage() {
    QFETCH(int, n);
    QFETCH(QVector<float>, input);
    QFETCH(int, invalidBars);
    QFETCH(QVector<float>, expected);

    MaNIndicator ma(n);
    for (int i = 0; i < input.size(); ++i) {
        const IndicatorValue v = ma.push(closeBar(input.at(i)));
        if (i < invalidBars) {
            QVERIFY2(!v.valid, qPrintable(QString("bar %1").arg(i)));
            QCOMPARE(v.value1, 0.0f);
        } else {
            QVERIFY(v.valid);
            QCOMPARE(v.value1, expected.at(i - invalidBars));
            QCOMPARE(v.value2, 0.0f);
            QCOMPARE(v.value3, 0.0f);
            QCOMPARE(v.value4, 0.0f);
        }
    }
}

void TestIndicators::movingAveragePeekMatchesPush() {
    MaNIndicator ma(5);
    for (float c : {1.0f, 2.0f, 3.0f, 4.0f})
        QVERIFY(!ma.push(closeBar(c)).valid);
    // (1 + 2 + 3 + 4 + 10) / 5, twice: the peek leaves the window alone.
    QCOMPARE(ma.peek(closeBar(10)).value1, 4.0f);
    QCOMPARE(ma.peek(closeBar(10)).value1, 4.0f);
    const IndicatorValue pushed = ma.push(closeBar(10));
    QVERIFY(pushed.valid);
    QCOMPARE(pushed.value1, 4.0f);
    // Peek on a full window drops the oldest bar of the copy: (2+3+4+10+6)/5.
    QCOMPARE(ma.peek(closeBar(6)).value1, 5.0f);
    QCOMPARE(ma.push(closeBar(6)).value1, 5.0f);
}

void TestIndicators::movingAverageReset() {
    MaNIndicator ma(2);
    ma.push(closeBar(100));
    ma.push(closeBar(200));
    ma.reset();
    QVERIFY(!ma.push(closeBar(1)).valid);
    // Nothing of 100 or 200 is left: (1 + 5) / 2.
    QCOMPARE(ma.peek(closeBar(5)).value1, 3.0f);
    QCOMPARE(ma.push(closeBar(3)).value1, 2.0f);
}

void TestIndicators::volumeAverageIgnoresClose() {
    VolMaNIndicator vol(2);
    Stock a = closeBar(7);
    a.volume = 100;
    Stock b = closeBar(9);
    b.volume = 300;
    Stock c = closeBar(11);
    c.volume = 500;
    QVERIFY(!vol.push(a).valid);
    QCOMPARE(vol.peek(b).value1, 200.0f);
    QCOMPARE(vol.push(b).value1, 200.0f);
    QCOMPARE(vol.push(c).value1, 400.0f);
    vol.reset();
    QVERIFY(!vol.push(c).valid);
}

void TestIndicators::macdFirstBars() {
    MacdIndicator macd;
    QVERIFY(!macd.push(closeBar(10)).valid);

    // Second bar, close 10 + 351 (351 = 13 x 27 keeps the steps whole):
    // ema12 = 10 + 351 x 2/13 = 64, ema26 = 10 + 351 x 2/27 = 36, dif = 28,
    // dea = 0.2 x dif = 5.6 (no previous dea), macd = 2 x (28 - 5.6) = 44.8.
    IndicatorValue v = macd.push(closeBar(361));
    QVERIFY(v.valid);
    QVERIFY2(near(v.value2, 28.0), qPrintable(QString::number(v.value2)));
    QVERIFY2(near(v.value3, 5.6), qPrintable(QString::number(v.value3)));
    QVERIFY2(near(v.value1, 44.8), qPrintable(QString::number(v.value1)));
    QCOMPARE(v.value4, 0.0f);

    // Third bar, close 361: ema12 = 64 + 297 x 2/13 = 109.692308,
    // ema26 = 36 + 325 x 2/27 = 60.074074, dif = 49.618234,
    // dea = 0.2 x 49.618234 + 0.8 x 5.6 = 14.403647, macd = 70.429174.
    v = macd.push(closeBar(361));
    QVERIFY(v.valid);
    QVERIFY2(near(v.value2, 49.618234), qPrintable(QString::number(v.value2)));
    QVERIFY2(near(v.value3, 14.403647), qPrintable(QString::number(v.value3)));
    QVERIFY2(near(v.value1, 70.429174), qPrintable(QString::number(v.value1)));
}

void TestIndicators::macdConstantClose() {
    MacdIndicator macd;
    QVERIFY(!macd.push(closeBar(12.34f)).valid);
    for (int i = 0; i < 40; ++i) {
        const IndicatorValue v = macd.push(closeBar(12.34f));
        QVERIFY(v.valid);
        QCOMPARE(v.value1, 0.0f);
        QCOMPARE(v.value2, 0.0f);
        QCOMPARE(v.value3, 0.0f);
    }
}

void TestIndicators::macdPeek() {
    MacdIndicator macd;
    QVERIFY(!macd.peek(closeBar(5)).valid);
    macd.push(closeBar(10));
    // After the seeding bar peek reports the state as valid: dif, dea and the
    // bar are still 0, whatever bar is passed.
    const IndicatorValue seeded = macd.peek(closeBar(5));
    QVERIFY(seeded.valid);
    QCOMPARE(seeded.value1, 0.0f);
    QCOMPARE(seeded.value2, 0.0f);
    QCOMPARE(seeded.value3, 0.0f);
    QCOMPARE(seeded.value4, 0.0f);
    const IndicatorValue pushed = macd.push(closeBar(361));
    // Peek reports the last pushed value whatever bar it is given.
    for (float c : {0.0f, 361.0f, 5000.0f}) {
        const IndicatorValue peeked = macd.peek(closeBar(c));
        QVERIFY(peeked.valid);
        QCOMPARE(peeked.value1, pushed.value1);
        QCOMPARE(peeked.value2, pushed.value2);
        QCOMPARE(peeked.value3, pushed.value3);
    }
    macd.reset();
    QVERIFY(!macd.peek(closeBar(5)).valid);
}

void TestIndicators::macdResetRepeats() {
    const QVector<Stock> series = closes({10, 12, 11, 15, 14, 9, 13});
    MacdIndicator macd;
    QVector<IndicatorValue> first;
    for (const Stock& s : series)
        first.append(macd.push(s));
    macd.reset();
    for (int i = 0; i < series.size(); ++i) {
        const IndicatorValue v = macd.push(series.at(i));
        QCOMPARE(v.valid, first.at(i).valid);
        QCOMPARE(v.value1, first.at(i).value1);
        QCOMPARE(v.value3, first.at(i).value3);
    }
    // After reset the second bar again takes dea = 0.2 x dif: 10 -> 361 as
    // in macdFirstBars.
    macd.reset();
    macd.push(closeBar(10));
    QVERIFY(near(macd.push(closeBar(361)).value3, 5.6));
}

void TestIndicators::macdGoldenCross_data() {
    QTest::addColumn<QVector<Stock>>("bars");
    QTest::addColumn<bool>("expected");

    // 10, 10, 5: macd 0 then -0.638; a jump to 20 gives +0.911.
    QTest::newRow("negative to positive") << closes({10, 10, 5, 20}) << true;
    QTest::newRow("still negative") << closes({10, 10, 5}) << false;
    // The bar before is exactly 0 (a flat second bar): not a cross.
    QTest::newRow("from zero") << closes({10, 10, 20}) << false;
    QTest::newRow("first value invalid") << closes({10, 20}) << false;
    QTest::newRow("one bar") << closes({10}) << false;
    QTest::newRow("empty") << QVector<Stock>() << false;
}

void TestIndicators::macdGoldenCross() {
    QFETCH(QVector<Stock>, bars);
    QFETCH(bool, expected);
    QCOMPARE(isMacdGoldenCross(bars), expected);
}

void TestIndicators::kdjFirstEightInvalid() {
    KDJIndicator kdj;
    const QVector<Stock> bars = risingKdjBars(9);
    for (int i = 0; i < 8; ++i) {
        const IndicatorValue v = kdj.push(bars.at(i));
        QVERIFY(!v.valid);
        QCOMPARE(v.value1, 0.0f);
    }
    QVERIFY(kdj.push(bars.at(8)).valid);
}

void TestIndicators::kdjLimits() {
    KDJIndicator kdj;
    QVector<Stock> bars = risingKdjBars(10);
    // Then four bars closing at the window's low (3): RSV 0.
    for (int i = 0; i < 4; ++i)
        bars.append(bar(3, 4, 3));

    QVector<IndicatorValue> v;
    for (const Stock& s : bars)
        v.append(kdj.push(s));

    // Bar 9: low9 1, high9 10, close 10 -> RSV 100; K = 100/3, D = K/3,
    // J = 3K - 2D = 77.78.
    QVERIFY(near(v[8].value1, 33.3333) && near(v[8].value2, 11.1111) && near(v[8].value3, 77.7778));
    // Bar 10: K = (66.67 + 100)/3 = 55.56, D = (55.56 + 22.22)/3 = 25.93,
    // 3K - 2D = 114.8 is limited to 100.
    QVERIFY(near(v[9].value1, 55.5556) && near(v[9].value2, 25.9259));
    QCOMPARE(v[9].value3, 100.0f);
    // Bars 11 to 14 at RSV 0: K 37.04, 24.69, 16.46, 10.97; D 29.63, 27.98,
    // 24.14, 19.75; J 51.85, 18.11, 1.10 and then -6.58 limited to 0.
    QVERIFY(near(v[10].value1, 37.0370) && near(v[10].value2, 29.6296) &&
            near(v[10].value3, 51.8519));
    QVERIFY(near(v[12].value3, 1.0974));
    QVERIFY(near(v[13].value1, 10.9739) && near(v[13].value2, 19.7531));
    QCOMPARE(v[13].value3, 0.0f);

    // A long rise with closes at the top drives K and D towards 100, never
    // past it, and J stays within 0..100.
    kdj.reset();
    const QVector<Stock> rise = risingKdjBars(80);
    IndicatorValue last;
    for (const Stock& s : rise) {
        last = kdj.push(s);
        if (!last.valid)
            continue;
        QVERIFY(last.value1 <= 100.0f && last.value2 <= 100.0f);
        QVERIFY(last.value3 >= 0.0f && last.value3 <= 100.0f);
    }
    QVERIFY(last.value1 > 99.9f && last.value2 > 99.9f);
}

void TestIndicators::kdjFlatWindowRestartsFromZero() {
    KDJIndicator kdj;
    for (int i = 0; i < 9; ++i) {
        const IndicatorValue v = kdj.push(bar(10, 10, 10));
        if (i == 8) {
            QVERIFY(v.valid);
            QCOMPARE(v.value1, 0.0f);
            QCOMPARE(v.value2, 0.0f);
            QCOMPARE(v.value3, 0.0f);
        }
    }

    // After a rise, nine flat bars (0/0 RSV) reset K, D and J to 0 ...
    kdj.reset();
    for (const Stock& s : risingKdjBars(9))
        kdj.push(s);
    IndicatorValue v;
    for (int i = 0; i < 9; ++i)
        v = kdj.push(bar(10, 10, 10));
    QCOMPARE(v.value1, 0.0f);
    QCOMPARE(v.value2, 0.0f);
    QCOMPARE(v.value3, 0.0f);
    // ... and the next bar starts again from 0: RSV 100, K = 100/3, D = K/3.
    v = kdj.push(bar(10, 11, 11));
    QVERIFY(near(v.value1, 33.3333) && near(v.value2, 11.1111) && near(v.value3, 77.7778));

    // A NaN price in the window is passed over.
    kdj.reset();
    for (const Stock& s : risingKdjBars(8))
        kdj.push(s);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    v = kdj.push(bar(nan, nan, 9)); // low9 1, high9 9 from the other bars
    QVERIFY(v.valid);
    QVERIFY(near(v.value1, 33.3333));
}

void TestIndicators::kdjPeek() {
    KDJIndicator kdj;
    const QVector<Stock> bars = risingKdjBars(10);
    for (int i = 0; i < 8; ++i)
        kdj.push(bars.at(i));
    const IndicatorValue peeked = kdj.peek(bars.at(8));
    QVERIFY(near(peeked.value1, 33.3333));
    // Peek left K and D alone: pushing the same bar gives the same value.
    const IndicatorValue pushed = kdj.push(bars.at(8));
    QCOMPARE(pushed.value1, peeked.value1);
    QCOMPARE(pushed.value2, peeked.value2);
    QCOMPARE(pushed.value3, peeked.value3);
    // On a full window the peek drops the oldest bar of its copy (bar 10 of
    // kdjLimits: K 55.56).
    QVERIFY(near(kdj.peek(bars.at(9)).value1, 55.5556));
    QVERIFY(near(kdj.push(bars.at(9)).value1, 55.5556));
}

void TestIndicators::bollWindowAndBands() {
    BollIndicator boll;
    for (int i = 0; i < 19; ++i)
        QVERIFY(!boll.push(closeBar(12.5f)).valid);
    IndicatorValue v = boll.push(closeBar(12.5f));
    QVERIFY(v.valid);
    QCOMPARE(double(v.value1), 12.5);
    QCOMPARE(double(v.value2), 0.0);
    QCOMPARE(v.value3, -0.0f);
    QCOMPARE(v.value4, 0.0f);

    // Ten closes of 10 replace half the window; a peek at 12 sees nine of
    // 12.5, ten of 10 and the 12: 224.5 / 20 = 11.225.
    for (int i = 0; i < 10; ++i)
        boll.push(closeBar(10));
    QVERIFY(near(boll.peek(closeBar(12)).value1, 11.225, 1e-5));
    // Ten closes of 10 and ten of 12: mid 11, each deviation 1, var 1, sd 1.
    for (int i = 0; i < 10; ++i)
        v = boll.push(closeBar(12));
    QCOMPARE(v.value1, 11.0f);
    QCOMPARE(v.value2, 1.0f);
    QCOMPARE(v.value3, -1.0f);

    boll.reset();
    QVERIFY(!boll.push(closeBar(1)).valid);
}

void TestIndicators::bollSinglePrecisionTwentieth() {
    // Eighteen closes of 0.5 and two of 0: the sum is exactly 9. The single-
    // precision 0.05 is 0.0500000007450580597, so 9 x 0.05 = 0.45000000671,
    // which rounds up to the float 0.45000001788; the exact quotient 9/20
    // would round down to 0.44999998808.
    BollIndicator boll;
    IndicatorValue v;
    for (int i = 0; i < 18; ++i)
        v = boll.push(closeBar(0.5f));
    v = boll.push(closeBar(0.0f));
    v = boll.push(closeBar(0.0f));
    QVERIFY(v.valid);
    // Compared as doubles: QCOMPARE on floats would forgive the one ulp.
    QCOMPARE(double(v.value1), double(0.4500000178813934f));
    // var = (18 x 0.05^2 + 2 x 0.45^2) x 0.05 = 0.0225, sd 0.15.
    QVERIFY(near(v.value2, 0.15, 1e-5));
    QCOMPARE(v.value3, -v.value2);
}

void TestIndicators::bollUpperBreakout() {
    // Closes alternating 9 and 11 for 20 bars: mid 10, sd 1, upper band 12,
    // with the last close 11 below it. A jump to 20: the window holds ten 11s,
    // nine 9s and the 20, mid 10.55, sd sqrt(112.95 / 20) = 2.376, upper
    // 15.30 < 20.
    QVector<Stock> bars;
    for (int i = 1; i <= 20; ++i)
        bars.append(closeBar(i % 2 ? 9 : 11));
    QVERIFY(!isBollUpperBreakout(bars, 1));
    bars.append(closeBar(20));
    QVERIFY(isBollUpperBreakout(bars, 1));
    QVERIFY(!isBollUpperBreakout(bars, 0));
    QVERIFY(!isBollUpperBreakout(bars, 2));

    // 21 closes of 10 (band 10) and then 20: the close before equals its band
    // instead of being below it.
    QVector<Stock> flat;
    for (int i = 0; i < 21; ++i)
        flat.append(closeBar(10));
    flat.append(closeBar(20));
    QVERIFY(!isBollUpperBreakout(flat, 1));

    // Twenty bars: the bar before has no band yet, and a negative (re-based)
    // close must not count as below a band of 0. The last band is
    // mid -2.75, sd 9.81, upper 16.86 < 40.
    QVector<Stock> twenty;
    for (int i = 0; i < 19; ++i)
        twenty.append(closeBar(-5));
    twenty.append(closeBar(40));
    QVERIFY(!isBollUpperBreakout(twenty, 1));
    QVERIFY(!isBollUpperBreakout(QVector<Stock>(), 1));
}

QTEST_APPLESS_MAIN(TestIndicators)
#include "tst_indicators.moc"
