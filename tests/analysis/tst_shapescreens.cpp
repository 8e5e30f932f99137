#include "analysis/screens/stockdiweihengpanscanner.h"
#include "analysis/screens/stockduantouchadaoscanner.h"
#include "analysis/screens/stockgaoweihengpanscanner.h"
#include "analysis/screens/stockmshapescanner.h"
#include "analysis/screens/stockupwardtrendscanner.h"
#include "analysis/screens/stockyiyangchuansanxianscanner.h"
#include "tests/analysis/klinebars.h"

#include <QtTest>

using namespace klinebars;

namespace {

// Flat bars dated "d<index>", so that marked points can be told apart.
QVector<Stock> dated(const QVector<float>& closeValues) {
    QVector<Stock> bars;
    for (float c : closeValues) {
        Stock s = flat(c);
        s.date = QString("d%1").arg(bars.size());
        bars.append(s);
    }
    return bars;
}

QVector<float> repeated(int count, float value) {
    return QVector<float>(count, value);
}

QVector<float> join(std::initializer_list<QVector<float>> parts) {
    QVector<float> all;
    for (const QVector<float>& p : parts)
        all += p;
    return all;
}

// A 0.05 shadow above and below the body.
Stock shadowed(float open, float close) {
    return bar(open, qMax(open, close) + 0.05f, qMin(open, close) - 0.05f, close);
}

// Falling, rising, falling bars around price c, the middle close lowest and
// the last in between: "空方炮", a falling pattern.
QVector<Stock> cannonEnding(float c) {
    return {bar(c + 0.1f, c + 0.15f, c - 0.05f, c), bar(c - 0.2f, c - 0.05f, c - 0.25f, c - 0.1f),
            bar(c + 0.05f, c + 0.1f, c - 0.1f, c - 0.05f)};
}

QVector<Stock> withDates(QVector<Stock> bars) {
    for (int i = 0; i < bars.size(); ++i)
        bars[i].date = QString("d%1").arg(i);
    return bars;
}

// 61 bars: a dip to 10 (bar 10), a first top at peak1 (bar 20), a neck at
// 10.5 (bar 30), a slow start (5/10 golden cross at bar 35), a second top at
// peak2 (bars 57, 58) and the falling pattern at the end. The first golden
// cross is at bar 13 or 14.
QVector<Stock> doubleTop(double peak1, double peak2) {
    QVector<Stock> bars;
    for (int i = 0; i <= 10; ++i)
        bars.append(shadowed(10.5 - 0.05 * i, 10.5 - 0.05 * i));
    for (int i = 1; i <= 10; ++i) {
        const float c = 10.0 + (peak1 - 10.0) / 10 * i;
        bars.append(shadowed(c, c));
    }
    for (int i = 1; i <= 10; ++i) {
        const float c = i == 10 ? 10.5 : peak1 - (peak1 - 10.5) / 10 * i;
        bars.append(shadowed(c, c));
    }
    for (int i = 1; i <= 6; ++i)
        bars.append(shadowed(10.5 + 0.12 * i, 10.5 + 0.12 * i));
    for (int i = 1; i <= 21; ++i) {
        const float c = 11.22 + (peak2 - 11.22) / 21 * i;
        bars.append(shadowed(c, c));
    }
    bars += cannonEnding(float(peak2));
    return withDates(bars);
}

// A steady rise of 0.1 a bar from 10, each bar up 1%.
QVector<Stock> upward(int count) {
    QVector<Stock> bars;
    for (int i = 0; i < count; ++i)
        bars.append(bar(10 + 0.1f * i, 10 + 0.1f * i, 10 + 0.1f * i, 10 + 0.1f * i, 0, 1.0f));
    return bars;
}

} // namespace

class TestShapeScreens : public QObject {
    Q_OBJECT
private slots:
    void baseShape();

    void duanTouChaDao_data();
    void duanTouChaDao();
    void duanTouChaDaoKeepsPointsWhenNothingFound();

    void gaoWeiHengPan_data();
    void gaoWeiHengPan();

    void diWeiHengPan_data();
    void diWeiHengPan();

    void mShape_data();
    void mShape();
    void mShapeWithoutGoldenCross();
    void mShapeKeepsPointsWhenNothingFound();
    void mShapeCloseIndices();

