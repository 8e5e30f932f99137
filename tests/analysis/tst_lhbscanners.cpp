#include "analysis/screens/lhbstockscanner.h"
#include "analysis/screens/lhbthreadpool.h"
#include "core/stockapplication.h"

#include <QDir>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

#include <limits>

namespace {

const QString kCode = QStringLiteral("600001");
const QString kName = QStringLiteral("测试股份");
const QString kD = QStringLiteral("2018-03-09");
const QString kD1 = QStringLiteral("2018-03-08");
const QString kD2 = QStringLiteral("2018-03-07");

const QString k60Text = QStringLiteral("测试股份(600001)买入营业部均有不错收益率,值得推荐买入");
const QString kTText = QStringLiteral("测试股份(600001)主力隔日做T买入,可以考虑介入");
const QString kJiaCangText = QStringLiteral("测试股份(600001)主力加仓买入,大力推荐");
const QString k66Text = QStringLiteral("测试股份(600001)优质营业部合力买入,值得推荐买入");

LHBUnit seat(const QString& name, int side, float net, float rate = 0, float buy = 0,
             float sell = 0) {
    LHBUnit u;
    u.name = name;
    u.side = side;
    u.netAmount = net;
    u.rate = rate;
    u.buyAmount = buy;
    u.sellAmount = sell;
    return u;
}

QVector<LHBUnit> buyers(const QVector<float>& nets, float rate, const QString& name = "营业部") {
    QVector<LHBUnit> seats;
    for (int i = 0; i < nets.size(); ++i)
        seats.append(seat(name + QString::number(i), 1, nets.at(i), rate));
    return seats;
}

StockApplication* app() {
    return StockApplication::instance();
}

// Seats of one day for the tested code.
void store(const QString& day, const QVector<LHBUnit>& seats, const QString& code = kCode) {
    app()->setLhbSeats(day, code, seats);
}

// Seats that make GeRiZuoT match: bought on D-2, sold a little on D-1,
// bought on D.
void storeDayTrade() {
    store(kD2, {seat("甲", 1, 500.0f)});
    store(kD1, {seat("甲", 2, -500.0f)});
    store(kD, {seat("甲", 1, 500.0f)});
}

} // namespace

class TestLhbScanners : public QObject {
    Q_OBJECT
private slots:
    void init();

    void over60_data();
    void over60();
    void over66_data();
    void over66();
    void dayTrade_data();
    void dayTrade();
    void addedPosition();
    void missingDays();
    void firstMatchWins();
    void noMatchLeavesResult();
    void nameWithPlaceholder();
    void singleThreadPool();
};

void TestLhbScanners::init() {
    app()->clearCaches();
}

void TestLhbScanners::over60_data() {
    QTest::addColumn<QVector<LHBUnit>>("seats");
    QTest::addColumn<bool>("expected");

    QTest::newRow("rate exactly 60, nets 1000") << buyers({200, 200, 200, 200, 200}, 60.0f) << true;
    QTest::newRow("rate 59.9") << buyers({200, 200, 200, 200, 200}, 59.9f) << false;
    QTest::newRow("institutions below 60")
        << buyers({250, 250, 250, 250, 250}, 10.0f, QStringLiteral("机构专用")) << true;
    QTest::newRow("four seats") << buyers({300, 300, 300, 300}, 80.0f) << false;

    // 300.7 -> 300, 600.7 -> 600, 998.9 -> 998: below 1000 although the
    // plain sum is 1000.3.
    QTest::newRow("truncated sum 998") << buyers({300.7f, 300.7f, 398.9f, 0, 0}, 70.0f) << false;
    QTest::newRow("negative net among buyers") << buyers({600, 500, -100, 0, 0}, 70.0f) << true;

    // Selling seats and the summary neither count nor add.
    QVector<LHBUnit> withSellers = buyers({300, 300, 300, 300}, 70.0f);
    withSellers << seat("卖方", 2, 500.0f, 90.0f) << seat("合计", 3, 1200.0f, 90.0f);
    QTest::newRow("sellers not counted") << withSellers << false;
    QVector<LHBUnit> smallBuyers = buyers({150, 150, 150, 150, 150}, 70.0f);
    smallBuyers << seat("卖方", 2, 1000.0f, 10.0f) << seat("合计", 3, 1000.0f, 10.0f);
    QTest::newRow("sellers not summed") << smallBuyers << false;

    const float nan = std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("NaN rate") << buyers({300, 300, 300, 300, 300}, nan) << false;
    QVector<LHBUnit> nanNet = buyers({600, 600, 600, 600, 600}, 70.0f);
    nanNet[2].netAmount = nan;
    QTest::newRow("NaN net") << nanNet << false;
}

void TestLhbScanners::over60() {
    QFETCH(QVector<LHBUnit>, seats);
    QFETCH(bool, expected);
    store(kD, seats);
    LHBScanResult result;
    QCOMPARE(LHBStockScanner_5Over60Percent().matches(kCode, kName, kD, kD1, kD2, result),
             expected);
    QCOMPARE(result.first, expected ? kCode : QString());
    QCOMPARE(result.second, expected ? k60Text : QString());
}

