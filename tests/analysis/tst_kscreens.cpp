#include "analysis/screens/breachscanner.h"
#include "analysis/screens/liandiendaysscanner.h"
#include "analysis/screens/pricepositionscanner.h"
#include "analysis/screens/stockkdjscanner.h"
#include "analysis/screens/stockmacdscanner.h"
#include "analysis/screens/stockmanscanner.h"
#include "analysis/screens/stockvolscanner.h"
#include "tests/analysis/klinebars.h"

#include <QtTest>

using namespace klinebars;

namespace {

// Every bar spans 0..100, so the KDJ's RSV of a bar is its close. The first
// eight bars only fill the window; rsv gives the closes from the ninth bar
// on. The values chosen keep K an integer at every step: K' = (2K + RSV) / 3.
QVector<Stock> kdjBars(std::initializer_list<float> rsv) {
    QVector<Stock> bars(8, bar(50, 100, 0, 50));
    for (float r : rsv)
        bars.append(bar(r, 100, 0, r));
    return bars;
}

QVector<Stock> repeat(int count, float close) {
    return flats(count, close);
}

} // namespace

class TestKScreens : public QObject {
    Q_OBJECT
private slots:
    void baseScreenFindsNothing();

    void fallingDays_data();
    void fallingDays();
    void fallingDaysAtLeastOne();

    void pricePosition_data();
    void pricePosition();

    void breach_data();
    void breach();

    void kdj_data();
    void kdj();

    void macd_data();
    void macd();

    void movingAverageCross_data();
    void movingAverageCross();
    void movingAverageCrossOnlyOnItsBar();

    void volume_data();
    void volume();

    void volumeTrend_data();
    void volumeTrend();
    void volumeTrendTooShort();

    void screensRescanAfterReset();
};

void TestKScreens::baseScreenFindsNothing() {
    StockScanner base;
    QStringList comments;
    QCOMPARE(base.scan(nullptr, repeat(100, 10), &comments), -1);
    QVERIFY(comments.isEmpty());
    QCOMPARE(base.typeId(), -1);
    QVERIFY(base.parent() == nullptr);
}

void TestKScreens::fallingDays_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<QVector<Stock>>("bars");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("comments");

    const QVector<Stock> falling = {bar(10.2f, 10.3f, 9.9f, 10.0f), bar(9.7f, 9.8f, 9.4f, 9.5f),
                                    bar(9.2f, 9.3f, 8.9f, 9.0f), bar(8.7f, 8.8f, 8.4f, 8.5f)};
    QTest::newRow("three falling days") << 3 << falling << 0 << QStringList{"连跌3天反弹可期"};
    QTest::newRow("exactly n bars") << 3 << falling.mid(1) << -1 << QStringList();
    QTest::newRow("only the last n bars count")
        << 2 << falling << 0 << QStringList{"连跌2天反弹可期"};

    QVector<Stock> flatClose = falling;
    flatClose[2] = bar(9.7f, 9.8f, 9.4f, 9.5f); // same close as the bar before
    QTest::newRow("flat close in the run") << 3 << flatClose << -1 << QStringList();

    QVector<Stock> risingBar = falling;
    risingBar[3] = bar(8.4f, 8.8f, 8.3f, 8.5f); // closes above its open
    QTest::newRow("latest bar closes above open") << 3 << risingBar << -1 << QStringList();

    QVector<Stock> doji = falling;
    doji[2] = bar(9.0f, 9.3f, 8.9f, 9.0f); // open equal to close
    QTest::newRow("open equal to close") << 3 << doji << -1 << QStringList();
}

void TestKScreens::fallingDays() {
    QFETCH(int, n);
    QFETCH(QVector<Stock>, bars);
    QFETCH(int, code);
    QFETCH(QStringList, comments);
    LianDieNDaysScanner scanner(n);
    QStringList found;
    QCOMPARE(scanner.scan(nullptr, bars, &found), code);
    QCOMPARE(found, comments);
    QCOMPARE(scanner.typeId(), -1);
}