    void upwardTrend_data();
    void upwardTrend();

    void yiYangChuanSanXian_data();
    void yiYangChuanSanXian();
};

void TestShapeScreens::baseShape() {
    StockShapeScanner base;
    QStringList comments;
    QCOMPARE(base.scan(nullptr, upward(100), &comments), -1);
    QVERIFY(comments.isEmpty());
    QCOMPARE(base.typeId(), -1);
    QVERIFY(base.shapePoints().date1.isEmpty());
    QVERIFY(base.shapePoints().name.isEmpty());
}

void TestShapeScreens::duanTouChaDao_data() {
    QTest::addColumn<QVector<Stock>>("bars");
    QTest::addColumn<int>("code");

    // Before the last bar: close 10.5 above M5 10.1, M10 10.05, M20 10.025.
    // Last: close 9.5 below M5 = M10 = M20 = 10.
    QVector<Stock> cut = dated(join({repeated(24, 10), {10.5f, 9.5f}}));
    cut.last().changePercent = -9.52f;
    QTest::newRow("cut") << cut << 1;
    QVector<Stock> small = cut;
    small.last().changePercent = -3.0f;
    QTest::newRow("down exactly 3%") << small << -1;
    QTest::newRow("25 bars") << cut.mid(1) << -1;
    QVector<Stock> notAbove = dated(join({repeated(24, 10), {10.0f, 9.5f}}));
    notAbove.last().changePercent = -5.0f;
    QTest::newRow("bar before not above the averages") << notAbove << -1;
}

void TestShapeScreens::duanTouChaDao() {
    QFETCH(QVector<Stock>, bars);
    QFETCH(int, code);
    StockDuanTouChaDaoScanner scanner;
    QStringList found;
    QCOMPARE(scanner.scan(nullptr, bars, &found), code);
    QCOMPARE(scanner.typeId(), 3);
    const ShapePoints& points = scanner.shapePoints();
    if (code == 1) {
        QCOMPARE(found, QStringList{"断头铡刀"});
        QCOMPARE(points.date1, bars.last().date);
        QCOMPARE(points.price1, 9.5f);
        QCOMPARE(points.name, QString("断头铡刀"));
    } else {
        QVERIFY(found.isEmpty());
        QVERIFY(points.date1.isEmpty());
        QVERIFY(points.name.isEmpty());
    }
    QVERIFY(points.date2.isEmpty());
    QVERIFY(points.date3.isEmpty());
}

void TestShapeScreens::duanTouChaDaoKeepsPointsWhenNothingFound() {
    StockDuanTouChaDaoScanner scanner;
    QVector<Stock> cut = dated(join({repeated(24, 10), {10.5f, 9.5f}}));
    cut.last().changePercent = -9.52f;
    QCOMPARE(scanner.scan(nullptr, cut, nullptr), 1);
    QCOMPARE(scanner.scan(nullptr, dated(repeated(30, 10)), nullptr), -1);
    QCOMPARE(scanner.shapePoints().date1, QString("d25"));
    QCOMPARE(scanner.shapePoints().name, QString("断头铡刀"));
}

void TestShapeScreens::gaoWeiHengPan_data() {
    QTest::addColumn<QVector<float>>("closes");
    QTest::addColumn<int>("code");

    // Week: lowest 100, highest 102 (2%). Bar 0 lies outside the 60 bars.
    const QVector<float> week = {100, 102, 101, 100.5f, 101.5f, 101, 100.8f};
    // (102 - 82) / 100 = 20% exactly.
    QTest::newRow("rise of exactly 20%") << join({{50}, repeated(53, 82), week}) << 1;
    // 19.5%; counting bar 0 (close 50) would give 52%.
    QTest::newRow("rise of 19.5%") << join({{50}, repeated(53, 82.5f), week}) << -1;
    QVector<float> wide = week;
    wide[1] = 102.11f; // range of exactly 2.11%
    QTest::newRow("range of 2.11%") << join({{50}, repeated(53, 82), wide}) << -1;
    wide[1] = 102.1f;
    QTest::newRow("range of 2.1%") << join({{50}, repeated(53, 82), wide}) << 1;
    QTest::newRow("60 bars") << join({repeated(53, 82), week}) << -1;
}

