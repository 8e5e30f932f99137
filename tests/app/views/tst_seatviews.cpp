#include "app/views/datatablewidget.h"
#include "app/views/elidedlabel.h"
#include "app/views/lhbbs5widget.h"
#include "app/views/lhbtabwidget.h"
#include "app/views/linedelegate.h"
#include "app/views/recommandstockview.h"
#include "app/views/seathistory.h"
#include "app/views/servicetext.h"
#include "chart/candlestickwidget.h"
#include "core/providers/eastmoneylhbdatainterface.h"
#include "core/providers/stocknewsinterface.h"
#include "core/providers/stockqqhistoryinterface.h"
#include "core/stockapplication.h"
#include "tests/support/fixtures.h"
#include "tests/support/hostileinputs.h"
#include "tests/support/peakmemory.h"
#include "tests/support/stockapptestmain.h"
#include "tests/support/testhttpserver.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QScreen>
#include <QScrollBar>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QTableWidget>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <QWindow>
#include <QtTest>

#include <qcustomplot.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>

namespace {

const QString kDate = QStringLiteral("2017-10-11");
const QString kSeatLink = QStringLiteral("http://data.eastmoney.com/stock/lhb/yyb/80153279.html");
const QString kOtherSeatLink =
    QStringLiteral("http://data.eastmoney.com/stock/lhb/yyb/80000705.html");

LHBUnit seat(const QString& name, int side, float buy, float sell, float net,
             const QString& url = QString())
{
    LHBUnit u;
    u.name = name;
    u.side = side;
    u.buyAmount = buy;
    u.sellAmount = sell;
    u.netAmount = net;
    u.times = QStringLiteral("12");
    u.url = url;
    return u;
}

LHBUnit summary()
{
    LHBUnit u;
    u.side = 3;
    u.buyAmount = 9999.0f;
    return u;
}

QStringList columnTexts(const QTableWidget* table, int column)
{
    QStringList texts;
    for (int r = 0; r < table->rowCount(); ++r)
        texts << (table->item(r, column) ? table->item(r, column)->text() : QString());
    return texts;
}

int rowOf(const QTableWidget* table, const QString& name)
{
    for (int r = 0; r < table->rowCount(); ++r)
        if (table->item(r, 1) && table->item(r, 1)->text() == name)
            return r;
    return -1;
}

template <class T> struct Same { using type = T; }; // keeps W from being deduced from a lambda

// Runs action() and waits up to waitMs while a timer looks for the modal W
// it opens, hands it to inspect() and closes it. Returns whether such a
// window was seen.
template <class W = DataTableWidget>
bool withModalDialog(const std::function<void()>& action,
                     const std::function<void(typename Same<W>::type*)>& inspect,
                     int waitMs = 5000)
{
    bool seen = false;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* window = qobject_cast<W*>(QApplication::activeModalWidget());
        if (!window || !window->isVisible())
            return;
        seen = true;
        poll.stop();
        inspect(window);
        if (auto* dialog = qobject_cast<QDialog*>(window))
            dialog->reject();
        else
            window->close();
    });
    poll.start();
    QTimer guard; // never hang the suite on a dialog nobody closes
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (QWidget* w = QApplication::activeModalWidget())
            w->close();
    });
    guard.start(10000);
    action();
    return QTest::qWaitFor([&] { return seen && !QApplication::activeModalWidget(); }, waitMs);
}

// K-line and news queries carry a random number, so they are routed by path.
QString kLinePath() { return QUrl(StockQQHistoryInterface().urls({"600001"}).value(0)).path(); }
QString newsPath() { return QUrl(StockNewsInterface().url("600001")).path(); }

// A whole K-line reply of n daily bars.
QByteArray kLineReply(int n)
{
    QStringList rows;
    for (int i = 0; i < n; ++i)
        rows << QStringLiteral("[\"%1\",\"10\",\"11\",\"12\",\"9\",\"1000\"]")
                    .arg(QDate(2017, 1, 2).addDays(i).toString("yyyy-MM-dd"));
    return "{\"code\":0,\"data\":{\"sh600001\":{\"hfqday\":[" + rows.join(',').toLatin1() +
           "]}}}";
}

// A whole news reply of n rows, titled t0000, t0001, ... and timed alike.
QByteArray newsReply(int n)
{
    QByteArray rows;
    for (int i = 0; i < n; ++i)
        rows += QStringLiteral("{\"symbol\":\"sh600001\",\"title\":\"t%1\",\"time\":\"%1\"},")
                    .arg(i, 4, 10, QLatin1Char('0'))
                    .toLatin1();
    rows.chop(1);
    return "{\"code\":0,\"data\":{\"data\":[" + rows + "]}}";
}

// The smallest reply built by make(n), doubling n, that is over bound.
QByteArray overBound(const std::function<QByteArray(int)>& make, qint64 bound)
{
    QByteArray reply;
    for (int n = 64; (reply = make(n)).size() <= bound; n *= 2) {
    }
    return reply;
}

// What a reader sees of a text given to a tooltip or message box, read as
// Qt reads it (not laid out, so nothing it names is loaded here).
QString readAs(const QString& text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}

// Waits until the chart's and the news' replies are in and shown.
bool settled(const LHBTabWidget& tabs)
{
    return QTest::qWaitFor([&] { return !tabs.isLoading(); }, 10000);
}

int candleCount(CandlestickWidget* chart)
{
    auto* plot = chart->findChild<QCustomPlot*>();
    for (int i = 0; i < plot->plottableCount(); ++i)
        if (auto* candles = qobject_cast<QCPFinancial*>(plot->plottable(i)))
            return candles->dataCount();
    return -1;
}

} // namespace

class TestSeatViews : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void seatTableConventions();
    void seatNumbersPerSide();
    void seatNumbersSellOnly();
    void seatAmounts_data();
    void seatAmounts();
    void seatTableMissingStock();
    void numberColumnsSortAsNumbers();

    void seatCodeFromLink_data();
    void seatCodeFromLink();
    void historyUrl();
    void parseJsonArrayText_data();
    void parseJsonArrayText();

    void dataTableColumns();
    void dataTableUnescapes_data();
    void dataTableUnescapes();
    void dataTableRowStaysTogether();
    void dataTableClearKeepsHeaders();
    void escapeClosesOnlyTheDialog();
    void droppedStockAsksForNothingMore();
    void stockViewFetchesAndSaysWhatFailed();
    void tableFillsSortOnce();

    void historyThroughMenuOnRightClickedSeat();
    void historyActionDoesNothing();
    void historyEmptyReplyGivesEmptyTable();
    void historyOfAStockLeftMeanwhileNotShown();
    void historyAskedAgainShowsOnce();
    void historyFetchFailureIsSaid_data();
    void historyFetchFailureIsSaid();
    void historyOfParsedSeatPage();
    void historyDialogShowsAllColumns();
    void historyFiguresThatAreNoNumberShowDash();

    void recommendationsEmptyDay();
    void recommendationsListedAndClicked();
    void recommendationsAfterEmptyDay();

    void serviceTextShownAsText_data();
    void serviceTextShownAsText();
    void toolTipFitsTheScreen_data();
    void toolTipFitsTheScreen();