void TestLhbScanners::over66_data() {
    QTest::addColumn<QVector<LHBUnit>>("seats");
    QTest::addColumn<bool>("expected");

    // 0 + 500 -> 500, - 99.5 -> 400; 400 + 500 -> 900, - 99.5 -> 800.
    const QVector<LHBUnit> two{seat("甲", 1, 0, 66.0f, 500, 99.5f),
                               seat("乙", 1, 0, 70.0f, 500, 99.5f)};
    QTest::newRow("rate exactly 66, sum 800") << two << true;
    QVector<LHBUnit> lowRate = two;
    lowRate[0].rate = 65.9f;
    QTest::newRow("one rate 65.9") << lowRate << false;
    // 400.5 -> 400, 400 + 399.6 -> 799: short of 800 that the plain sum
    // 800.1 would reach.
    QTest::newRow("truncated sum 799")
        << QVector<LHBUnit>{seat("甲", 1, 0, 80, 400.5f, 0), seat("乙", 1, 0, 80, 399.6f, 0)}
        << false;
    QVector<LHBUnit> withSeller{seat("甲", 1, 0, 80, 400, 0), seat("乙", 1, 0, 80, 390, 0),
                                seat("丙", 2, 0, 90, 500, 0), seat("合计", 3, 0, 90, 500, 0)};
    QTest::newRow("sellers not summed") << withSeller << false;
    withSeller[1].buyAmount = 400;
    QTest::newRow("buyers alone reach 800") << withSeller << true;
}

void TestLhbScanners::over66() {
    QFETCH(QVector<LHBUnit>, seats);
    QFETCH(bool, expected);
    store(kD, seats);
    LHBScanResult result;
    QCOMPARE(LHBStockScanner_5Over66Percent().matches(kCode, kName, kD, kD1, kD2, result),
             expected);
    QCOMPARE(result.second, expected ? k66Text : QString());
}

void TestLhbScanners::dayTrade_data() {
    QTest::addColumn<QVector<LHBUnit>>("d");
    QTest::addColumn<QVector<LHBUnit>>("d1");
    QTest::addColumn<QVector<LHBUnit>>("d2");
    QTest::addColumn<bool>("expected");

    const QVector<LHBUnit> buyD{seat("乙", 1, 800), seat("甲", 1, 500.0f)};
    const QVector<LHBUnit> sellD1{seat("甲", 2, -500.0f)};
    const QVector<LHBUnit> buyD2{seat("甲", 1, 500.0f)};
    QTest::newRow("thresholds met exactly") << buyD << sellD1 << buyD2 << true;
    QTest::newRow("D net 499.9") << QVector<LHBUnit>{seat("甲", 1, 499.9f)} << sellD1 << buyD2
                                 << false;
    QTest::newRow("D-1 net -500.1")
        << buyD << QVector<LHBUnit>{seat("甲", 2, -500.1f)} << buyD2 << false;
    QTest::newRow("D-1 on the buying side")
        << buyD << QVector<LHBUnit>{seat("甲", 1, 600)} << buyD2 << false;
    QTest::newRow("D-2 on the selling side")
        << buyD << sellD1 << QVector<LHBUnit>{seat("甲", 2, 600)} << false;
    QTest::newRow("other seat on D-2")
        << buyD << sellD1 << QVector<LHBUnit>{seat("丙", 1, 900)} << false;
    // The summary line is not a buying seat even when it bears the name.
    QTest::newRow("summary on D") << QVector<LHBUnit>{seat("甲", 3, 900)} << sellD1 << buyD2
                                  << false;
}

void TestLhbScanners::dayTrade() {
    QFETCH(QVector<LHBUnit>, d);
    QFETCH(QVector<LHBUnit>, d1);
    QFETCH(QVector<LHBUnit>, d2);
    QFETCH(bool, expected);
    store(kD, d);
    store(kD1, d1);
    store(kD2, d2);
    LHBScanResult result;
    QCOMPARE(LHBStockScanner_GeRiZuoT().matches(kCode, kName, kD, kD1, kD2, result), expected);
    QCOMPARE(result.second, expected ? kTText : QString());
}

void TestLhbScanners::addedPosition() {
    LHBScanResult result;
    store(kD, {seat("甲", 1, 500.0f)});
    store(kD1, {seat("乙", 1, 900.0f), seat("甲", 1, 499.9f)});
    store(kD2, {seat("丁", 1, 900.0f)}, QStringLiteral("000002"));
    QVERIFY(!LHBStockScanner_ZhuLiJiaCang().matches(kCode, kName, kD, kD1, kD2, result));

    // D-2 holds other stocks only: the code need not be stored there.
    store(kD1, {seat("乙", 1, 900.0f), seat("甲", 1, 500.0f)});
    QVERIFY(LHBStockScanner_ZhuLiJiaCang().matches(kCode, kName, kD, kD1, kD2, result));
    QCOMPARE(result.first, kCode);
    QCOMPARE(result.second, kJiaCangText);
}