void TestShapeScreens::gaoWeiHengPan() {
    QFETCH(QVector<float>, closes);
    QFETCH(int, code);
    StockGaoWeiHengPanScanner scanner;
    QStringList found;
    QCOMPARE(scanner.scan(nullptr, dated(closes), &found), code);
    QCOMPARE(found, code == 1 ? QStringList{"高位横盘看跌"} : QStringList());
    QVERIFY(scanner.shapePoints().name.isEmpty());
    QCOMPARE(scanner.typeId(), 3);
}

void TestShapeScreens::diWeiHengPan_data() {
    QTest::addColumn<QVector<float>>("closes");
    QTest::addColumn<int>("code");

    // Bars 1..41 (60 to 20 back) at 100; bars 42..53 at 90 lie outside that
    // window and outside the week.
    const QVector<float> week = {103.6f, 104, 105, 104.5f, 103.8f, 104.2f, 104};
    // 103.6 <= 1.036 x 100, range 1.4 / 103.6 = 1.35%.
    QTest::newRow("week low at 1.036 x")
        << join({{50}, repeated(41, 100), repeated(12, 90), week}) << 0;
    QVector<float> higher = week;
    higher[0] = 103.7f;
    QTest::newRow("week low above 1.036 x")
        << join({{50}, repeated(41, 100), repeated(12, 90), higher}) << -1;
    QVector<float> wide = week;
    wide[2] = 106; // 2.4 / 103.6 = 2.3%
    QTest::newRow("range too wide")
        << join({{50}, repeated(41, 100), repeated(12, 90), wide}) << -1;
    QTest::newRow("60 bars") << join({repeated(41, 100), repeated(12, 90), week}) << -1;
}

void TestShapeScreens::diWeiHengPan() {
    QFETCH(QVector<float>, closes);
    QFETCH(int, code);
    StockDiWeiHengPanScanner scanner;
    QStringList found;
    QCOMPARE(scanner.scan(nullptr, dated(closes), &found), code);
    QCOMPARE(found, code == 0 ? QStringList{"低位横盘看涨"} : QStringList());
    QVERIFY(scanner.shapePoints().name.isEmpty());
}

void TestShapeScreens::mShape_data() {
    QTest::addColumn<QVector<Stock>>("bars");
    QTest::addColumn<int>("code");
    QTest::addColumn<float>("firstTop");

    // Tops: bar 20 high peak1 + 0.05, bar 58 high peak2 + 0.15; neck close
    // 10.5 at bar 30, so each top must reach 1.09 x 10.5 = 11.445.
    QTest::newRow("tops 12.05 and 12.45") << doubleTop(12.0, 12.3) << 1 << 12.0f;
    QTest::newRow("tops 12.05 and 13.15") << doubleTop(12.0, 13.0) << 1 << 12.0f;
    // The second top is 51% above the first: no double top. (Measured as a
    // difference against 1.11 x the lower top, 6.1 would pass.)
    QTest::newRow("tops 12.05 and 18.15") << doubleTop(12.0, 18.0) << -1 << 0.0f;
    QTest::newRow("first top 11.45") << doubleTop(11.4, 12.3) << 1 << 11.4f;
    QTest::newRow("first top 11.4") << doubleTop(11.35, 12.3) << -1 << 0.0f;

    QVector<Stock> flatEnd = doubleTop(12.0, 12.3);
    flatEnd.last() = flat(12.3f);
    QTest::newRow("no falling pattern at the end") << flatEnd << -1 << 0.0f;
    QVector<Stock> earlyHigh = doubleTop(12.0, 12.3);
    earlyHigh[5].high = 20; // the 60-bar high lies before the last 30 bars
    QTest::newRow("high of 60 bars not in the last 30") << earlyHigh << -1 << 0.0f;
    QTest::newRow("60 bars") << doubleTop(12.0, 12.3).mid(1) << -1 << 0.0f;
}