private:
    TestHttpServer m_server;
};

void TestSeatViews::initTestCase()
{
    QVERIFY(m_server.listen());
    // The real service host is routed to the local server.
    m_server.installAsApplicationProxy();
}

void TestSeatViews::init()
{
    StockApplication::instance()->clearCaches();
    m_server.clearRoutes();
    m_server.clearRequests();
}

void TestSeatViews::seatTableConventions()
{
    LHBBS5Widget w;
    QCOMPARE(w.windowTitle(), QString("股票龙虎榜席位买入"));
    QTableWidget* t = w.table();
    QCOMPARE(t->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(t->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(t->selectionMode(), QAbstractItemView::SingleSelection);
    QVERIFY(t->isSortingEnabled());
    QVERIFY(!t->showGrid());
    QVERIFY(t->alternatingRowColors());
    QVERIFY(t->verticalHeader()->isHidden());
    QVERIFY(qobject_cast<LineDelegate*>(t->itemDelegate()));
    QStringList headers;
    for (int c = 0; c < t->columnCount(); ++c)
        headers << t->horizontalHeaderItem(c)->text();
    QCOMPARE(headers, QStringList({"序列", "营业部", "最近上榜次数", "买入金额(万元)",
                                   "卖出金额(万元)", "净买入(万元)"}));
    const int widths[] = {90, 320, 120, 120, 120, 120};
    for (int c = 0; c < 6; ++c)
        QCOMPARE(t->columnWidth(c), widths[c]);
    QCOMPARE(w.contextMenuPolicy(), Qt::CustomContextMenu);
    QCOMPARE(w.contextMenu()->actions().size(), 1);
    QCOMPARE(w.historyAction()->text(), QString("营业部历史上榜"));
}

void TestSeatViews::seatNumbersPerSide()
{
    QVector<LHBUnit> units;
    for (int i = 1; i <= 5; ++i)
        units << seat(QStringLiteral("买%1").arg(i), 1, 1000.0f * i, 0.0f, 1000.0f * i);
    for (int i = 1; i <= 5; ++i)
        units << seat(QStringLiteral("卖%1").arg(i), 2, 0.0f, 500.0f * i, -500.0f * i);
    units << summary();
    StockApplication::instance()->setLhbSeats(kDate, "600519", units);

    LHBBS5Widget w;
    w.showStock("600519", kDate);
    QTableWidget* t = w.table();
    QCOMPARE(t->rowCount(), 10); // the summary line is not a seat
    for (int r = 0; r < t->rowCount(); ++r) {
        const QString name = t->item(r, 1)->text();
        QCOMPARE(t->item(r, 0)->text(), name.mid(1)); // 买3 -> 3, 卖5 -> 5
        const int n = name.mid(1).toInt();
        const bool buying = name.startsWith(QStringLiteral("买"));
        QCOMPARE(t->item(r, 5)->text(), QString::number(buying ? 1000 * n : -500 * n));
        QCOMPARE(t->item(r, 0)->textAlignment(), int(Qt::AlignHCenter | Qt::AlignVCenter));
    }
    // Until a header is clicked the rows stand in fill order: the buyers,
    // then the sellers.
    QCOMPARE(columnTexts(t, 1), QStringList({"买1", "买2", "买3", "买4", "买5", "卖1", "卖2",
                                             "卖3", "卖4", "卖5"}));

    // Sorting by the net amount keeps each seat's cells in its row.
    t->sortByColumn(3, Qt::AscendingOrder);
    for (int r = 0; r < t->rowCount(); ++r)
        QCOMPARE(t->item(r, 0)->text(), t->item(r, 1)->text().mid(1));
}

void TestSeatViews::seatNumbersSellOnly()
{
    StockApplication::instance()->setLhbSeats(
        kDate, "000001",
        {seat("甲", 2, 0, 100, -100), seat("乙", 2, 0, 50, -50), summary()});
    LHBBS5Widget w;
    w.showStock("000001", kDate);
    QCOMPARE(w.table()->rowCount(), 2);
    QCOMPARE(w.table()->item(rowOf(w.table(), "甲"), 0)->text(), QString("1"));
    QCOMPARE(w.table()->item(rowOf(w.table(), "乙"), 0)->text(), QString("2"));
}

void TestSeatViews::seatAmounts_data()
{
    QTest::addColumn<float>("amount");
    QTest::addColumn<QString>("shown");
    QTest::newRow("six digits") << 1234.5678f << "1234.57";
    QTest::newRow("zero") << 0.0f << "0";
    QTest::newRow("whole") << 2500.0f << "2500";
    QTest::newRow("negative") << -876.54321f << "-876.543";
    QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << "-";
    QTest::newRow("infinite") << std::numeric_limits<float>::infinity() << "-";
}

void TestSeatViews::seatAmounts()
{
    QFETCH(float, amount);
    QFETCH(QString, shown);
    StockApplication::instance()->setLhbSeats(kDate, "600000",
                                              {seat("甲", 1, amount, amount, amount)});
    LHBBS5Widget w;
    w.showStock("600000", kDate);
    QCOMPARE(w.table()->rowCount(), 1);
    for (int c = 3; c <= 5; ++c)
        QCOMPARE(w.table()->item(0, c)->text(), shown);
    QCOMPARE(w.table()->item(0, 2)->text(), QString("12"));
}

void TestSeatViews::seatTableMissingStock()
{
    StockApplication::instance()->setLhbSeats(kDate, "600000", {seat("甲", 1, 1, 0, 1)});
    LHBBS5Widget w;
    w.showStock("600000", kDate);
    QCOMPARE(w.table()->rowCount(), 1);
    w.onClick(0, 1);
    w.showStock("600000", "2017-10-12"); // no seats that day
    QCOMPARE(w.table()->rowCount(), 0);
    w.showStock("999999", kDate);
    QCOMPARE(w.table()->rowCount(), 0);
    QCOMPARE(w.clickedRow(), -1); // an old click picks no seat of another stock
}

namespace {

// Whether the texts, read as numbers, stand in ascending order while the
// texts themselves do not (so a text sort could not have given it).
bool ascendingAsNumbersOnly(const QStringList& texts)
{
    QVector<double> numbers;
    for (const QString& t : texts)
        numbers << t.toDouble();
    QStringList sortedTexts = texts;
    sortedTexts.sort();
    return std::is_sorted(numbers.begin(), numbers.end()) && sortedTexts != texts;
}

} // namespace

void TestSeatViews::numberColumnsSortAsNumbers()
{
    // Seat table: 序列, the times on the list and the three amounts.
    const float nets[] = {-100, -150, -190, -300, -75, 120, 9, 1000, -2, 35, 4.5};
    const char* times[] = {"1582", "612", "98", "5", "77", "1", "300", "12", "9", "45", "2000"};
    QVector<LHBUnit> units;
    for (int i = 0; i < 11; ++i) {
        units << seat(QStringLiteral("营业部%1").arg(i), 1, -nets[i] * 3, nets[i] * 7, nets[i]);
        units.last().times = QLatin1String(times[i]);
    }
    StockApplication::instance()->setLhbSeats(kDate, "600519", units);
    LHBBS5Widget w;
    w.showStock("600519", kDate);
    QTableWidget* t = w.table();
    for (int column : {0, 2, 3, 4, 5}) {
        t->sortByColumn(column, Qt::AscendingOrder);
        QVERIFY2(ascendingAsNumbersOnly(columnTexts(t, column)),
                 qPrintable(columnTexts(t, column).join(' ')));
    }

    // Seat history: the amounts, the change and the price.
    QString reply = QStringLiteral("var x=[");
    for (int i = 0; i < 11; ++i)
        reply += QStringLiteral("{\"BMoney\":\"%1\",\"SMoney\":\"%2\",\"ChgRadio\":\"%3\","
                                "\"CPrice\":\"%4\"},")
                     .arg(-nets[i] * 1000)
                     .arg(nets[i] * 10)
                     .arg(nets[i] / 10)
                     .arg(QLatin1String(times[i]));
    reply.chop(1);
    reply += QLatin1Char(']');
    std::unique_ptr<DataTableWidget> d(createSeatHistoryDialog(reply, QString(), nullptr));
    QCOMPARE(d->table()->rowCount(), 11);
    for (int column : {3, 4, 5, 6}) {
        d->table()->sortByColumn(column, Qt::AscendingOrder);
        QVERIFY2(ascendingAsNumbersOnly(columnTexts(d->table(), column)),
                 qPrintable(columnTexts(d->table(), column).join(' ')));
    }
}

void TestSeatViews::seatCodeFromLink_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("code");
    QTest::newRow("page") << kSeatLink << "80153279";
    QTest::newRow("query") << "http://data.eastmoney.com/stock/lhb/yyb/10030463.html?x=1"
                           << "10030463";
    QTest::newRow("other suffix") << "http://data.eastmoney.com/stock/lhb/yyb/80153279.htm" << "";
    QTest::newRow("other path") << "http://data.eastmoney.com/stock/80153279.html" << "";
    QTest::newRow("injected") << "http://h/lhb/yyb/1%26code%3D2.html" << "";
    QTest::newRow("empty") << "" << "";
}

void TestSeatViews::seatCodeFromLink()
{
    QFETCH(QString, link);
    QFETCH(QString, code);
    QCOMPARE(::seatCodeFromLink(link), code);
}

void TestSeatViews::historyUrl()
{
    QCOMPARE(seatHistoryUrl("80153279"),
             QString("http://data.eastmoney.com/DataCenter_V3/stock2016/jymx.ashx?pagesize=50&page=1"
                     "&js=var%20fyeUKhdn&param=&sortRule=-1&sortType=&gpfw=0&code=80153279"));
    QVERIFY(seatHistoryUrl("10656871").endsWith("&code=10656871"));
}

void TestSeatViews::parseJsonArrayText_data()
{
    using Rows = QVector<QMap<QString, QString>>;
    QTest::addColumn<QString>("text");
    QTest::addColumn<Rows>("rows");
    QTest::newRow("one record")
        << R"(var fyeUKhdn={"success":true,"pages":3,"data":[{"TDate":"2017-10-11","SCode":"600000"}],"url":[{"x":"y"}]})"
        << Rows{{{"TDate", "2017-10-11"}, {"SCode", "600000"}}};
    QTest::newRow("two records, blanks simplified")
        << "var a=[{\"TDate\":\"2017-10-11\",\"SName\":\"A \n  B\"},{\"TDate\":\"2017-10-12\"}]"
        << Rows{{{"TDate", "2017-10-11"}, {"SName", "A B"}}, {{"TDate", "2017-10-12"}}};
    QTest::newRow("empty array") << R"(var fyeUKhdn={"success":false,"pages":0,"data":[]})" << Rows{};
    QTest::newRow("empty reply") << "" << Rows{};
    QTest::newRow("error page") << "<html><body>404: Not Found</body></html>" << Rows{};
}

void TestSeatViews::parseJsonArrayText()
{
    using Rows = QVector<QMap<QString, QString>>;
    QFETCH(QString, text);
    QFETCH(Rows, rows);
    QCOMPARE(::parseJsonArrayText(text), rows);
}

void TestSeatViews::dataTableColumns()
{
    QWidget parent;
    DataTableWidget d("标题", {{"日期", "TDate", 128}, {"代码", "SCode", 120}}, &parent);
    QCOMPARE(d.windowTitle(), QString("标题"));
    QCOMPARE(d.parentWidget(), &parent);
    QTableWidget* t = d.table();
    QCOMPARE(t->columnCount(), 2);
    QCOMPARE(t->horizontalHeaderItem(1)->text(), QString("代码"));
    QCOMPARE(t->columnWidth(0), 128);
    QCOMPARE(t->columnWidth(1), 120);
    QCOMPARE(t->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(t->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(t->selectionMode(), QAbstractItemView::SingleSelection);
    QVERIFY(t->isSortingEnabled());
    QVERIFY(!t->showGrid());
    QVERIFY(t->verticalHeader()->isHidden());
    QVERIFY(qobject_cast<LineDelegate*>(t->itemDelegate()));

    d.addRow({{"TDate", "2017-10-11"}}); // a key the row lacks gives an empty cell
    QCOMPARE(t->rowCount(), 1);
    QCOMPARE(t->item(0, 0)->text(), QString("2017-10-11"));
    QCOMPARE(t->item(0, 1)->text(), QString());
}

void TestSeatViews::dataTableUnescapes_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("chinese") << "\\u4E2D" << "中";
    QTest::newRow("lower hex") << "\\u4e2d\\u6587" << "中文";
    QTest::newRow("ascii") << "\\u0041" << "A";
    QTest::newRow("mixed") << "x\\u0041y" << "xAy";
    QTest::newRow("plain") << "plain" << "plain";
    QTest::newRow("short escape") << "\\u12" << "\\u12";
}

void TestSeatViews::dataTableUnescapes()
{
    QFETCH(QString, value);
    QFETCH(QString, shown);
    DataTableWidget d("t", {{"a", "a", 50}}, nullptr);
    d.addRow({{"a", value}});
    QCOMPARE(d.table()->item(0, 0)->text(), shown);
}

void TestSeatViews::dataTableRowStaysTogether()
{
    DataTableWidget d("t", {{"A", "a", 50}, {"B", "b", 50}}, nullptr);
    d.table()->sortByColumn(1, Qt::DescendingOrder);
    d.addRow({{"a", "1"}, {"b", "x"}});
    d.addRow({{"a", "2"}, {"b", "z"}});
    d.addRow({{"a", "3"}, {"b", "y"}});
    QCOMPARE(columnTexts(d.table(), 1), QStringList({"z", "y", "x"}));
    QCOMPARE(columnTexts(d.table(), 0), QStringList({"2", "3", "1"}));
}

void TestSeatViews::dataTableClearKeepsHeaders()
{
    DataTableWidget d("t", {{"A", "a", 77}, {"B", "b", 55}}, nullptr);
    d.addRow({{"a", "1"}});
    d.clear();
    QCOMPARE(d.table()->rowCount(), 0);
    QCOMPARE(d.table()->columnCount(), 2);
    QCOMPARE(d.table()->horizontalHeaderItem(1)->text(), QString("B"));
    QCOMPARE(d.table()->columnWidth(0), 77);
    QCOMPARE(d.table()->columnWidth(1), 55);
}

void TestSeatViews::escapeClosesOnlyTheDialog()
{
    // The news table is a page of the result tabs: Esc leaves it shown.
    LHBTabWidget tabs;
    tabs.show();
    tabs.setCurrentWidget(tabs.newsTable());
    QVERIFY(QTest::qWaitForWindowExposed(&tabs));
    QTest::keyClick(tabs.newsTable()->table(), Qt::Key_Escape);
    QVERIFY(tabs.newsTable()->isVisible());

    // The seat history is a modal dialog of its own: Esc closes it.
    QPointer<DataTableWidget> history = createSeatHistoryDialog(QString(), QString(), nullptr);
    QTimer::singleShot(0, history, [&] { QTest::keyClick(history->table(), Qt::Key_Escape); });
    QTimer::singleShot(5000, history, &QDialog::accept); // never hang on a dialog Esc missed
    QCOMPARE(history->exec(), int(QDialog::Rejected));
    delete history;
}

void TestSeatViews::droppedStockAsksForNothingMore()
{
    // The window closes while a stock's K-lines are loading: the stock is
    // shown no further and its news is not asked for.
    StockQQHistoryInterface client;
    const QString klinePath = QUrl(client.urls({"600519"}).value(0)).path();
    m_server.setRoute(klinePath, QByteArray());
    m_server.setResponseDelayMs(300);
    LHBTabWidget tabs;
    QTimer::singleShot(100, &tabs, &LHBTabWidget::dropPendingStock);
    tabs.showStock("600519", kDate);
    QTest::qWait(500);
    m_server.setResponseDelayMs(0);
    QVERIFY(!tabs.isLoading());
    QCOMPARE(tabs.chart()->titleText(), QStringLiteral("600519 加载中…"));
    QCOMPARE(m_server.requestCount(), 1);
    QCOMPARE(QUrl(m_server.requests().value(0)).path(), klinePath);
}

namespace {

// Two seats of 600519; only "国泰君安上海江苏路" has a seat page link. The
// links stored by name are another stock's seats of the same names.
void storeTwoSeats()
{
    StockApplication* app = StockApplication::instance();
    app->setLhbSeats(kDate, "600519",
                     {seat("国泰君安上海江苏路", 1, 3000, 0, 3000, kSeatLink),
                      seat("机构专用", 1, 2000, 0, 2000, "http://data.eastmoney.com/other.html"),
                      summary()});
    app->setSeatPageUrl("国泰君安上海江苏路", kOtherSeatLink);
    app->setSeatPageUrl("机构专用", kOtherSeatLink);
}

// A listing reason far longer than any the service gives.
QString overlongReason()
{
    return QStringLiteral("有价格涨跌幅限制的日收盘价格涨幅偏离值达到7%的前三只证券").repeated(3);
}

QByteArray historyReply()
{
    return toGbk(QStringLiteral(
        "var fyeUKhdn={\"success\":true,\"pages\":1,\"data\":["
        "{\"TDate\":\"2017-10-11\",\"SCode\":\"600519\",\"SName\":\"\\u8d35\\u5dde\\u8305\\u53f0\","
        "\"BMoney\":\"30000000\",\"SMoney\":\"0\",\"ChgRadio\":\"10.01\",\"CPrice\":\"500.1\","
        "\"CTypeDes\":\"连续三个交易日内，涨幅偏离值累计达20%的证券\"},"
        "{\"TDate\":\"2017-10-09\",\"SCode\":\"000001\",\"SName\":\"平安银行\",\"BMoney\":\"12345678\","
        "\"CTypeDes\":\"%1\"}"
        "]}").arg(overlongReason()));
}

} // namespace

void TestSeatViews::stockViewFetchesAndSaysWhatFailed()
{
    LHBTabWidget tabs;
    CandlestickWidget* chart = tabs.chart();
    const QByteArray news = toGbk(fixtureText("scan/news.json"));
    m_server.setRoute(kLinePath(), kLineReply(70));
    m_server.setRoute(newsPath(), news);
    tabs.showStock("600001", kDate);
    QVERIFY(settled(tabs));
    QCOMPARE(candleCount(chart), 60);
    const auto kLineQueries = [this] { return m_server.requests().filter(kLinePath()); };
    const auto askedFor = [&](const char* param) {
        return QUrl(kLineQueries().last()).query(QUrl::FullyDecoded).contains(param);
    };
    QVERIFY2(askedFor("sh600001,day,,,480,hfq"), qPrintable(kLineQueries().last()));
    const auto shown = [&] {
        return QStringList{QString::number(candleCount(chart)), chart->titleText(),
                           QString::number(tabs.newsTable()->table()->rowCount()),
                           tabs.newsTable()->notice()};
    };
    const QStringList tooLong = {"0", "600002 K线数据获取失败（回复过长）", "0",
                                 "600002 新闻获取失败（回复过长）"};

    // Replies that never end, then whole ones of the real shape only far
    // longer than asked for: each fails, nothing of the last stock stays,
    // memory stays low, and no failure is kept: the stock is asked again.
    m_server.setEndlessRoute(kLinePath(), kLineReply(1).left(40), "[\"2017-01-02\",\"1\"],");
    m_server.setEndlessRoute(newsPath(), "{\"data\":{\"data\":[", "{\"title\":\"x\"},");
    tabs.showStock("600002", kDate);
    QVERIFY(settled(tabs));
    QCOMPARE(shown(), tooLong);
    m_server.setRoute(kLinePath(), overBound(kLineReply, StockQQHistoryInterface::kMaxReplyBytes));
    m_server.setRoute(newsPath(), overBound(newsReply, StockNewsInterface::kMaxReplyBytes));
    tabs.showStock("600002", kDate);
    QVERIFY(settled(tabs));
    QCOMPARE(shown(), tooLong);
    QVERIFY2(peakResidentKiB() < peakResidentBoundKiB(400),
             qPrintable(QString::number(peakResidentKiB())));

    // News cut off half-way are no shorter list.
    m_server.setRoute(kLinePath(), kLineReply(70));
    m_server.setRoute(newsPath(), news.left(news.size() / 2));
    tabs.showStock("600002", kDate);
    QVERIFY(settled(tabs));
    QCOMPARE(shown(), QStringList({"60", "600002", "0", "600002 新闻获取失败（回复不完整）"}));
    QCOMPARE(kLineQueries().size(), 4);
    // Nor are more items than were asked for a page of news.
    m_server.setRoute(newsPath(), newsReply(StockNewsInterface::kItemsAsked + 1));
    tabs.showStock("600002", kDate);
    QVERIFY(settled(tabs));
    QCOMPARE(shown().mid(2), QStringList({"0", "600002 新闻获取失败（回复不是预期的格式）"}));

    // A chart choice fetches the shown stock's bars so and draws them; the
    // title says what is drawn once it is not the start-up's bars.
    m_server.setRoute(kLinePath(), kLineReply(30));
    chart->doAction("周线");
    QVERIFY(settled(tabs));
    QVERIFY2(askedFor("sh600002,week,,,480,hfq"), qPrintable(kLineQueries().last()));
    QCOMPARE(candleCount(chart), 30);
    QCOMPARE(chart->periodCode(), QString("week"));
    chart->doAction("前复权");
    QVERIFY(settled(tabs));
    QVERIFY2(askedFor("sh600002,week,,,480,qfq"), qPrintable(kLineQueries().last()));
    QCOMPARE(chart->adjustCode(), QString("qfq"));
    QCOMPARE(chart->titleText(), QStringLiteral("600002 周K 前复权"));

    // It holds for the next stock; a choice fetched before asks for nothing.
    tabs.showStock("600001", kDate);
    QVERIFY(settled(tabs));
    QVERIFY2(askedFor("sh600001,week,,,480,qfq"), qPrintable(kLineQueries().last()));
    const int requests = m_server.requestCount();
    tabs.showStock("600002", kDate);
    QVERIFY(settled(tabs));
    QCOMPARE(m_server.requestCount(), requests + 1); // its news only
    QCOMPARE(candleCount(chart), 30);

    // A failed choice is said, and asked for again when chosen again; so is
    // a whole reply without a bar.
    m_server.setRoute(kLinePath(), QByteArray(), 404);
    chart->doAction("月线");
    QVERIFY(settled(tabs));
    QCOMPARE(chart->titleText(),
             QStringLiteral("600002 月K 前复权 K线数据获取失败（服务器返回错误 404）"));
    QCOMPARE(candleCount(chart), 0);
    m_server.setRoute(kLinePath(), kLineReply(0));
    chart->doAction("月线");
    QVERIFY(settled(tabs));
    QCOMPARE(chart->titleText(),
             QStringLiteral("600002 月K 前复权 K线数据获取失败（回复中没有可用的数据）"));
    m_server.setRoute(kLinePath(), kLineReply(12));
    chart->doAction("月线");
    QVERIFY(settled(tabs));
    QCOMPARE(candleCount(chart), 12);
    QCOMPARE(chart->periodCode(), QString("month"));
}

void TestSeatViews::tableFillsSortOnce()
{
    // A fill of many rows sorts once, not per row, and its rows stay together.
    const int n = 500;
    LHBTabWidget tabs;
    QTableWidget* news = tabs.newsTable()->table();
    news->sortByColumn(1, Qt::DescendingOrder);
    QSignalSpy newsSorts(news->model(), &QAbstractItemModel::layoutChanged);
    tabs.newsTable()->addRows(StockNewsInterface().parse(QString::fromLatin1(newsReply(n)), QString()));
    QCOMPARE(newsSorts.count(), 1);
    QCOMPARE(news->rowCount(), n);
    for (int r = 0; r < n; ++r) {
        QCOMPARE(news->item(r, 1)->text(), QStringLiteral("t%1").arg(n - 1 - r, 4, 10, QLatin1Char('0')));
        QCOMPARE(news->item(r, 2)->text(), news->item(r, 1)->text().mid(1));
    }

    QVector<LHBUnit> units;
    for (int i = 0; i < n; ++i)
        units << seat(QString::number(i), 1, float(i), 0, float(-i));
    StockApplication::instance()->setLhbSeats(kDate, "600519", units);
    LHBBS5Widget w;
    w.table()->sortByColumn(5, Qt::AscendingOrder);
    QSignalSpy seatSorts(w.table()->model(), &QAbstractItemModel::layoutChanged);
    w.showStock("600519", kDate);
    QCOMPARE(seatSorts.count(), 1);
    QCOMPARE(w.table()->rowCount(), n);
    for (int r = 0; r < n; ++r) {
        QCOMPARE(w.table()->item(r, 1)->text(), QString::number(n - 1 - r));
        QCOMPARE(w.table()->item(r, 0)->text(), QString::number(n - r));
    }
}

void TestSeatViews::historyThroughMenuOnRightClickedSeat()
{
    storeTwoSeats();
    m_server.setRoute(seatHistoryUrl("80153279"), historyReply(), 200, "text/plain");

    LHBBS5Widget w;
    w.resize(900, 300);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.showStock("600519", kDate);
    QTableWidget* t = w.table();
    const int seatRow = rowOf(t, "国泰君安上海江苏路");
    const int otherRow = rowOf(t, "机构专用");
    QVERIFY(seatRow >= 0 && otherRow >= 0);

    // Left-click the other seat, then right-click the seat with a link: the
    // menu acts on the right-clicked seat.
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {},
                      t->visualItemRect(t->item(otherRow, 1)).center());
    QCOMPARE(w.clickedRow(), otherRow);
    const QPoint p = t->visualItemRect(t->item(seatRow, 1)).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, p, t->viewport()->mapToGlobal(p));
    QApplication::sendEvent(t->viewport(), &event);
    QTRY_VERIFY(w.contextMenu()->isVisible());
    QCOMPARE(w.clickedRow(), seatRow);
    QCOMPARE(w.clickedColumn(), 1);
    w.contextMenu()->hide();

    QPointer<DataTableWidget> opened;
    QVERIFY(withModalDialog(
        [&] { w.historyAction()->trigger(); },
        [&](DataTableWidget* d) {
            opened = d;
            QCOMPARE(d->windowTitle(), QString("营业部历史上榜 - 国泰君安上海江苏路"));
            QCOMPARE(d->parentWidget(), &w);
            QTableWidget* h = d->table();
            const QFontMetrics cells = h->fontMetrics();
            const QFontMetrics header = h->horizontalHeader()->fontMetrics();
            QStringList headers;
            // No text is cut off, but the overlong reason does not stretch its column.
            for (int c = 0; c < h->columnCount(); ++c) {
                headers << h->horizontalHeaderItem(c)->text();
                const int width = h->columnWidth(c);
                QVERIFY2(width >= header.horizontalAdvance(headers.last()),
                         qPrintable(headers.last()));
                for (const QString& text : columnTexts(h, c))
                    QVERIFY2((width >= cells.horizontalAdvance(text)) == (text != overlongReason()),
                             qPrintable(text));
            }
            QCOMPARE(headers, QStringList({"日期", "代码", "股票", "买入(万元)", "卖出(万元)",
                                           "涨幅(%)", "价格", "上榜类型"}));
            // Newest first, as the service sends them, until a header is clicked.
            QCOMPARE(columnTexts(h, 0), QStringList({"2017-10-11", "2017-10-09"}));
            h->sortByColumn(0, Qt::AscendingOrder);
            QCOMPARE(columnTexts(h, 2), QStringList({"平安银行", "贵州茅台"}));
            // The service's 元 in 万元, like the seat table.
            QCOMPARE(columnTexts(h, 3), QStringList({"1234.57", "3000"}));
            QCOMPARE(
                columnTexts(h, 7),
                QStringList({overlongReason(), "连续三个交易日内，涨幅偏离值累计达20%的证券"}));
        }));
    QVERIFY(!opened); // destroyed when it closed
    QCOMPARE(m_server.requests(), QStringList{seatHistoryUrl("80153279")});
}