void TestKScreens::fallingDaysAtLeastOne() {
    // A run of zero days would report "连跌0天" for any series.
    LianDieNDaysScanner scanner(0);
    QCOMPARE(scanner.days(), 1);
    QStringList found;
    QCOMPARE(scanner.scan(nullptr, closes({10, 10}), &found), -1);
    QCOMPARE(scanner.scan(nullptr, {flat(10), bar(9.8f, 9.9f, 9.4f, 9.5f)}, &found), 0);
    QCOMPARE(found, QStringList{"连跌1天反弹可期"});
}

void TestKScreens::pricePosition_data() {
    QTest::addColumn<QVector<Stock>>("bars");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("comments");

    const Stock plain = bar(10, 10.5f, 9.5f, 10);
    const QVector<Stock> sixty(60, plain);
    QTest::newRow("60 bars") << (sixty.mid(1) + QVector<Stock>{bar(10, 11, 9.5f, 10.8f)}) << -1
                             << QStringList();
    QTest::newRow("new high") << (sixty + QVector<Stock>{bar(10, 11, 9.5f, 10.8f)}) << 0
                              << QStringList{"60日新高,前60日最高:10.5"};
    QTest::newRow("high equal to the earlier high")
        << (sixty + QVector<Stock>{bar(10, 10.5f, 9.5f, 10.2f)}) << -1 << QStringList();
    QTest::newRow("new low") << (sixty + QVector<Stock>{bar(10, 10.5f, 9.0f, 9.8f)}) << 0
                             << QStringList{"60日新低,前60日最低:9.5"};
    QTest::newRow("low equal to the earlier low")
        << (sixty + QVector<Stock>{bar(10, 10.4f, 9.5f, 9.8f)}) << -1 << QStringList();

    // A bar older than the window does not count, however high it was.
    QVector<Stock> older = QVector<Stock>{bar(20, 25, 19, 20)} + sixty;
    older.append(bar(10, 11, 9.5f, 10.8f));
    QTest::newRow("bar before the window ignored")
        << older << 0 << QStringList{"60日新高,前60日最高:10.5"};

    QVector<Stock> general = sixty;
    general[30] = bar(10, 12.34f, 9.5f, 10);
    general.append(bar(10, 13, 9.5f, 12.9f));
    QTest::newRow("general number format")
        << general << 0 << QStringList{"60日新高,前60日最高:12.34"};
}

void TestKScreens::pricePosition() {
    QFETCH(QVector<Stock>, bars);
    QFETCH(int, code);
    QFETCH(QStringList, comments);
    PricePositionScanner scanner;
    QStringList found;
    QCOMPARE(scanner.scan(nullptr, bars, &found), code);
    QCOMPARE(found, comments);
}

void TestKScreens::breach_data() {
    QTest::addColumn<QVector<Stock>>("bars");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("comments");

    const QVector<Stock> three = repeat(3, 10);
    QTest::newRow("up gap") << (three + QVector<Stock>{bar(9.5f, 10, 9, 9.8f),
                                                       bar(10.6f, 11, 10.5f, 10.8f)})
                            << 0 << QStringList{"看涨缺口幅度:5.00"};
    QTest::newRow("up gap rounded")
        << (three + QVector<Stock>{bar(9.5f, 10, 9, 9.8f), bar(10.2f, 10.4f, 10.1234f, 10.3f)}) << 0
        << QStringList{"看涨缺口幅度:1.23"};
    // Measured against the latest high (8), not the earlier low (10).
    QTest::newRow("down gap") << (three + QVector<Stock>{bar(10.2f, 10.5f, 10, 10.1f),
                                                         bar(7.9f, 8, 7.5f, 7.6f)})
                              << 1 << QStringList{"看跌缺口幅度:25.00"};
    QTest::newRow("low touches the previous high")
        << (three + QVector<Stock>{bar(9.5f, 10, 9, 9.8f), bar(10.2f, 10.4f, 10, 10.3f)}) << -1
        << QStringList();
    QTest::newRow("high touches the previous low")
        << (three + QVector<Stock>{bar(10.2f, 10.5f, 10, 10.1f), bar(9.8f, 10, 9.5f, 9.6f)}) << -1
        << QStringList();
    QTest::newRow("four bars") << (repeat(2, 10) + QVector<Stock>{bar(9.5f, 10, 9, 9.8f),
                                                                  bar(10.6f, 11, 10.5f, 10.8f)})
                               << -1 << QStringList();
    // A missing (zero) price would give an infinite size.
    QTest::newRow("zero previous high")
        << (three + QVector<Stock>{flat(0), bar(10.6f, 11, 10.5f, 10.8f)}) << -1 << QStringList();
    QTest::newRow("zero latest high")
        << (three + QVector<Stock>{bar(10.2f, 10.5f, 10, 10.1f), flat(0)}) << -1 << QStringList();
}