void TestShapeScreens::mShape() {
    QFETCH(QVector<Stock>, bars);
    QFETCH(int, code);
    QFETCH(float, firstTop);
    StockMShapeScanner scanner;
    QStringList found;
    QCOMPARE(scanner.scan(nullptr, bars, &found), code);
    const ShapePoints& points = scanner.shapePoints();
    if (code != 1) {
        QVERIFY(found.isEmpty());
        QVERIFY(points.name.isEmpty());
        return;
    }
    QCOMPARE(found, QStringList{"M形态"});
    QCOMPARE(points.name, QString("双顶形态"));
    QCOMPARE(points.date1, QString("d58")); // the later top
    QCOMPARE(points.price1, bars[58].close);
    QCOMPARE(points.date2, QString("d20"));
    QCOMPARE(points.price2, firstTop);
    QCOMPARE(points.date3, QString("d30"));
    QCOMPARE(points.price3, 10.5f);
}

void TestShapeScreens::mShapeWithoutGoldenCross() {
    // The 5-bar average starts above the 10-bar one (bar 9) and never falls
    // below it: both crosses stay at bar 0, which becomes the first top.
    QVector<Stock> bars;
    bars.append(shadowed(12, 12));
    for (int i = 1; i <= 4; ++i)
        bars.append(shadowed(10.5f, 10.5f));
    for (int i = 5; i <= 9; ++i)
        bars.append(shadowed(11.5f, 11.5f));
    for (int i = 1; i <= 48; ++i) {
        const float c = 11.5 + (12.4 - 11.5) / 48 * i;
        bars.append(shadowed(c, c));
    }
    bars += cannonEnding(12.4f);
    bars = withDates(bars);
    QCOMPARE(bars.size(), 61);

    StockMShapeScanner scanner;
    QCOMPARE(scanner.scan(nullptr, bars, nullptr), 1);
    QCOMPARE(scanner.shapePoints().date2, QString("d0"));
    QCOMPARE(scanner.shapePoints().price2, 12.0f);
    QCOMPARE(scanner.shapePoints().date1, QString("d58"));
    QCOMPARE(scanner.shapePoints().date3, QString("d1")); // first of the equal lows
}

void TestShapeScreens::mShapeKeepsPointsWhenNothingFound() {
    StockMShapeScanner scanner;
    QCOMPARE(scanner.scan(nullptr, doubleTop(12.0, 12.3), nullptr), 1);
    QCOMPARE(scanner.scan(nullptr, doubleTop(12.0, 18.0), nullptr), -1);
    QCOMPARE(scanner.shapePoints().date1, QString("d58"));
    QCOMPARE(scanner.shapePoints().date2, QString("d20"));
    QCOMPARE(scanner.shapePoints().name, QString("双顶形态"));
}

void TestShapeScreens::mShapeCloseIndices() {
    StockMShapeScanner scanner;
    QCOMPARE(scanner.highestCloseIndex(0, 5), -1); // nothing scanned yet
    // Too short to be a shape, but the copy is kept.
    QCOMPARE(scanner.scan(nullptr, dated({3, 5, 5, 2, 2, 4}), nullptr), -1);

    QCOMPARE(scanner.highestCloseIndex(0, 6), 1); // ties keep the earlier bar
    QCOMPARE(scanner.highestCloseIndex(0, 1), 0); // the end is not included
    QCOMPARE(scanner.highestCloseIndex(2, 0), 2); // to < from: up to the end
    QCOMPARE(scanner.highestCloseIndex(5, 0), 5);
    QCOMPARE(scanner.highestCloseIndex(3, 3), -1);
    QCOMPARE(scanner.highestCloseIndex(0, 100), 1); // kept within the copy
    QCOMPARE(scanner.highestCloseIndex(-1, 3), -1);

    QCOMPARE(scanner.lowestCloseIndex(0, 5), 3);
    QCOMPARE(scanner.lowestCloseIndex(4, 5), 4);
    QCOMPARE(scanner.lowestCloseIndex(5, 5), 5);
    QCOMPARE(scanner.lowestCloseIndex(4, 3), -1);
    QCOMPARE(scanner.lowestCloseIndex(5, 100), 5);
    QCOMPARE(scanner.lowestCloseIndex(-2, 1), -1);

    // The searches start from 0 and 99999.99.
    scanner.scan(nullptr, dated({0, -1, 100000}), nullptr);
    QCOMPARE(scanner.highestCloseIndex(0, 2), -1);
    QCOMPARE(scanner.highestCloseIndex(0, 3), 2);
    QCOMPARE(scanner.lowestCloseIndex(2, 2), -1);
    QCOMPARE(scanner.lowestCloseIndex(0, 2), 1);
}