void TestSeatViews::historyActionDoesNothing()
{
    storeTwoSeats();
    m_server.setRoute(seatHistoryUrl("80153279"), historyReply(), 200, "text/plain");
    LHBBS5Widget w;
    w.resize(900, 300);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.showStock("600519", kDate);

    // Right-click below the rows before any click: no seat, so no menu.
    QTableWidget* t = w.table();
    auto rightClick = [&](const QPoint& p) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, p, t->viewport()->mapToGlobal(p));
        QApplication::sendEvent(t->viewport(), &event);
        QCoreApplication::processEvents();
    };
    const QPoint empty(10, t->viewport()->height() - 5);
    QVERIFY(!t->itemAt(empty));
    rightClick(empty);
    QVERIFY(!w.contextMenu()->isVisible());
    QCOMPARE(w.clickedRow(), -1);
    w.showHistoryList();

    // A seat whose link has no seat code: the menu shows its action greyed.
    rightClick(t->visualItemRect(t->item(rowOf(t, "机构专用"), 1)).center());
    QVERIFY(w.contextMenu()->isVisible());
    QVERIFY(!w.historyAction()->isEnabled());
    w.contextMenu()->hide();
    w.showHistoryList();
    rightClick(t->visualItemRect(t->item(rowOf(t, "国泰君安上海江苏路"), 1)).center());
    QVERIFY(w.historyAction()->isEnabled());
    w.contextMenu()->hide();

    // The same seat, and one without any link, by a left click.
    w.onClick(rowOf(t, "机构专用"), 1);
    w.showHistoryList();
    StockApplication::instance()->setLhbSeats(kDate, "000002", {seat("无链接", 1, 1, 0, 1)});
    w.showStock("000002", kDate);
    w.onClick(0, 1);
    w.showHistoryList();
    // A row that is gone.
    w.onClick(5, 1);
    w.showHistoryList();

    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(m_server.requestCount(), 0);
}