void TestKScreens::breach() {
    QFETCH(QVector<Stock>, bars);
    QFETCH(int, code);
    QFETCH(QStringList, comments);
    BreachScanner scanner;
    QStringList found;
    QCOMPARE(scanner.scan(nullptr, bars, &found), code);
    QCOMPARE(found, comments);
}

void TestKScreens::kdj_data() {
    QTest::addColumn<QVector<Stock>>("bars");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("comment");

    // K: 4, 36, 56, 54, 36, 57; D at the fifth step is 36.1 (> K), at the
    // last 43.1 (< K): a golden cross with K exactly 57.
    QTest::newRow("golden cross at K = 57")
        << kdjBars({12, 100, 96, 50, 0, 99}) << 3 << "DJ中线金叉";
    // K: 6, 37, 57, 55, 37, 58 with D 37.05 then 44.0.
    QTest::newRow("golden cross at K = 58") << kdjBars({18, 99, 97, 51, 1, 100}) << -1 << "";
    // K: 3, 33, 22, 15, 43 with D 15.07 then 24.4.
    QTest::newRow("golden cross at K = 43") << kdjBars({9, 93, 0, 1, 99}) << 3 << "DJ中线金叉";
    // K: 2, 31, 21, 14, 42 with D 14.1 then 23.4.
    QTest::newRow("golden cross at K = 42") << kdjBars({6, 89, 1, 0, 98}) << -1 << "";
    // K: 3, 33, 22, 15, 21 with D 15.07 then 17.05.
    QTest::newRow("oversold golden cross") << kdjBars({9, 93, 0, 1, 33}) << 5 << "KDJ超卖金叉";
    // K reaches 23: a golden cross, but not oversold and below the band.
    QTest::newRow("golden cross at K = 23") << kdjBars({9, 93, 0, 1, 39}) << -1 << "";
    // K: ..., 84, 81 with D 81.09 then 81.06.
    QTest::newRow("overbought death cross")
        << kdjBars({99, 99, 100, 100, 98, 98, 99, 66, 75}) << 6 << "KDJ超买死叉";
    // K: ..., 81, 80 with D 80.09 then 80.06: K is not above 80.
    QTest::newRow("death cross at K = 80")
        << kdjBars({99, 99, 100, 100, 98, 98, 99, 57, 78}) << 4 << "KDJ死叉";
    QTest::newRow("oversold") << kdjBars({0, 0, 0, 0}) << 1 << "KDJ超卖";
    // K: ..., 71, 80 with D 80.17 then 80.11: no cross, both at least 80.
    QTest::newRow("overbought at K = 80")
        << kdjBars({99, 99, 100, 100, 98, 98, 99, 99, 23, 98}) << 2 << "KDJ超买";
    QTest::newRow("overbought at K = 79")
        << kdjBars({99, 99, 100, 100, 98, 98, 99, 99, 26, 93}) << -1 << "";
    // Eleven bars would be oversold.
    QTest::newRow("eleven bars") << kdjBars({0, 0, 0}) << -1 << "";
}

void TestKScreens::kdj() {
    QFETCH(QVector<Stock>, bars);
    QFETCH(int, code);
    QFETCH(QString, comment);
    StockKDJScanner scanner;
    QStringList found;
    QCOMPARE(scanner.scan(nullptr, bars, &found), code);
    QCOMPARE(found, comment.isEmpty() ? QStringList() : QStringList{comment});
}