void TestShapeScreens::upwardTrend_data() {
    QTest::addColumn<QVector<Stock>>("bars");
    QTest::addColumn<int>("code");

    QTest::newRow("steady rise") << upward(46) << 0;
    QTest::newRow("45 bars") << upward(45) << -1;
    QVector<Stock> v = upward(46);
    v[45].changePercent = 9.0f; // the latest bar is not limited
    QTest::newRow("latest bar up 9%") << v << 0;
    v = upward(46);
    v[44].changePercent = 3.61f;
    QTest::newRow("bar before up 3.61%") << v << 0;
    v[44].changePercent = 3.62f;
    QTest::newRow("bar before up 3.62%") << v << -1;
    v = upward(46);
    v[17].changePercent = -3.2f; // the oldest bar of the 29
    QTest::newRow("29th bar down 3.2%") << v << 0;
    v[17].changePercent = -3.21f;
    QTest::newRow("29th bar down 3.21%") << v << -1;
    v = upward(46);
    v[16].changePercent = -9.0f; // outside the 29 bars
    QTest::newRow("30th bar down 9%") << v << 0;

    // The lowest close of the last 30 bars must lie 21 or more bars back.
    v = upward(46);
    v[24].close = 11.5f; // 21 back, below bar 16's 11.6
    QTest::newRow("lowest close 21 bars back") << v << 0;
    v = upward(46);
    v[25].close = 11.5f; // 20 back
    QTest::newRow("lowest close 20 bars back") << v << -1;

    QVector<Stock> falling;
    for (int i = 0; i < 46; ++i)
        falling.append(bar(20 - 0.1f * i, 20 - 0.1f * i, 20 - 0.1f * i, 20 - 0.1f * i, 0, -0.5f));
    QTest::newRow("falling") << falling << -1;
}

void TestShapeScreens::upwardTrend() {
    QFETCH(QVector<Stock>, bars);
    QFETCH(int, code);
    StockUpwardTrendScanner scanner;
    QStringList found{"earlier"};
    QCOMPARE(scanner.scan(nullptr, bars, &found), code);
    QCOMPARE(found, QStringList{"earlier"}); // never comments
    QVERIFY(scanner.shapePoints().name.isEmpty());
}

void TestShapeScreens::yiYangChuanSanXian_data() {
    QTest::addColumn<QVector<Stock>>("bars");
    QTest::addColumn<int>("code");

    // Before the last bar: close 9.95 below M5 9.99, M10 9.995, M30 9.998,
    // which lie 0.05% apart. Last: 10.5 above M5 10.09, M10 10.045, M30 10.015.
    auto cross = [](float change) {
        QVector<Stock> bars = dated(join({repeated(31, 10), {9.95f, 10.5f}}));
        bars.last().changePercent = change;
        return bars;
    };
    QTest::newRow("rise of 5.5%") << cross(5.5f) << 0;
    QTest::newRow("rise of exactly 4%") << cross(4.0f) << -1;
    QTest::newRow("rise of 4.01%") << cross(4.01f) << 0;
    QTest::newRow("32 bars") << cross(5.5f).mid(1) << -1;
    QVector<Stock> notBelow = dated(join({repeated(31, 10), {10.0f, 10.5f}}));
    notBelow.last().changePercent = 5.0f;
    QTest::newRow("bar before on the averages") << notBelow << -1;
    // M30 at 11.27 lies 12.8% above M5 9.99 before the last bar.
    QVector<Stock> apart = dated(join({repeated(21, 12), repeated(10, 10), {9.95f, 12.0f}}));
    apart.last().changePercent = 20.0f;
    QTest::newRow("averages apart") << apart << -1;
}

void TestShapeScreens::yiYangChuanSanXian() {
    QFETCH(QVector<Stock>, bars);
    QFETCH(int, code);
    StockYiYangChuanSanXianScanner scanner;
    QStringList found;
    QCOMPARE(scanner.scan(nullptr, bars, &found), code);
    QCOMPARE(found, code == 0 ? QStringList{"一阳穿三线"} : QStringList());
    QVERIFY(scanner.shapePoints().name.isEmpty());
}

QTEST_APPLESS_MAIN(TestShapeScreens)
#include "tst_shapescreens.moc"