void TestSeatViews::historyEmptyReplyGivesEmptyTable()
{
    storeTwoSeats();
    m_server.setRoute(seatHistoryUrl("80153279"),
                      "var fyeUKhdn={\"success\":false,\"pages\":0,\"data\":[]}", 200, "text/plain");
    LHBBS5Widget w;
    w.showStock("600519", kDate);
    w.onClick(rowOf(w.table(), "国泰君安上海江苏路"), 1);
    int rows = -1;
    QVERIFY(withModalDialog([&] { w.showHistoryList(); },
                            [&](DataTableWidget* d) { rows = d->table()->rowCount(); }));
    QCOMPARE(rows, 0); // no row of empty cells
}

void TestSeatViews::historyOfAStockLeftMeanwhileNotShown()
{
    // Another stock's seats come in while a seat's history is on its way.
    storeTwoSeats();
    StockApplication::instance()->setLhbSeats(kDate, "000002", {seat("乙营业部", 1, 1, 0, 1)});
    m_server.setRoute(seatHistoryUrl("80153279"), historyReply(), 200, "text/plain");
    m_server.setResponseDelayMs(300);
    LHBBS5Widget w;
    w.showStock("600519", kDate);
    w.onClick(rowOf(w.table(), "国泰君安上海江苏路"), 1);
    QTimer::singleShot(100, &w, [&w] { w.showStock("000002", kDate); });
    const bool shown = withModalDialog<QWidget>([&] { w.showHistoryList(); }, [](QWidget*) {}, 600);
    m_server.setResponseDelayMs(0);
    QVERIFY(!shown);
    QCOMPARE(m_server.requestCount(), 1);
}

