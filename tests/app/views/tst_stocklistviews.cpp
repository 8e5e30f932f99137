#include "app/views/linedelegate.h"
#include "app/views/ordertablewidgetitem.h"
#include "app/views/stocklistviewfactory.h"
#include "app/views/stocklistviewstrategy.h"
#include "app/views/strategytrade.h"
#include "core/stockapplication.h"

#include "tests/support/stockapptestmain.h"

#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStyle>
#include <QTableView>
#include <QtTest>

#include <algorithm>
#include <limits>
#include <memory>

namespace {

Stock makeStock(const QString& code, const QString& name, float changePercent = 0.0f)
{
    Stock s;
    s.code = code;
    s.name = name;
    s.changePercent = changePercent;
    s.typeText = QStringLiteral("日涨幅偏离值达7%的证券");
    s.jd = QStringLiteral("买一主买");
    s.date = QStringLiteral("2017-10-11");
    return s;
}

QStringList columnTexts(const QTableWidget* table, int column)
{
    QStringList texts;
    for (int r = 0; r < table->rowCount(); ++r)
        texts << (table->item(r, column) ? table->item(r, column)->text() : QString());
    return texts;
}

QStringList headerTexts(const QTableWidget* table)
{
    QStringList texts;
    for (int c = 0; c < table->columnCount(); ++c)
        texts << table->horizontalHeaderItem(c)->text();
    return texts;
}

QPoint cellCentre(const QTableWidget* table, int row, int column)
{
    return table->visualItemRect(table->item(row, column)).center();
}

} // namespace

class TestStockListViews : public QObject {
    Q_OBJECT
private slots:
    void factoryKinds_data();
    void factoryKinds();
    void tableConventions_data();
    void tableConventions();
    void lhbpkColumnsAndCells();
    void rowsStayTogetherUnderDefaultSort();
    void rowsStayTogetherUnderNameSort();
    void manyStocksSortOnce();
    void numericAndTextSorting();
    void sameCodeTwice();
    void clickEmitsTrimmedCode();
    void highlightMovesReportTheirStock();
    void bidView();
    void bidViewTextColumnsSortAsText();
    void basicViewListingDate_data();
    void basicViewListingDate();
    void strategyView();
    void strategyViewSharedTradeDeletedOnce();
    void clearKeepsHeaders();
    void delegateDrawsBottomLine();
    void delegateHidesFocusFrame();
};

void TestStockListViews::factoryKinds_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("columns"); // -1: no view
    QTest::newRow("bid") << 0 << 19;
    QTest::newRow("lhb") << 1 << 7;
    QTest::newRow("lhbpk") << 2 << 6;
    QTest::newRow("ochl") << 3 << 10;
    QTest::newRow("basic") << 4 << 7;
    QTest::newRow("five") << 5 << -1;
    QTest::newRow("strategy") << 6 << 10;
    QTest::newRow("seven") << 7 << -1;
    QTest::newRow("negative") << -1 << -1;
}

void TestStockListViews::factoryKinds()
{
    QFETCH(int, kind);
    QFETCH(int, columns);
    std::unique_ptr<StockListView> view(createStockListView(kind, nullptr));
    if (columns < 0) {
        QVERIFY(!view);
        return;
    }
    QVERIFY(view);
    QCOMPARE(view->columnCount(), columns);
    QCOMPARE(view->rowCount(), 0);
}

void TestStockListViews::tableConventions_data()
{
    QTest::addColumn<int>("kind");
    for (int kind : {0, 1, 2, 3, 4, 6})
        QTest::newRow(qPrintable(QString::number(kind))) << kind;
}