void TestLhbScanners::missingDays() {
    LHBScanResult result;
    // D and D-1 would make ZhuLiJiaCang match, but no seats at all were
    // stored for D-2.
    store(kD, {seat("甲", 1, 600)});
    store(kD1, {seat("甲", 1, 600), seat("甲", 2, 0)});
    QVERIFY(!LHBStockScanner_ZhuLiJiaCang().matches(kCode, kName, kD, kD1, kD2, result));
    QVERIFY(!LHBStockScanner_GeRiZuoT().matches(kCode, kName, kD, kD1, kD2, result));

    // The code is missing under D while D exists.
    app()->clearCaches();
    store(kD, buyers({300, 300, 300, 300, 300}, 90), QStringLiteral("000002"));
    store(kD1, {seat("甲", 1, 600)});
    store(kD2, {seat("甲", 1, 600)});
    QVERIFY(!LHBStockScanner_5Over60Percent().matches(kCode, kName, kD, kD1, kD2, result));
    QVERIFY(!LHBStockScanner_5Over66Percent().matches(kCode, kName, kD, kD1, kD2, result));
    QVERIFY(!LHBStockScanner_ZhuLiJiaCang().matches(kCode, kName, kD, kD1, kD2, result));
    QVERIFY(!runLHBScanners(kCode, kName, kD, kD1, kD2, result));
    // The other stock still matches the first screen.
    QVERIFY(runLHBScanners(QStringLiteral("000002"), QStringLiteral("乙股"), kD, kD1, kD2, result));
    QCOMPARE(result.second, QStringLiteral("乙股(000002)买入营业部均有不错收益率,值得推荐买入"));
}

void TestLhbScanners::firstMatchWins() {
    // GeRiZuoT and 5Over66 (two seats at 66%+, 500 + 500 bought) both match;
    // ZhuLiJiaCang does not (甲 sold on D-1).
    storeDayTrade();
    store(kD, {seat("甲", 1, 500.0f, 70, 500, 0), seat("乙", 1, 500.0f, 70, 500, 0)});
    LHBScanResult result;
    QVERIFY(LHBStockScanner_5Over66Percent().matches(kCode, kName, kD, kD1, kD2, result));
    QVERIFY(runLHBScanners(kCode, kName, kD, kD1, kD2, result));
    QCOMPARE(result.second, kTText);

    // Five of them with nets of 1000 in all: 5Over60 comes first.
    store(kD, buyers({500, 500, 0, 0, 0}, 70));
    store(kD1, {seat("营业部0", 1, 600)});
    QVERIFY(runLHBScanners(kCode, kName, kD, kD1, kD2, result));
    QCOMPARE(result.second, k60Text);

    // Only ZhuLiJiaCang and 5Over66 remain: ZhuLiJiaCang's text.
    store(kD, {seat("营业部0", 1, 600, 70, 600, 0), seat("营业部1", 1, 300, 70, 300, 0)});
    QVERIFY(runLHBScanners(kCode, kName, kD, kD1, kD2, result));
    QCOMPARE(result.second, kJiaCangText);

    // Only 5Over66.
    store(kD1, {seat("其他", 1, 600)});
    QVERIFY(runLHBScanners(kCode, kName, kD, kD1, kD2, result));
    QCOMPARE(result.second, k66Text);
}

void TestLhbScanners::noMatchLeavesResult() {
    LHBScanResult result(QStringLiteral("old"), QStringLiteral("text"));
    QVERIFY(!runLHBScanners(kCode, kName, kD, kD1, kD2, result));
    store(kD, buyers({100, 100}, 10));
    store(kD1, buyers({100, 100}, 10));
    store(kD2, buyers({100, 100}, 10));
    QVERIFY(!runLHBScanners(kCode, kName, kD, kD1, kD2, result));
    QCOMPARE(result.first, QStringLiteral("old"));
    QCOMPARE(result.second, QStringLiteral("text"));
}

void TestLhbScanners::nameWithPlaceholder() {
    store(kD, buyers({200, 200, 200, 200, 200}, 60.0f));
    LHBScanResult result;
    QVERIFY(runLHBScanners(kCode, QStringLiteral("A%2B"), kD, kD1, kD2, result));
    QCOMPARE(result.second, QStringLiteral("A%2B(600001)买入营业部均有不错收益率,值得推荐买入"));
}

void TestLhbScanners::singleThreadPool() {
    QObject owner;
    QThreadPool* pool = createSingleThreadPool(&owner);
    QCOMPARE(pool->maxThreadCount(), 1);
    QCOMPARE(pool->parent(), &owner);
}

int main(int argc, char** argv) {
    // The application object reads and writes config.ini in the working
    // directory: keep that away from the source tree.
    QTemporaryDir dir;
    if (!dir.isValid() || !QDir::setCurrent(dir.path()))
        return 1;
    StockApplication application(argc, argv);
    TestLhbScanners test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_lhbscanners.moc"