void TestSeatViews::historyAskedAgainShowsOnce()
{
    // Asked for three times while the reply is on its way, and again while
    // its dialog is open: the last ask wins, and one dialog opens.
    storeTwoSeats();
    m_server.setRoute(seatHistoryUrl("80153279"), historyReply(), 200, "text/plain");
    m_server.setResponseDelayMs(300);
    LHBBS5Widget w;
    w.showStock("600519", kDate);
    w.onClick(rowOf(w.table(), "国泰君安上海江苏路"), 1);
    int dialogs = 0;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            ++dialogs;
            w.showHistoryList();
            dialog->reject();
        }
    });
    poll.start(20);
    for (int i = 0; i < 3; ++i) {
        w.showHistoryList();
        QTest::qWait(50);
    }
    QTest::qWait(1000);
    m_server.setResponseDelayMs(0);
    QCOMPARE(dialogs, 1);
    QCOMPARE(m_server.requestCount(), 3);
}

void TestSeatViews::historyFetchFailureIsSaid_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("cutOff");
    QTest::addColumn<QString>("reason"); // in the user's words, without Qt's English or the URL
    const QByteArray whole = historyReply();
    QTest::newRow("HTTP error") << whole << 500 << false << "原因：服务器返回错误 500";
    QTest::newRow("transfer cut off") << whole << 200 << true << "原因：回复不完整";
    const QByteArray unclosed = whole.left(whole.size() - 2);
    const QByteArray overlong =
        overBound([&](int n) { return whole.repeated(n); }, kSeatHistoryMaxReplyBytes);
    const QByteArray portal = "<html><script>var cfg={\"a\":[1,2]};</script></html>";
    QTest::newRow("JSON cut off") << unclosed << 200 << false << "原因：回复不完整";
    QTest::newRow("over its bound") << overlong << 200 << false << "原因：回复过长";
    QTest::newRow("portal page") << portal << 200 << false << "原因：回复不是预期的格式";
    const QByteArray entry = "{\"TDate\":\"2017-10-11\"},";
    const QByteArray tooMany = "var fyeUKhdn={\"data\":[" + entry.repeated(kSeatHistoryRowsAsked)
                               + entry.chopped(1) + "]}";
    QTest::newRow("more entries than asked") << tooMany << 200 << false << "原因：回复不是预期的格式";
}