void TestStockListViews::tableConventions()
{
    QFETCH(int, kind);
    std::unique_ptr<StockListView> view(createStockListView(kind, nullptr));
    QCOMPARE(view->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(view->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(view->selectionMode(), QAbstractItemView::SingleSelection);
    QVERIFY(view->isSortingEnabled());
    QVERIFY(!view->showGrid());
    QVERIFY(view->alternatingRowColors());
    QVERIFY(view->verticalHeader()->isHidden());
    QVERIFY(!view->horizontalHeader()->isHidden());
    QVERIFY(qobject_cast<LineDelegate*>(view->itemDelegate()));
    QCOMPARE(view->contextMenuPolicy(), Qt::CustomContextMenu);
    QCOMPARE(view->clickedRow(), -1);
    QCOMPARE(view->clickedColumn(), -1);
    QVERIFY(view->option());

    // Read-only in practice, not only by flag: a double click opens no editor.
    Stock s = makeStock("600519", "贵州茅台", 1.5f);
    view->addStock(s);
    if (view->rowCount() > 0) {
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        const QPoint p = cellCentre(view.get(), 0, 1);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, p);
        for (const QLineEdit* editor : view->findChildren<QLineEdit*>())
            QVERIFY(!editor->isVisible());
        QCOMPARE(view->item(0, 1)->text(), QString("贵州茅台"));
    }
}

void TestStockListViews::lhbpkColumnsAndCells()
{
    std::unique_ptr<StockListView> view(createStockListView(2, nullptr));
    QCOMPARE(headerTexts(view.get()),
             QStringList({"代码", "名称", "涨幅", "类型", "点评", "日期"}));
    const int widths[] = {64, 64, 64, 320, 240, 100};
    for (int c = 0; c < 6; ++c)
        QCOMPARE(view->columnWidth(c), widths[c]);

    view->addStock(makeStock("600519", "贵州茅台", 10.0f));
    QCOMPARE(view->rowCount(), 1);
    QCOMPARE(view->item(0, 0)->text(), QString("600519"));
    QCOMPARE(view->item(0, 1)->text(), QString("贵州茅台"));
    QCOMPARE(view->item(0, 2)->text(), QString("10")); // general format drops ".0"
    QCOMPARE(view->item(0, 3)->text(), QString("日涨幅偏离值达7%的证券"));
    QCOMPARE(view->item(0, 4)->text(), QString("买一主买"));
    QCOMPARE(view->item(0, 5)->text(), QString("2017-10-11"));
    const int centred = Qt::AlignHCenter | Qt::AlignVCenter;
    QCOMPARE(view->item(0, 0)->textAlignment(), centred);
    QCOMPARE(view->item(0, 1)->textAlignment(), centred);
    QCOMPARE(view->item(0, 5)->textAlignment(), centred);
    QVERIFY(view->item(0, 3)->textAlignment() != centred);
    // A change that is not finite is no figure (the lower code sorts first).
    view->addStock(makeStock("600000", "浦发银行", std::numeric_limits<float>::infinity()));
    QCOMPARE(columnTexts(view.get(), 2), QStringList({"-", "10"}));
}

void TestStockListViews::rowsStayTogetherUnderDefaultSort()
{
    std::unique_ptr<StockListView> view(createStockListView(2, nullptr));
    const QMap<QString, QString> names{
        {"600519", "贵州茅台"}, {"000001", "平安银行"}, {"300750", "宁德时代"}, {"002415", "海康威视"}};
    for (const char* code : {"600519", "000001", "300750", "002415"})
        view->addStock(makeStock(code, names.value(code)));
    QCOMPARE(view->rowCount(), 4);
    for (int r = 0; r < 4; ++r)
        QCOMPARE(view->item(r, 1)->text(), names.value(view->item(r, 0)->text()));

    QCOMPARE(view->horizontalHeader()->sortIndicatorSection(), 0);
    QCOMPARE(view->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    QCOMPARE(columnTexts(view.get(), 0), QStringList({"000001", "002415", "300750", "600519"}));
}

void TestStockListViews::rowsStayTogetherUnderNameSort()
{
    std::unique_ptr<StockListView> view(createStockListView(2, nullptr));
    view->sortByColumn(1, Qt::AscendingOrder);
    view->addStock(makeStock("000003", "b", 1.0f));
    view->addStock(makeStock("000001", "c", 2.0f));
    view->addStock(makeStock("000002", "a", 3.0f));
    QCOMPARE(columnTexts(view.get(), 1), QStringList({"a", "b", "c"}));
    QCOMPARE(columnTexts(view.get(), 0), QStringList({"000002", "000003", "000001"}));
    QCOMPARE(columnTexts(view.get(), 2), QStringList({"3", "1", "2"}));
}

void TestStockListViews::manyStocksSortOnce()
{
    std::unique_ptr<StockListView> view(createStockListView(2, nullptr));
    QVector<Stock> stocks;
    for (int i = 500; i > 0; --i)
        stocks << makeStock(QString::number(600000 + i), QString::number(i));
    QSignalSpy sorts(view->model(), &QAbstractItemModel::layoutChanged);
    view->addStocks(stocks);
    QCOMPARE(sorts.count(), 1);
    QCOMPARE(view->rowCount(), stocks.size());
    for (int r = 0; r < stocks.size(); ++r) {
        QCOMPARE(view->item(r, 0)->text(), QString::number(600001 + r));
        QCOMPARE(view->item(r, 1)->text(), QString::number(1 + r));
    }
}

void TestStockListViews::numericAndTextSorting()
{
    // Every cell that shows a number orders as one; names and dates as text.
    std::unique_ptr<StockListView> ochl(createStockListView(3, nullptr));
    ochl->addStock(makeStock("000001", "x", 10.5f));
    ochl->addStock(makeStock("000002", "y", 9.8f));
    ochl->addStock(makeStock("000003", "z", -2.0f));
    ochl->sortByColumn(2, Qt::AscendingOrder);
    QCOMPARE(columnTexts(ochl.get(), 2), QStringList({"-2", "9.8", "10.5"}));
    QCOMPARE(columnTexts(ochl.get(), 0), QStringList({"000003", "000002", "000001"}));

    std::unique_ptr<StockListView> pk(createStockListView(2, nullptr));
    const float changes[] = {10.0f, -9.98f, 5.0f, 10.02f, -10.01f, 9.96f};
    for (int i = 0; i < 6; ++i)
        pk->addStock(makeStock(QStringLiteral("00000%1").arg(i), "x", changes[i]));
    pk->sortByColumn(2, Qt::AscendingOrder);
    QCOMPARE(columnTexts(pk.get(), 2), QStringList({"-10.01", "-9.98", "5", "9.96", "10", "10.02"}));

    // The list view's price, volume and amount.
    std::unique_ptr<StockListView> lhb(createStockListView(1, nullptr));
    for (int i = 0; i < 6; ++i) {
        Stock s = makeStock(QStringLiteral("00000%1").arg(i), "x");
        s.close = s.volume = s.amount = changes[i] * 100;
        lhb->addStock(s);
    }
    for (int column : {2, 3, 4}) {
        lhb->sortByColumn(column, Qt::AscendingOrder);
        QCOMPARE(columnTexts(lhb.get(), column),
                 QStringList({"-1001", "-998", "500", "996", "1000", "1002"}));
    }

    // The strategy view's prices, days held and gain.
    std::unique_ptr<StockListView> strategy(createStockListView(6, nullptr));
    for (int i = 0; i < 6; ++i) {
        auto* trade = new StrategyTrade;
        trade->buyPrice = trade->sellPrice = trade->gainPercent = changes[i] * 100;
        trade->holdDays = qRound(changes[i] * 100);
        Stock s = makeStock(QStringLiteral("00000%1").arg(i), "x");
        s.strategyTrade = trade;
        strategy->addStock(s);
    }
    for (int column : {4, 6, 7, 8}) {
        strategy->sortByColumn(column, Qt::AscendingOrder);
        QCOMPARE(columnTexts(strategy.get(), column),
                 QStringList({"-1001", "-998", "500", "996", "1000", "1002"}));
    }
    // Texts that are no number come after every number, in text order; 万
    // and 亿 count as their values, and thousands separators are read. Both
    // directions, from a shuffled column.
    QTableWidget mixed(0, 1);
    for (const char* text :
         {"?", "12", "nan", "-3", "1.2万", "", "inf", "9.8", "-", "0.5亿", "-0.5", "1,000"}) {
        mixed.insertRow(mixed.rowCount());
        mixed.setItem(mixed.rowCount() - 1, 0, new OrderTableWidgetItem(QString::fromUtf8(text)));
    }
    QStringList order = {"-3",    "-0.5", "9.8", "12", "1,000", "1.2万",
                         "0.5亿", "",     "-",   "?",  "inf",   "nan"};
    mixed.sortItems(0, Qt::AscendingOrder);
    QCOMPARE(columnTexts(&mixed, 0), order);
    mixed.sortItems(0, Qt::DescendingOrder);
    std::reverse(order.begin(), order.end());
    QCOMPARE(columnTexts(&mixed, 0), order);
}

void TestStockListViews::sameCodeTwice()
{
    std::unique_ptr<StockListView> view(createStockListView(2, nullptr));
    view->addStocks({makeStock("600519", "first"), makeStock("600519", "second")});
    QCOMPARE(view->rowCount(), 2);
    QCOMPARE(view->stockMap().size(), 1);
    QCOMPARE(view->stockMap().value("600519").name, QString("second"));
}

void TestStockListViews::clickEmitsTrimmedCode()
{
    std::unique_ptr<StockListView> view(createStockListView(2, nullptr));
    view->addStock(makeStock(" 600519 ", "贵州茅台"));
    view->addStock(makeStock("000001", "平安银行"));
    view->resize(900, 300);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    QSignalSpy spy(view.get(), &StockListView::senderStock);
    int row = view->item(0, 1)->text() == QStringLiteral("贵州茅台") ? 0 : 1;
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cellCentre(view.get(), row, 3));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QString("600519"));
    QCOMPARE(view->clickedRow(), row);
    QCOMPARE(view->clickedColumn(), 3);
    QCOMPARE(view->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(view->selectionModel()->selectedRows().at(0).row(), row);
}

void TestStockListViews::highlightMovesReportTheirStock()
{
    std::unique_ptr<StockListView> view(createStockListView(2, nullptr));
    for (int i = 0; i < 40; ++i)
        view->addStock(makeStock(QString::number(600100 + i), "名", float(i % 7)));
    view->resize(900, 300);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    QSignalSpy spy(view.get(), &StockListView::senderStock);
    QWidget* port = view->viewport();
    const auto highlighted = [&] {
        const QModelIndexList rows = view->selectionModel()->selectedRows();
        return rows.size() == 1 ? view->item(rows.first().row(), 0)->text() : QString();
    };
    // Each move leaves the highlighted stock the one last reported, reported
    // once when it changed and not at all when it did not.
    const auto move = [&](const char* what, bool changes, const std::function<void()>& act) {
        const QString before = highlighted();
        const int reports = spy.count();
        act();
        QVERIFY2(!highlighted().isEmpty() && (highlighted() != before) == changes, what);
        QVERIFY2(spy.count() == reports + (changes ? 1 : 0), what);
        QVERIFY2(spy.last().at(0).toString() == highlighted(), what);
    };
    const auto at = [&](int row) { return cellCentre(view.get(), row, 1); };
    move("left click", true, [&] { QTest::mouseClick(port, Qt::LeftButton, {}, at(2)); });
    // In a table Home and End keep to the row; with Ctrl they go to the ends.
    const Qt::KeyboardModifiers none, ctrl = Qt::ControlModifier;
    for (const auto& key : {qMakePair(Qt::Key_Down, none), qMakePair(Qt::Key_PageDown, none),
                            qMakePair(Qt::Key_End, ctrl), qMakePair(Qt::Key_Up, none),
                            qMakePair(Qt::Key_Home, ctrl)})
        move("key", true, [&] { QTest::keyClick(view.get(), key.first, key.second); });
    move("right click", true, [&] { QTest::mouseClick(port, Qt::RightButton, {}, at(4)); });
    move("drag", true, [&] {
        QTest::mousePress(port, Qt::LeftButton, {}, at(5));
        QMouseEvent drag(QEvent::MouseMove, at(7), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(port, &drag);
        QTest::mouseRelease(port, Qt::LeftButton, {}, at(7));
    });
    move("sort", false, [&] { view->sortItems(2, Qt::DescendingOrder); });
    move("key after sort", true, [&] { QTest::keyClick(view.get(), Qt::Key_Up); });
}

void TestStockListViews::bidView()
{
    std::unique_ptr<StockListView> view(createStockListView(0, nullptr));
    QCOMPARE(headerTexts(view.get()).mid(0, 7),
             QStringList({"代码", "名称", "得分", "价格", "买卖比", "涨幅", "买1"}));
    QCOMPARE(headerTexts(view.get()).mid(15), QStringList({"卖5", "行业", "地域", "市值"}));

    Stock up = makeStock("600000", "浦发银行", 0.0f);
    up.floatShares = 1000000;
    up.close = 12.5f;
    up.score = 60;
    up.bidVolumes[0] = 1200;
    up.askVolumes[4] = 7;
    Stock down = makeStock("600001", "down", -0.01f);
    view->addStocks({up, down});

    for (int r = 0; r < 2; ++r) {
        const bool isUp = view->item(r, 0)->text() == QStringLiteral("600000");
        const QColor expected = isUp ? QColor(Qt::red) : QColor(Qt::green);
        for (int c = 0; c < 19; ++c)
            QCOMPARE(view->item(r, c)->foreground().color(), expected);
        if (isUp) {
            QCOMPARE(view->item(r, 2)->text(), QString("60"));
            QCOMPARE(view->item(r, 5)->text(), QString("0.00"));
            QCOMPARE(view->item(r, 6)->text(), QString("1200.00"));
            QCOMPARE(view->item(r, 15)->text(), QString("7.00"));
            QCOMPARE(view->item(r, 18)->text(), QString("1250.00"));
        } else {
            QCOMPARE(view->item(r, 5)->text(), QString("-0.01"));
        }
    }
    const int centred = Qt::AlignHCenter | Qt::AlignVCenter;
    QCOMPARE(view->item(0, 12)->textAlignment(), centred);
    QCOMPARE(view->item(0, 14)->textAlignment(), centred);
    QVERIFY(view->item(0, 13)->textAlignment() != centred);
    QVERIFY(view->item(0, 16)->textAlignment() != centred);
}

void TestStockListViews::bidViewTextColumnsSortAsText()
{
    // Every bid cell is numeric; the names, being no numbers, order as text.
    std::unique_ptr<StockListView> view(createStockListView(0, nullptr));
    view->sortByColumn(1, Qt::AscendingOrder);
    view->addStock(makeStock("000002", "b"));
    view->addStock(makeStock("000001", "a"));
    view->addStock(makeStock("000003", "c"));
    QCOMPARE(columnTexts(view.get(), 1), QStringList({"a", "b", "c"}));
    QCOMPARE(columnTexts(view.get(), 0), QStringList({"000001", "000002", "000003"}));
}

void TestStockListViews::basicViewListingDate_data()
{
    QTest::addColumn<QString>("listingDate");
    QTest::addColumn<QString>("shown");
    QTest::newRow("1999") << "19991110" << "1999-11-10";
    QTest::newRow("2017") << "20170103" << "2017-01-03";
    QTest::newRow("missing") << "" << "";
    QTest::newRow("short") << "2017" << "2017";
}

void TestStockListViews::basicViewListingDate()
{
    QFETCH(QString, listingDate);
    QFETCH(QString, shown);
    std::unique_ptr<StockListView> view(createStockListView(4, nullptr));
    QCOMPARE(headerTexts(view.get()),
             QStringList({"代码", "名称", "行业", "地域", "股本", "流通股本", "上市日期"}));
    Stock s = makeStock("600000", "浦发银行");
    s.listingDate = listingDate;
    s.totalShares = 2935208;
    view->addStock(s);
    QCOMPARE(view->item(0, 6)->text(), shown);
    QCOMPARE(view->item(0, 4)->text(), QString("2935208"));
}

void TestStockListViews::strategyView()
{
    auto* trade = new StrategyTrade;
    trade->buyDate = "2017-10-09";
    trade->buyPrice = 10.5f;
    trade->sellDate = "2017-10-11";
    trade->sellPrice = 11.0f;
    trade->holdDays = 0;
    trade->gainPercent = 4.76f;
    trade->strategy = "s1";

    std::unique_ptr<StockListView> view(createStockListView(6, nullptr));
    QCOMPARE(view->columnWidth(0), 36);
    QCOMPARE(view->columnWidth(9), 72);
    view->addStock(makeStock("000001", "no trade"));
    QCOMPARE(view->rowCount(), 0);
    QVERIFY(view->stockMap().contains("000001"));

    Stock s = makeStock("600000", "浦发银行");
    s.strategyTrade = trade;
    view->addStock(s);
    QCOMPARE(view->rowCount(), 1);
    QCOMPARE(view->item(0, 0)->text(), QString("1"));
    QCOMPARE(view->item(0, 1)->text(), QString("600000"));
    QCOMPARE(view->item(0, 4)->text(), QString("10.5"));
    QCOMPARE(view->item(0, 6)->text(), QString("11"));
    QCOMPARE(view->item(0, 8)->text(), QString("?"));

    auto* strategy = qobject_cast<StockListViewStrategy*>(view.get());
    QVERIFY(strategy);
    QSignalSpy trades(strategy, &StockListViewStrategy::senderTrade);
    QSignalSpy codes(strategy, &StockListView::senderStock);
    view->onClick(0, 2);
    QCOMPARE(codes.count(), 1);
    QCOMPARE(trades.count(), 1);
    QCOMPARE(trades.at(0).at(0).toString(), QString("600000"));
    QCOMPARE(trades.at(0).at(1).toString(), QString("2017-10-09"));
    QCOMPARE(trades.at(0).at(2).toString(), QString("2017-10-11"));
    // The view deletes the trade of the stock in its map when it goes.
}

void TestStockListViews::strategyViewSharedTradeDeletedOnce()
{
    auto* trade = new StrategyTrade;
    trade->holdDays = 3;
    trade->gainPercent = 5.5f;
    {
        std::unique_ptr<StockListView> view(createStockListView(6, nullptr));
        Stock a = makeStock("600000", "a");
        Stock b = makeStock("600001", "b");
        a.strategyTrade = trade;
        b.strategyTrade = trade;
        view->addStocks({a, b});
        QCOMPARE(view->rowCount(), 2);
        QCOMPARE(view->item(0, 8)->text(), QString("5.5"));
    } // a double delete here would abort the test
}

void TestStockListViews::clearKeepsHeaders()
{
    std::unique_ptr<StockListView> view(createStockListView(2, nullptr));
    view->addStocks({makeStock("600519", "a"), makeStock("000001", "b")});
    view->clear();
    QCOMPARE(view->rowCount(), 0);
    QVERIFY(view->stockMap().isEmpty());
    QCOMPARE(view->columnCount(), 6);
    QCOMPARE(headerTexts(view.get()).at(3), QString("类型"));
    QCOMPARE(view->columnWidth(3), 320);
    view->addStock(makeStock("300750", "c"));
    QCOMPARE(view->rowCount(), 1);
}

void TestStockListViews::delegateDrawsBottomLine()
{
    QTableView view;
    view.setGridStyle(Qt::DashLine);
    LineDelegate delegate(&view);
    QCOMPARE(delegate.pen().widthF(), 0.0);
    QCOMPARE(delegate.pen().style(), Qt::DashLine);
    const QStyleOptionViewItem defaultOption;
    const QColor grid = QColor::fromRgb(static_cast<QRgb>(
        QApplication::style()->styleHint(QStyle::SH_Table_GridLineColor, &defaultOption)));
    QCOMPARE(delegate.pen().color().rgb(), grid.rgb());

    QTableView solidView; // default grid style
    LineDelegate solid(&solidView);
    QImage image(40, 20, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 40, 20);
    option.state = QStyle::State_Enabled;
    {
        QPainter painter(&image);
        solid.paint(&painter, option, QModelIndex()); // an empty cell too
    }
    for (int x = 0; x < 40; x += 7)
        QCOMPARE(QColor(image.pixel(x, 19)).rgb(), grid.rgb());
    QCOMPARE(qAlpha(image.pixel(20, 18)), 0); // one pixel wide
}

void TestStockListViews::delegateHidesFocusFrame()
{
    QStandardItemModel model(1, 1);
    model.setItem(0, 0, new QStandardItem("cell"));
    QTableView view;
    view.setModel(&model);
    LineDelegate delegate(&view);
    QStyledItemDelegate plain;

    auto render = [&](const QStyledItemDelegate& d, QStyle::State state) {
        QImage image(60, 24, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QStyleOptionViewItem option;
        option.initFrom(&view);
        option.rect = QRect(0, 0, 60, 24);
        option.state = QStyle::State_Enabled | state;
        QPainter painter(&image);
        d.paint(&painter, option, model.index(0, 0));
        return image;
    };
    const QStyle::State focus = QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
    if (render(plain, focus) == render(plain, {}))
        QSKIP("this style draws no focus frame");
    QCOMPARE(render(delegate, focus), render(delegate, {}));
}

VESK_STOCKAPP_TEST_MAIN(TestStockListViews)

#include "tst_stocklistviews.moc"