void TestKScreens::macd_data() {
    QTest::addColumn<QVector<Stock>>("bars");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("comment");

    // A flat close keeps DIF = DEA = 0. A drop pulls DIF below DEA (DEA
    // follows at a fifth); a jump above the old level lifts DIF over it.
    QTest::newRow("golden cross") << (repeat(30, 10) + closes({9, 12})) << 0 << "MACD金叉";
    QTest::newRow("death cross") << (repeat(30, 10) + closes({11, 8})) << 1 << "MACD死叉";
    QTest::newRow("thirty bars") << (repeat(28, 10) + closes({9, 12})) << -1 << "";

    // A steady rise keeps DIF above DEA; a dip narrows the gap and the next
    // rise widens it again.
    QVector<Stock> rise;
    for (int i = 0; i < 32; ++i)
        rise.append(flat(10 + 0.5f * i));
    QTest::newRow("support") << (rise + closes({25.2f, 27.5f})) << 0 << "MACD支撑";
    QTest::newRow("gap still narrowing") << (rise + closes({25.2f, 25.0f})) << -1 << "";
    QTest::newRow("flat") << repeat(40, 10) << -1 << "";
}

void TestKScreens::macd() {
    QFETCH(QVector<Stock>, bars);
    QFETCH(int, code);
    QFETCH(QString, comment);
    StockMACDScanner scanner;
    QStringList found;
    QCOMPARE(scanner.scan(nullptr, bars, &found), code);
    QCOMPARE(found, comment.isEmpty() ? QStringList() : QStringList{comment});
}

void TestKScreens::movingAverageCross_data() {
    QTest::addColumn<QVector<Stock>>("bars");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("comment");

    // Before the last bar: A5 = (4 x 10 + 9) / 5 = 9.8 < A10 = 9.9.
    // 11.5 last: A5 = 50.5 / 5 = 10.1 > A10 = 100.5 / 10 = 10.05.
    QTest::newRow("golden cross") << (repeat(18, 10) + closes({9, 11.5f})) << 0 << "5,10日均线金叉";
    // 11 last: A5 = 50 / 5 = 10 = A10 = 100 / 10: no cross.
    QTest::newRow("averages meet") << (repeat(18, 10) + closes({9, 11})) << -1 << "";
    // A5 = 10.2 > A10 = 10.1, then A5 = 49.5 / 5 = 9.9 < A10 = 99.5 / 10.
    QTest::newRow("death cross") << (repeat(18, 10) + closes({11, 8.5f})) << 1 << "5,10日均线死叉";
    QTest::newRow("nineteen bars") << (repeat(17, 10) + closes({9, 11.5f})) << -1 << "";
}

void TestKScreens::movingAverageCross() {
    QFETCH(QVector<Stock>, bars);
    QFETCH(int, code);
    QFETCH(QString, comment);
    StockMaNScanner scanner;
    QStringList found;
    QCOMPARE(scanner.scan(nullptr, bars, &found), code);
    QCOMPARE(found, comment.isEmpty() ? QStringList() : QStringList{comment});
    QCOMPARE(scanner.typeId(), 0);
}

void TestKScreens::movingAverageCrossOnlyOnItsBar() {
    StockMaNScanner scanner;
    QVector<Stock> bars = repeat(18, 10) + closes({9, 11.5f});
    QCOMPARE(scanner.scan(nullptr, bars, nullptr), 0);
    // Next bar: A5 = 52 / 5 = 10.4 and A10 = 102 / 10 = 10.2, already above.
    bars.append(flat(11.5f));
    QStringList found;
    QCOMPARE(scanner.scan(nullptr, bars, &found), -1);
    QVERIFY(found.isEmpty());
}