void TestSeatViews::historyFetchFailureIsSaid()
{
    QFETCH(QByteArray, body);
    QFETCH(int, status);
    QFETCH(bool, cutOff);
    storeTwoSeats();
    const QString url = seatHistoryUrl("80153279");
    if (cutOff)
        m_server.setCutOffRoute(url, body.left(body.size() / 2), body.size(), "text/plain");
    else
        m_server.setRoute(url, body, status, "text/plain");

    LHBBS5Widget w;
    w.showStock("600519", kDate);
    w.onClick(rowOf(w.table(), "国泰君安上海江苏路"), 1);
    // A warning, not an empty history.
    QVERIFY(withModalDialog<QMessageBox>([&] { w.showHistoryList(); },
                                         [&](QMessageBox* box) {
                                             QCOMPARE(box->icon(), QMessageBox::Warning);
                                             QVERIFY2(box->text().contains("国泰君安上海江苏路"),
                                                      qPrintable(box->text()));
                                             QTEST(box->informativeText(), "reason");
                                         }));
    QCOMPARE(m_server.requests(), QStringList{url});
}

void TestSeatViews::historyOfParsedSeatPage()
{
    // Seats and links as the list-entry task stores them from a real page.
    const QString page = fixtureText("providers/lhb-2017-10-09-002460.html");
    QVERIFY(!page.isEmpty());
    EastmoneyLHBDataInterface client;
    const QVector<LHBUnit> units = client.parse(page, QString());
    QVERIFY(units.size() > 2);
    StockApplication* app = StockApplication::instance();
    app->setLhbSeats("2017-10-09", "002460", units);
    for (const LHBUnit& u : units)
        if (!u.name.isEmpty())
            app->setSeatPageUrl(u.name, u.url);

    const QString seatName = QStringLiteral("华泰证券股份有限公司深圳益田路荣超商务中心证券营业部");
    const QString url = "http://data.eastmoney.com/DataCenter_V3/stock2016/jymx.ashx?pagesize=50"
                        "&page=1&js=var%20fyeUKhdn&param=&sortRule=-1&sortType=&gpfw=0&code=80154611";
    m_server.setRoute(url, historyReply(), 200, "text/plain");
    LHBBS5Widget w;
    w.showStock("002460", "2017-10-09");
    const int row = rowOf(w.table(), seatName);
    QVERIFY(row >= 0);
    w.onClick(row, 0);
    int rows = -1;
    QVERIFY(withModalDialog([&] { w.showHistoryList(); },
                            [&](DataTableWidget* d) { rows = d->table()->rowCount(); }));
    QCOMPARE(rows, 2);
    QCOMPARE(m_server.requests(), QStringList{url});
}

