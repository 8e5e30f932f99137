#include "analysis/screens/breachscanner.h"
#include "analysis/screens/liandiendaysscanner.h"
#include "analysis/screens/pricepositionscanner.h"
#include "analysis/screens/stockcommentfactory.h"
#include "analysis/screens/stockdiweihengpanscanner.h"
#include "analysis/screens/stockduantouchadaoscanner.h"
#include "analysis/screens/stockgaoweihengpanscanner.h"
#include "analysis/screens/stockkdjscanner.h"
#include "analysis/screens/stockkscanner.h"
#include "analysis/screens/stockmacdscanner.h"
#include "analysis/screens/stockmanscanner.h"
#include "analysis/screens/stockmshapescanner.h"
#include "analysis/screens/stockupwardtrendscanner.h"
#include "analysis/screens/stockvolscanner.h"
#include "analysis/screens/stockyiyangchuansanxianscanner.h"
#include "tests/analysis/klinebars.h"

#include <QtTest>

#include <memory>

using namespace klinebars;

using CommentTable = QMap<int, QStringList>;
using ScreenPtr = std::shared_ptr<StockScanner>;
Q_DECLARE_METATYPE(CommentTable)
Q_DECLARE_METATYPE(ScreenPtr)

namespace {

QVector<Stock> withVolume(QVector<Stock> bars, float volume) {
    for (Stock& s : bars)
        s.volume = volume;
    return bars;
}

} // namespace

class TestCommentFactory : public QObject {
    Q_OBJECT
private slots:
    void categories_data();
    void categories();

    void scan_data();
    void scan();
    void emptyCategoriesDropped();
    void addCategoryKeepsEntries();
    void eachScanStartsAfresh();
};

void TestCommentFactory::categories_data() {
    QTest::addColumn<ScreenPtr>("screen");
    QTest::addColumn<int>("category");
    auto row = [](const char* name, StockScanner* screen, int category) {
        QTest::newRow(name) << ScreenPtr(screen) << category;
    };
    row("StockScanner", new StockScanner, -1);
    row("StockMACDScanner", new StockMACDScanner, 0);
    row("StockMaNScanner", new StockMaNScanner, 0);
    row("StockVolScanner", new StockVolScanner, 1);
    row("StockKScanner", new StockKScanner, 2);
    row("StockShapeScanner", new StockShapeScanner, -1);
    row("StockDuanTouChaDaoScanner", new StockDuanTouChaDaoScanner, 3);
    row("StockGaoWeiHengPanScanner", new StockGaoWeiHengPanScanner, 3);
    row("StockDiWeiHengPanScanner", new StockDiWeiHengPanScanner, 3);
    row("StockMShapeScanner", new StockMShapeScanner, 3);
    row("StockUpwardTrendScanner", new StockUpwardTrendScanner, 3);
    row("StockYiYangChuanSanXianScanner", new StockYiYangChuanSanXianScanner, 3);
    row("BreachScanner", new BreachScanner, 4);
    row("StockKDJScanner", new StockKDJScanner, 5);
    row("PricePositionScanner", new PricePositionScanner, 6);
    row("LianDieNDaysScanner", new LianDieNDaysScanner(3), -1);
    row("StockCommentFactory", new StockCommentFactory, -1);
}

void TestCommentFactory::categories() {
    QFETCH(ScreenPtr, screen);
    QFETCH(int, category);
    QCOMPARE(screen->typeId(), category);
    QVERIFY(screen->parent() == nullptr);
}

void TestCommentFactory::scan_data() {
    QTest::addColumn<QVector<Stock>>("bars");
    QTest::addColumn<CommentTable>("table");

    QTest::newRow("nothing fires") << flats(70, 10, 100) << CommentTable();

    // The 5/10 average cross and the MACD cross share category 0, in the
    // order of the screens; the jump from 9 to 11.5 is also a gap of
    // 2.5 / 9 = 27.78%.
    QTest::newRow("two crosses and a gap")
        << withVolume(flats(30, 10) + closes({9, 11.5f}), 100)
        << CommentTable{{0, {"5,10日均线金叉", "MACD金叉"}}, {4, {"看涨缺口幅度:27.78"}}};

    // 61 bars: volume 63, then 211 from bar 40 on (recent 211 against
    // earlier (20 x 63 + 211) / 21 = 70.05); the last close jumps from 10
    // to 11, a gap of 10% and a new 60-day high.
    QVector<Stock> surge = flats(60, 10) + QVector<Stock>{flat(11)};
    for (int i = 0; i < surge.size(); ++i)
        surge[i].volume = i < 40 ? 63 : 211;
    QTest::newRow("volume, gap, position")
        << surge
        << CommentTable{
               {1, {"近20日放量"}}, {4, {"看涨缺口幅度:10.00"}}, {6, {"60日新高,前60日最高:10"}}};
}

void TestCommentFactory::scan() {
    QFETCH(QVector<Stock>, bars);
    QFETCH(CommentTable, table);
    StockCommentFactory factory;
    QStringList comments{"the caller's own"};
    QCOMPARE(factory.scan(nullptr, bars, &comments), 1);
    QVERIFY(comments.isEmpty());
    QCOMPARE(factory.commentTable(), table);
    QCOMPARE(factory.commentTable().keys(), table.keys()); // by category
    QCOMPARE(factory.scan(nullptr, bars, nullptr), 1);
    QCOMPARE(factory.commentTable(), table);
}

void TestCommentFactory::emptyCategoriesDropped() {
    StockCommentFactory factory;
    factory.addCategory(2);
    factory.addCategory(7);
    QCOMPARE(factory.commentTable().keys(), (QList<int>{2, 7}));
    QCOMPARE(factory.scan(nullptr, flats(70, 10, 100), nullptr), 1);
    QVERIFY(factory.commentTable().isEmpty());
}

void TestCommentFactory::addCategoryKeepsEntries() {
    StockCommentFactory factory;
    factory.scan(nullptr, withVolume(flats(30, 10) + closes({9, 11.5f}), 100), nullptr);
    factory.addCategory(0);
    factory.addCategory(9);
    QCOMPARE(factory.commentTable().value(0), (QStringList{"5,10日均线金叉", "MACD金叉"}));
    QVERIFY(factory.commentTable().contains(9));
    QVERIFY(factory.commentTable().value(9).isEmpty());
}

void TestCommentFactory::eachScanStartsAfresh() {
    StockCommentFactory factory;
    factory.scan(nullptr, withVolume(flats(30, 10) + closes({9, 11.5f}), 100), nullptr);
    QVERIFY(!factory.commentTable().isEmpty());
    // A series too short for any screen clears the table.
    factory.scan(nullptr, closes({10, 12}), nullptr);
    QVERIFY(factory.commentTable().isEmpty());
    factory.scan(nullptr, {}, nullptr);
    QVERIFY(factory.commentTable().isEmpty());
}

QTEST_APPLESS_MAIN(TestCommentFactory)
#include "tst_commentfactory.moc"