void TestKScreens::volume_data() {
    QTest::addColumn<QVector<float>>("volumes");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("comments");

    auto series = [](int count, float value, QVector<float> tail) {
        QVector<float> v(count, value);
        v += tail;
        return v;
    };
    // V5: 490/5 = 98 < V10 = 99, then 505/5 = 101 > V10 = 1005/10 = 100.5.
    QTest::newRow("5/10 golden cross")
        << series(18, 100, {90, 115}) << 1 << QStringList{"5,10日成交量金叉"};
    // V5: 102 > 101, then 495/5 = 99 < 99.5; nothing else holds.
    QTest::newRow("lone 5/10 death cross") << series(18, 100, {110, 85}) << -1 << QStringList();
    QTest::newRow("thirty bars, no cross") << series(30, 100, {}) << -1 << QStringList();
    // 61 bars; x = 50 then y = 200: V5 90 < V10 95 < V60 99.17, then V5 110
    // > V10 105 > V60 100.83.
    QTest::newRow("both golden crosses")
        << series(59, 100, {50, 200}) << 1 << QStringList{"5,10日成交量金叉", "10,60日成交量金叉"};
    // x = 150 then y = 10: V5 110 > V10 105 > V60 100.83, then 92 < 96 < 99.33.
    QTest::newRow("both death crosses")
        << series(59, 100, {150, 10}) << 1 << QStringList{"5,10日成交量死叉", "10,60日成交量死叉"};
    // The 60-bar average does not exist before the 60th bar: comparing with
    // its stand-in 0 is no death cross. Without that, V10 = 50 < V60 = 91.7
    // here would read as one.
    QTest::newRow("sixty bars, no 60-bar average before")
        << series(50, 100, QVector<float>(10, 50)) << -1 << QStringList();
    // Bars 0..19 at 63, bars 20..40 at 210: recent = 210, earlier =
    // (20 x 63 + 210) / 21 = 70; 210 is not above 3 x 70.
    QTest::newRow("surge met exactly")
        << series(20, 63, QVector<float>(21, 210)) << -1 << QStringList();
    QTest::newRow("surge") << series(20, 63, QVector<float>(21, 211)) << 1
                           << QStringList{"近20日放量"};
    QTest::newRow("surge needs 41 bars")
        << series(19, 63, QVector<float>(21, 400)) << -1 << QStringList();
    QTest::newRow("nineteen bars") << series(17, 100, {90, 115}) << -1 << QStringList();
}

void TestKScreens::volume() {
    QFETCH(QVector<float>, volumes);
    QFETCH(int, code);
    QFETCH(QStringList, comments);
    StockVolScanner scanner;
    QStringList found;
    QCOMPARE(scanner.scan(nullptr, klinebars::volumes(volumes), &found), code);
    QCOMPARE(found, comments);
}

void TestKScreens::volumeTrend_data() {
    QTest::addColumn<QVector<float>>("volumes");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");

    // The last five average 100 in each row.
    QTest::newRow("level at 0.86 x average")
        << QVector<float>{7, 100, 100, 100, 114, 86} << 0 << "成交量平量";
    QTest::newRow("shrinking") << QVector<float>{7, 100, 100, 100, 115, 85} << 1 << "成交量缩量";
    QTest::newRow("swelling") << QVector<float>{7, 100, 100, 100, 83, 117} << 2 << "成交量放量";
    QTest::newRow("level below 1.162 x average")
        << QVector<float>{7, 100, 100, 100, 84, 116} << 0 << "成交量平量";
}

void TestKScreens::volumeTrend() {
    QFETCH(QVector<float>, volumes);
    QFETCH(int, code);
    QFETCH(QString, text);
    QString found = "untouched";
    QCOMPARE(::volumeTrend(nullptr, klinebars::volumes(volumes), &found), code);
    QCOMPARE(found, text);
}

void TestKScreens::volumeTrendTooShort() {
    QString found = "untouched";
    QCOMPARE(::volumeTrend(nullptr, klinebars::volumes({100, 100, 100, 100, 10}), &found), -1);
    QCOMPARE(found, QString("untouched"));
    QCOMPARE(::volumeTrend(nullptr, klinebars::volumes({1, 100, 100, 100, 100, 10}), nullptr), 1);
}

void TestKScreens::screensRescanAfterReset() {
    // The indicators are reset per scan: an earlier series leaves no trace.
    StockMACDScanner macd;
    StockKDJScanner kdj;
    const QVector<Stock> golden = repeat(30, 10) + closes({9, 12});
    QCOMPARE(macd.scan(nullptr, repeat(50, 30), nullptr), -1);
    QCOMPARE(macd.scan(nullptr, golden, nullptr), 0);
    QCOMPARE(kdj.scan(nullptr, kdjBars({99, 99, 100, 100, 98, 98, 99, 66, 75}), nullptr), 6);
    QCOMPARE(kdj.scan(nullptr, kdjBars({12, 100, 96, 50, 0, 99}), nullptr), 3);
}

QTEST_APPLESS_MAIN(TestKScreens)
#include "tst_kscreens.moc"