void TestSeatViews::historyFiguresThatAreNoNumberShowDash()
{
    const QString reply = QStringLiteral(
        "var x=[{\"BMoney\":\"5,555,000.00\",\"ChgRadio\":\"1.50\",\"CPrice\":\"N/A\"},"
        "{\"BMoney\":\"--\",\"ChgRadio\":\"null\",\"CPrice\":\"\"},{\"TDate\":\"2017-10-11\"}]");
    std::unique_ptr<DataTableWidget> d(createSeatHistoryDialog(reply, QString(), nullptr));
    // A key the record lacks stays an empty cell.
    QCOMPARE(columnTexts(d->table(), 3), QStringList({"555.5", "-", ""}));
    QCOMPARE(columnTexts(d->table(), 5), QStringList({"1.50", "-", ""}));
    QCOMPARE(columnTexts(d->table(), 6), QStringList({"-", "-", ""}));
}

void TestSeatViews::historyDialogShowsAllColumns()
{
    QString reply = QStringLiteral("var x=[");
    for (int i = 1; i <= 30; ++i)
        reply += QStringLiteral("{\"TDate\":\"2017-09-%1\",\"SName\":\"股票%1\"},").arg(i, 2, 10, QLatin1Char('0'));
    reply.chop(1);
    reply += QLatin1Char(']');
    std::unique_ptr<DataTableWidget> d(createSeatHistoryDialog(reply, QString(), nullptr));
    QCOMPARE(d->windowTitle(), QString("营业部历史上榜"));
    QTableWidget* t = d->table();

    // It opens within the available screen, which here is narrower than
    // the columns, and takes most of its width.
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.get()));
    const QSize available = QGuiApplication::primaryScreen()->availableSize();
    QVERIFY(available.width() < 916);
    QVERIFY2(d->width() <= available.width() && d->height() <= available.height()
                 && d->width() > available.width() * 3 / 4,
             qPrintable(QStringLiteral("%1x%2").arg(d->width()).arg(d->height())));

    // Where the screen has room, every column and about 15 rows show.
    d->resize(seatHistoryDialogSize(d.get(), QSize(1600, 1000)));
    QTRY_VERIFY(t->viewport()->width() > available.width());
    QTRY_VERIFY(!t->horizontalScrollBar()->isVisible());
    QVERIFY(t->columnViewportPosition(7) + t->columnWidth(7) <= t->viewport()->width());
    const int rowsShown = t->viewport()->height() / t->rowHeight(0);
    QVERIFY2(rowsShown >= 14 && rowsShown <= 16, qPrintable(QString::number(rowsShown)));
}

void TestSeatViews::recommendationsEmptyDay()
{
    RecommandStockView view;
    view.refresh();
    QCOMPARE(view.stockList()->count(), 0);
    QCOMPARE(view.analysisText()->toPlainText(),
             QString("今日龙虎榜无选股,本龙虎榜深度分析系统不会每天推荐股票,请耐心等待介入时机"));
    QVERIFY(view.analysisText()->isReadOnly());
    const QList<QGroupBox*> boxes = view.findChildren<QGroupBox*>();
    QCOMPARE(boxes.size(), 2);
    for (QGroupBox* box : boxes) {
        if (box->title() == QStringLiteral("推荐股票")) {
            QCOMPARE(box->minimumWidth(), 108);
            QCOMPARE(box->maximumWidth(), 108);
            QVERIFY(box->isAncestorOf(view.stockList()));
        } else {
            QCOMPARE(box->title(), QString("分析结果"));
            QVERIFY(box->isAncestorOf(view.analysisText()));
        }
    }
}

void TestSeatViews::recommendationsListedAndClicked()
{
    StockApplication* app = StockApplication::instance();
    app->setRecommendation("600519", "贵州茅台(600519)主力加仓买入,大力推荐");
    app->setRecommendation("000001", "平安银行(000001)机构买入");
    RecommandStockView view;
    view.resize(600, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.refresh();
    QListWidget* list = view.stockList();
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(0)->text(), QString("000001"));
    QCOMPARE(list->item(1)->text(), QString("600519"));

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    QTextEdit* text = view.analysisText();
    QCOMPARE(text->toPlainText(), QString("贵州茅台(600519)主力加仓买入,大力推荐"));
    QTest::keyClick(list, Qt::Key_Up); // the text follows the highlight
    QCOMPARE(text->toPlainText(), QString("平安银行(000001)机构买入"));
    QTextCursor cursor(text->document());
    cursor.setPosition(1);
    QCOMPARE(cursor.charFormat().foreground().color(), QColor(240, 64, 64));
    QCOMPARE(text->font().pointSize(), 16);

    view.onClickStockList(list->item(0));
    QCOMPARE(text->toPlainText(), QString("平安银行(000001)机构买入"));

    // What the scan could not fetch stays above a clicked pick's text.
    const QString notice = QStringLiteral("1 只股票的营业部数据获取失败：000002");
    view.refresh(notice);
    QCOMPARE(text->toPlainText(), notice);
    view.onClickStockList(list->item(0));
    QCOMPARE(text->toPlainText(), notice + "\n\n" + app->recommendations().value("000001"));
}

void TestSeatViews::recommendationsAfterEmptyDay()
{
    RecommandStockView view;
    view.refresh();
    QCOMPARE(view.analysisText()->toPlainText(), RecommandStockView::emptyDayText());
    StockApplication::instance()->setRecommendation("600519", "贵州茅台(600519)主力加仓买入,大力推荐");
    view.refresh();
    QCOMPARE(view.stockList()->count(), 1);
    // The list holds a pick, so "no pick today" must not stand beside it.
    QVERIFY(view.analysisText()->toPlainText().isEmpty());
    view.onClickStockList(view.stockList()->item(0));
    QTextCursor cursor(view.analysisText()->document());
    cursor.setPosition(1);
    QCOMPARE(cursor.charFormat().foreground().color(), QColor(240, 64, 64));

    StockApplication::instance()->clearCaches();
    view.refresh();
    QCOMPARE(view.stockList()->count(), 0);
    QCOMPARE(view.analysisText()->toPlainText(), RecommandStockView::emptyDayText());
}

void TestSeatViews::serviceTextShownAsText_data()
{
    addServiceTextRows();
}

void TestSeatViews::serviceTextShownAsText()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(QString, tip);
    // A cell, and the tooltip it gives once cut off, read without showing it.
    const auto checkCell = [&](QTableWidget* t, int column) {
        const QModelIndex index = t->model()->index(0, column);
        const auto* delegate = qobject_cast<LineDelegate*>(t->itemDelegate());
        QCOMPARE(delegate->displayText(index.data(), QLocale()), shown);
        t->setColumnWidth(column, 24);
        QStyleOptionViewItem option;
        option.initFrom(t->viewport());
        option.rect = t->visualRect(index);
        QCOMPARE(readAs(delegate->cutOffToolTip(option, index)), tip);
    };
    // The news and seat-history services send \uXXXX escapes.
    DataTableWidget news(QStringLiteral("新闻简讯"), {{QStringLiteral("标题"), "title", 540}});
    news.addRow({{"title", QString(text).replace(QChar(0x202e), QStringLiteral("\\u202e"))}});
    checkCell(news.table(), 0);
    ElidedLabel label;
    label.resize(40, 30);
    label.setText(text);
    label.grab();
    QCOMPARE(readAs(label.toolTip()), tip);

    // The seat's row still finds its history by the name as sent.
    StockApplication* app = StockApplication::instance();
    app->setLhbSeats(kDate, "600519", {seat(text, 1, 1, 0, 1, kSeatLink)});
    m_server.setRoute(seatHistoryUrl("80153279"), QByteArray(), 500, "text/plain");
    LHBBS5Widget seats;
    seats.showStock("600519", kDate);
    checkCell(seats.table(), 1);
    seats.onClick(0, 1);
    QVERIFY(withModalDialog<QMessageBox>(
        [&] { seats.showHistoryList(); },
        [&](QMessageBox* box) {
            QCOMPARE(readAs(box->text()), "未能获取“" + tip + "”的历史上榜数据。");
            // Within the offscreen screen of 800 × 600, 确定 included.
            QVERIFY(QRect(QPoint(), box->screen()->availableSize()).contains(box->rect()));
        }));
    std::unique_ptr<DataTableWidget> history(createSeatHistoryDialog(QString(), text, nullptr));
    history->winId();
    QCOMPARE(history->windowHandle()->title(), "营业部历史上榜 - " + tip);

    app->setRecommendation("600519", text + "(600519)");
    RecommandStockView recommend;
    recommend.refresh();
    recommend.onClickStockList(recommend.stockList()->item(0));
    QCOMPARE(recommend.analysisText()->toPlainText(), shown + "(600519)");

    CandlestickWidget chart(true, nullptr);
    chart.setData(60, text, {}, "day", "hfq");
    QCOMPARE(chart.titleText(), shown);
}

void TestSeatViews::toolTipFitsTheScreen_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("asBefore"); // the tooltip is the text, unchanged
    QTest::newRow("400 Latin letters") << QString(400, QLatin1Char('a')) << false;
    QTest::newRow("wide signs") << QString(300, QChar(0xFDFD)) << false;
    QTest::newRow("markup, long run") << "<b>" + QString(400, QLatin1Char('x')) << false;
    QTest::newRow("long, with blanks") << QStringLiteral("word ").repeated(80) << true;
}

void TestSeatViews::toolTipFitsTheScreen()
{
    // The cells and the information line take their tooltips from here
    // (serviceTextShownAsText).
    QFETCH(QString, text);
    QFETCH(bool, asBefore);
    const QString tip = plainToolTip(text);
    // Laid out as QToolTip's label sizes itself, without showing it: wrapped
    // when rich text, or when one line would be wider than the screen.
    QLabel label(tip);
    label.setFont(QToolTip::font());
    label.setWordWrap(Qt::mightBeRichText(tip));
    const int screenWidth = QGuiApplication::primaryScreen()->geometry().width();
    if (!label.wordWrap() && label.sizeHint().width() > screenWidth)
        label.setWordWrap(true);
    QVERIFY2(label.sizeHint().width() <= screenWidth,
             qPrintable(QString::number(label.sizeHint().width())));
    // Wrapped, not cut: every character is still there.
    QCOMPARE(readAs(tip).remove(QChar(0x200B)), shownLine(text));
    if (asBefore)
        QCOMPARE(tip, shownLine(text));
}

VESK_STOCKAPP_TEST_MAIN(TestSeatViews)

#include "tst_seatviews.moc"
