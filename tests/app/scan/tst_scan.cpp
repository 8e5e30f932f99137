// The scan's main road, end to end: a day is picked and "扫描" pressed; the
// worker fetches three day lists and the list entries' seats from fixture
// services reached by their real URLs through a local proxy; the widget
// lists the day, recommends, and shows a selected stock's chart, seats and
// news.

#include "app/scan/lhbpkwidget.h"
#include "app/scan/scanfailures.h"
#include "app/scan/stockevent.h"
#include "app/scan/stocklisttask.h"
#include "app/views/datatablewidget.h"
#include "app/views/lhbbs5widget.h"
#include "app/views/lhbtabwidget.h"
#include "app/views/recommandstockview.h"
#include "app/views/seathistory.h"
#include "app/views/stocklistview.h"
#include "chart/candlestickwidget.h"
#include "core/providers/eastmoneylhbdatainterface.h"
#include "core/providers/eastmoneylhblistinterface.h"
#include "core/providers/providerinterfaces.h"
#include "core/providers/stocknewsinterface.h"
#include "core/providers/stockqqhistoryinterface.h"
#include "core/stockapplication.h"
#include "tests/support/fixtures.h"
#include "tests/support/hostileinputs.h"
#include "tests/support/stockapptestmain.h"
#include "tests/support/peakmemory.h"
#include "tests/support/testhttpserver.h"

#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTextEdit>
#include <QThreadPool>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>
#include <QtTest>

#include <limits>

#include <qcustomplot.h>

namespace {

const QString kDay = QStringLiteral("2017-10-09");  // a Monday
const QString kDay1 = QStringLiteral("2017-10-06"); // the 2nd is a configured holiday
const QString kDay2 = QStringLiteral("2017-10-05");

// A scan of a few list entries takes about 20 s: three 2.4 s list pauses,
// two 1.2 s status pauses and 0.72 s per list entry.
constexpr int kScanTimeoutMs = 60000;

// The information line while no stock is shown.
const QString kNoStockInfo = QStringLiteral(" 代码:-,名称:-,涨幅:-%,换手率:-%,交易额:-万");

// The list service's answer for a day without entries.
const QByteArray kEmptyList = "var data_tab_1={\"success\":false,\"pages\":0,\"data\":[]}";

// A list row of the service for a stock, and a list reply that says how
// many pages the day has.
QString listRow(const QString& code, const QString& date) {
    return QStringLiteral(
               "{\"SCode\":\"%1\",\"SName\":\"甲\",\"Chgradio\":\"9.9554\",\"Dchratio\":\"17.1\","
               "\"Turnover\":\"2508328205\",\"Ctypedes\":\"日涨幅偏离值达到7%的证券\",\"Tdate\":\"%2\","
               "\"JD\":\"机构买入\",\"DP\":\"机构买入\"}")
        .arg(code, date);
}

QByteArray listReply(const QStringList& rows, int pages) {
    return toGbk(QStringLiteral("var data_tab_1={\"success\":true,\"pages\":%1,\"data\":[%2]}")
                     .arg(pages)
                     .arg(rows.join(QLatin1Char(','))));
}

QString listUrl(const QString& date) {
    EastmoneyLHBListInterface client;
    return client.urls(QStringList{date}).value(0);
}

QString seatUrl(const QString& code, const QString& date) {
    EastmoneyLHBDataInterface client;
    return client.urls(QStringList{code + QLatin1Char(',') + date}).value(0);
}

// The K-line and news queries carry a random number, so they are routed by path.
QString klinePath() {
    StockQQHistoryInterface client;
    return QUrl(client.urls(QStringList{QStringLiteral("600001")}).value(0)).path();
}

QString newsPath() {
    StockNewsInterface client;
    return QUrl(client.url(QStringLiteral("600001"))).path();
}

// Records the widget's scan events and every change of its progress bar.
class ScanRecorder final : public QObject {
public:
    explicit ScanRecorder(LHBPKWidget* widget) : m_widget(widget) {
        widget->installEventFilter(this);
        QObject::connect(widget->progressBar(), &QProgressBar::valueChanged,
                         [this](int value) { progress.append(value); });
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        const int type = event->type();
        if (watched == m_widget && type >= StockEvent::DayListFetched &&
            type <= StockEvent::AllSeatsStored)
            events.append(qMakePair(type, static_cast<StockEvent*>(event)->value()));
        return false;
    }
    void clear() {
        events.clear();
        progress.clear();
    }
    QVector<QPair<int, int>> events;
    QVector<int> progress;

private:
    LHBPKWidget* m_widget;
};

int rowOfCode(QTableWidget* table, const QString& code) {
    for (int r = 0; r < table->rowCount(); ++r) {
        if (table->item(r, 0) && table->item(r, 0)->text().trimmed() == code)
            return r;
    }
    return -1;
}

void clickRow(QTableWidget* table, int row) {
    QVERIFY(row >= 0);
    table->scrollToItem(table->item(row, 0));
    const QRect rect = table->visualItemRect(table->item(row, 1));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

QCPFinancial* candlesOf(CandlestickWidget* chart) {
    auto* plot = chart->findChild<QCustomPlot*>();
    if (!plot)
        return nullptr;
    for (int i = 0; i < plot->plottableCount(); ++i) {
        if (auto* financial = qobject_cast<QCPFinancial*>(plot->plottable(i)))
            return financial;
    }
    return nullptr;
}

// The stock-specific replies of the quick-move tests: every bar of a
// stock's K-lines closes at its price, and its one news item names it.
float priceOf(const QString& code) {
    return float(code.right(3).toInt() + 1);
}

QString queryValue(const QString& url, const char* key) {
    return QUrlQuery(QUrl(url)).queryItemValue(QString::fromLatin1(key), QUrl::FullyDecoded);
}

QByteArray stockKLines(const QString& requestTarget) {
    const QString code = queryValue(requestTarget, "param").mid(2, 6);
    const QString price = QString::number(priceOf(code));
    QStringList bars;
    for (int i = 0; i < 70; ++i)
        bars << QStringLiteral("[\"%1\",\"%2\",\"%2\",\"%2\",\"%2\",\"1000\"]")
                    .arg(QDate(2017, 6, 1).addDays(i).toString(Qt::ISODate), price);
    return QStringLiteral("{\"code\":0,\"data\":{\"x\":{\"hfqday\":[%1]}}}")
        .arg(bars.join(QLatin1Char(',')))
        .toLatin1();
}

QByteArray stockNews(const QString& requestTarget) {
    return QStringLiteral("{\"code\":0,\"data\":{\"data\":[{\"symbol\":\"%1\",\"title\":\"t\","
                          "\"time\":\"2017-10-09 15:30:02\"}]}}")
        .arg(queryValue(requestTarget, "symbol"))
        .toLatin1();
}

QString highlighted(const StockListView* list) {
    const QModelIndexList rows = list->selectionModel()->selectedRows();
    return rows.size() == 1 ? list->item(rows.first().row(), 0)->text() : QString();
}

bool rowInSight(const StockListView* list, const QString& code) {
    const QRect rect = list->visualItemRect(list->item(rowOfCode(const_cast<StockListView*>(list), code), 0));
    return rect.top() >= 0 && rect.bottom() <= list->viewport()->height();
}

int threadCount() {
    return QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
}

int countRequests(const TestHttpServer& server, const QString& part) {
    int n = 0;
    for (const QString& r : server.requests())
        n += r.contains(part) ? 1 : 0;
    return n;
}

} // namespace

class TestScan final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void listRowConversion_data();
    void listRowConversion();
    void initialDate_data();
    void initialDate();
    void failuresNamedOnceAndSayWhy();
    void unjudgedDaysSaid_data();
    void unjudgedDaysSaid();
    void wholeScan();
    void onlyTheLastSelectedStockIsShown();
    void quickMovesEndOnTheLastPick_data();
    void quickMovesEndOnTheLastPick();
    void quickClicksKeepThreadsFlat();
    void pressEndedAnyWayIsFollowed_data();
    void pressEndedAnyWayIsFollowed();
    void infoLineIsOneLine_data();
    void infoLineIsOneLine();
    void emptyDay();
    void buttonComesBackWhenDayListIsLost();
    void listRowsReadAsMeant();
    void longDayListReadWhole();
    void failedFetchesAreSaid();
    void endlessAndCutOffRepliesFail();
    void longListFilledInTurns();

private:
    // Lists n further stocks of D with seats, codes from first on, each
    // with a change of change + i, and serves stock-specific K-lines and news.
    QStringList listMoreStocks(int first, int n, float change);
    // Once the replies are in: the list, the line and every view show code;
    // each stock of passed was asked for at most once per kind, code once.
    void checkShownAlone(const QString& code, const QStringList& passed);
    void startScan(const QString& day);
    void waitForScanEnd();
    void scanToEnd(const QString& day);

    TestHttpServer m_server;
    LHBPKWidget* m_widget = nullptr;
    ScanRecorder* m_recorder = nullptr;
};

void TestScan::initTestCase() {
    QVERIFY(StockApplication::instance());
    // The calendar's configured days are the defaults, whatever an earlier run left.
    StockApplication::instance()->setNonTradeDays(
        QString::fromLatin1(StockApplication::kDefaultNonTradeDays).split(QLatin1Char(',')));

    QVERIFY(m_server.listen());
    // Anything not routed (an unknown day, a stock without a page) answers empty.
    m_server.setDefaultResponse(QByteArray(), 404);
    for (const QString& day : {kDay, kDay1, kDay2})
        m_server.setRoute(listUrl(day),
                          toGbk(fixtureText(QStringLiteral("scan/list-%1.js").arg(day))));
    const QStringList pages = {
        QStringLiteral("2017-10-09-600001"), QStringLiteral("2017-10-09-600002"),
        QStringLiteral("2017-10-09-000003"), QStringLiteral("2017-10-09-000004"),
        QStringLiteral("2017-10-09-000005"), QStringLiteral("2017-10-06-600002"),
        QStringLiteral("2017-10-06-000003"), QStringLiteral("2017-10-05-600002")};
    for (const QString& page : pages) {
        const QString date = page.left(10);
        const QString code = page.mid(11);
        const QByteArray body = toGbk(fixtureText(QStringLiteral("scan/seats-%1.html").arg(page)));
        QVERIFY(!body.isEmpty());
        m_server.setRoute(seatUrl(code, date), body);
    }
    m_server.setRoute(klinePath(), toGbk(fixtureText(QStringLiteral("scan/kline.json"))), 200,
                      "application/json");
    m_server.setRoute(newsPath(), toGbk(fixtureText(QStringLiteral("scan/news.json"))), 200,
                      "application/json");
    m_server.installAsApplicationProxy();

    m_widget = new LHBPKWidget();
    m_widget->resize(960, 640);
    m_widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_widget));
    m_recorder = new ScanRecorder(m_widget);
}

void TestScan::cleanupTestCase() {
    delete m_recorder;
    delete m_widget;
    TestHttpServer::removeApplicationProxy();
}

void TestScan::listRowConversion_data() {
    QTest::addColumn<QString>("chg");
    QTest::addColumn<QString>("turnover");
    QTest::addColumn<float>("changePercent");
    QTest::addColumn<float>("amount");
    // The change is raised to the next hundredth; the amount turns yuan into 万元.
    QTest::newRow("raised") << "2.341"
                            << "2500000" << 2.35f << 250.0f;
    QTest::newRow("negative raised toward zero") << "-1.237"
                                                 << "0" << -1.23f << 0.0f;
    QTest::newRow("whole hundredths stay") << "2.34"
                                           << "12345" << 2.34f << 1.2345f;
    QTest::newRow("integer") << "5"
                             << "2508328205" << 5.0f << 250832.8205f;
    // A figure in hundredths is the service's own, whatever binary product it makes.
    for (const char* figure : {"10.02", "5.07", "9.99"})
        QTest::newRow(figure) << figure << "0" << QByteArray(figure).toFloat() << 0.0f;
    QTest::newRow("more decimals raised") << "10.0123" << "0" << 10.02f << 0.0f;
    QTest::newRow("negative, more decimals") << "-9.987" << "0" << -9.98f << 0.0f;
    // No figure reads as 0: "-" on the screen; thousands separators are read.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const char* none : {"abc", "", "--", "N/A", "null"})
        QTest::newRow(*none ? none : "empty") << none << none << nan << nan;
    QTest::newRow("thousands separators") << "1,001.234"
                                          << "5,555,000.00" << 1001.24f << 555.5f;
}

void TestScan::listRowConversion() {
    QFETCH(QString, chg);
    QFETCH(QString, turnover);
    QFETCH(float, changePercent);
    QFETCH(float, amount);
    QMap<QString, QString> row;
    row.insert(QStringLiteral("SCode"), QStringLiteral("600036"));
    row.insert(QStringLiteral("SName"), QStringLiteral("招商银行"));
    row.insert(QStringLiteral("Tdate"), QStringLiteral("2017-10-09"));
    row.insert(QStringLiteral("Ctypedes"), QStringLiteral("日涨幅偏离值达到7%的证券"));
    row.insert(QStringLiteral("Dchratio"), QStringLiteral("1.5"));
    row.insert(QStringLiteral("Chgradio"), chg);
    row.insert(QStringLiteral("Turnover"), turnover);
    const Stock s = StockListTask::stockFromRow(row);
    QCOMPARE(s.code, QStringLiteral("600036"));
    QCOMPARE(s.name, QStringLiteral("招商银行"));
    QCOMPARE(s.date, QStringLiteral("2017-10-09"));
    QCOMPARE(s.typeText, QStringLiteral("日涨幅偏离值达到7%的证券"));
    QCOMPARE(s.jd, QString()); // absent keys give empty texts
    QCOMPARE(s.turnoverRate, 1.5f);
    QCOMPARE(s.changePercent, changePercent);
    QCOMPARE(s.amount, amount);
}

void TestScan::initialDate_data() {
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("saturday") << QDate(2017, 10, 14) << QDate(2017, 10, 13);
    QTest::newRow("sunday") << QDate(2017, 10, 15) << QDate(2017, 10, 13);
    QTest::newRow("monday") << QDate(2017, 10, 16) << QDate(2017, 10, 16);
    QTest::newRow("weekday holiday stays") << QDate(2017, 5, 1) << QDate(2017, 5, 1);
}

void TestScan::initialDate() {
    QFETCH(QDate, today);
    QFETCH(QDate, expected);
    QCOMPARE(LHBPKWidget::initialDate(today), expected);
}

void TestScan::failuresNamedOnceAndSayWhy() {
    ScanFailures failures;
    failures.setSeatPage(kDay, "600002", false, "超时");
    failures.setSeatPage(kDay1, "600002", false);
    failures.setSeatPage(kDay, "000003", false, "无法连接"); // arrives on the second request
    failures.setSeatPage(kDay, "000003", true);
    failures.setSeatPage(kDay, "000004", true); // arrived; a second request fails
    failures.setSeatPage(kDay, "000004", false, "回复不完整");
    QCOMPARE(failures.seatPageCodes(), QStringList{"600002"});
    QCOMPARE(failures.seatPageReasons(), QStringList{"超时"});
    QVERIFY(failures.seatPageFailed(kDay1, "600002") && !failures.seatPageFailed(kDay, "000004"));

    QCOMPARE(LHBPKWidget::seatFailureLine({"600002"}),
             QStringLiteral("1 只股票的营业部数据获取失败：600002"));
    QStringList many;
    for (int i = 0; i < 12; ++i)
        many << QString::number(600010 + i);
    QCOMPARE(LHBPKWidget::seatFailureLine(many),
             QStringLiteral("12 只股票的营业部数据获取失败：") + many.mid(0, 10).join("、") + "等");

    // D without any answer: the network is worth checking.
    ScanFailures silent;
    silent.addDay(kDay, FetchFailure::NoConnection);
    QCOMPARE(LHBPKWidget::failureText(silent, kDay, kDay1, kDay2),
             QStringLiteral("2017-10-09 龙虎榜数据获取失败（无法连接），请检查网络后重新扫描"));
    // The service answered: no word of the network; each failure says why.
    ScanFailures answered;
    answered.addDay(kDay1, FetchFailure::ServerError, 503);
    answered.addDay(kDay2, FetchFailure::Incomplete);
    answered.setSeatPage(kDay, "000003", false, fetchFailureText(FetchFailure::TimedOut));
    answered.setSeatPage(kDay, "000004", false, fetchFailureText(FetchFailure::TimedOut));
    QCOMPARE(LHBPKWidget::failureText(answered, kDay, kDay1, kDay2),
             QStringLiteral("2017-10-06 龙虎榜数据获取失败（服务器返回错误 503），选股结果可能不完整\n"
                            "2017-10-05 龙虎榜数据获取失败（回复不完整），选股结果可能不完整\n"
                            "2 只股票的营业部数据获取失败（超时）：000003、000004"));
    answered.addDay(kDay, FetchFailure::TooLong);
    QCOMPARE(LHBPKWidget::failureText(answered, kDay, kDay1, kDay2),
             QStringLiteral("2017-10-09 龙虎榜数据获取失败（回复过长），请稍后重新扫描"));
}

void TestScan::unjudgedDaysSaid_data() {
    // The days with a seat page that arrived (600001's) or failed (600002's).
    QTest::addColumn<QStringList>("arrived");
    QTest::addColumn<QStringList>("failed");
    QTest::addColumn<QString>("notice");
    const QString seatLine = QStringLiteral("1 只股票的营业部数据获取失败：600002");
    QTest::newRow("no page of D-2 came")
        << QStringList{kDay, kDay1} << QStringList{kDay2}
        << kDay2 + " 的营业部数据全部获取失败，选股未能参照该日\n" + seatLine;
    QTest::newRow("D-1 only runs of days, no page asked for")
        << QStringList{kDay, kDay2} << QStringList()
        << kDay1 + " 的上榜股票均不获取营业部数据，选股未能参照该日";
    QTest::newRow("some page of D-2 came")
        << QStringList{kDay, kDay1, kDay2} << QStringList{kDay2} << seatLine;
}

void TestScan::unjudgedDaysSaid() {
    QFETCH(QStringList, arrived);
    QFETCH(QStringList, failed);
    QFETCH(QString, notice);
    ScanFailures failures;
    for (const QString& day : arrived)
        failures.setSeatPage(day, "600001", true);
    for (const QString& day : failed)
        failures.setSeatPage(day, "600002", false);
    QCOMPARE(LHBPKWidget::failureText(failures, kDay, kDay1, kDay2), notice);
}

void TestScan::startScan(const QString& day) {
    QVERIFY(m_widget->scanButton()->isEnabled());
    m_widget->dateEdit()->setDate(QDate::fromString(day, QStringLiteral("yyyy-MM-dd")));
    QCOMPARE(m_widget->dateEdit()->text(), day);
    m_recorder->clear();
    m_server.clearRequests();
    QTest::mouseClick(m_widget->scanButton(), Qt::LeftButton);
    QVERIFY(!m_widget->scanButton()->isEnabled());
    QCOMPARE(m_widget->progressBar()->value(), 0);
    QCOMPARE(m_widget->stockList()->rowCount(), 0);
    // Nothing of the previous scan stays under the new day.
    LHBTabWidget* tabs = m_widget->tabs();
    QCOMPARE(m_widget->infoLabel()->text(), kNoStockInfo);
    QCOMPARE(tabs->recommendView()->stockList()->count(), 0);
    QCOMPARE(tabs->recommendView()->analysisText()->toPlainText(), QString());
    QCOMPARE(candlesOf(tabs->chart())->data()->size(), 0);
    QCOMPARE(tabs->seatTable()->table()->rowCount(), 0);
    QCOMPARE(tabs->newsTable()->table()->rowCount(), 0);
}

void TestScan::waitForScanEnd() {
    QTRY_VERIFY_WITH_TIMEOUT(m_widget->scanButton()->isEnabled(), kScanTimeoutMs);
    // The last status task still pauses after its event; let it end.
    QVERIFY(m_widget->threadPool()->waitForDone(5000));
}

void TestScan::scanToEnd(const QString& day) {
    startScan(day);
    if (!QTest::currentTestFailed())
        waitForScanEnd();
}

void TestScan::wholeScan() {
    StockApplication* app = StockApplication::instance();
    LHBTabWidget* tabs = m_widget->tabs();
    StockListView* list = m_widget->stockList();
    const QString dash = kNoStockInfo;
    QCOMPARE(m_widget->infoLabel()->text(), dash);

    startScan(kDay);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(m_widget->scanDay(), kDay);
    QCOMPARE(m_widget->previousDay(), kDay1);
    QCOMPARE(m_widget->dayBeforePrevious(), kDay2);

    // The list phase: D's records appear once every day list is stored.
    QTRY_VERIFY_WITH_TIMEOUT(list->rowCount() > 0, kScanTimeoutMs);
    QCOMPARE(m_widget->progressBar()->value(), 100);
    // 000007's reason holds both "连续" and "融资": dropped. 600001 is listed twice.
    QStringList codes;
    for (int r = 0; r < list->rowCount(); ++r)
        codes << list->item(r, 0)->text();
    codes.sort();
    QCOMPARE(codes,
             (QStringList{"000003", "000004", "000005", "000006", "600001", "600001", "600002"}));
    QCOMPARE(list->item(rowOfCode(list, "600002"), 2)->text(), QStringLiteral("2.35"));
    QCOMPARE(list->item(rowOfCode(list, "000003"), 2)->text(), QStringLiteral("-1.23"));
    QCOMPARE(list->item(rowOfCode(list, "000004"), 2)->text(), QStringLiteral("5"));
    const auto days = app->dayStocks();
    QCOMPARE(days.value(kDay).size(), 7);
    QCOMPARE(days.value(kDay1).size(), 2);
    QCOMPARE(days.value(kDay2).size(), 1);

    // Seats are fetched D-2 first, then D-1, then D: 600001's seats on D are
    // at least three list entries away, so selecting it now changes nothing.
    QVERIFY(!app->lhbSeats().value(kDay).contains("600001"));
    clickRow(list, rowOfCode(list, "600001"));
    QCOMPARE(m_widget->infoLabel()->text(),
             QStringLiteral(" 代码:600001,名称:甲股份,营业部数据尚未获取，扫描进行中"));
    QCOMPARE(tabs->seatTable()->table()->rowCount(), 0);
    QCOMPARE(tabs->newsTable()->table()->rowCount(), 0);
    QCPFinancial* candles = candlesOf(tabs->chart());
    QVERIFY(candles);
    QCOMPARE(candles->data()->size(), 0);
    QCOMPARE(countRequests(m_server, klinePath()), 0);
    QCOMPARE(countRequests(m_server, newsPath()), 0);

    // Once its seats on D are stored the highlighted stock fills the tabs
    // without another click, while the worker goes on filling the cache.
    QTRY_COMPARE_WITH_TIMEOUT(
        m_widget->infoLabel()->text(),
        QStringLiteral(" 代码:600001,名称:甲股份,涨幅:9.96%,换手率:17.128%,交易额:25.08亿"),
        kScanTimeoutMs);

    // Chart: the last 60 of the 70 bars.
    QTRY_VERIFY(!tabs->isLoading());
    QCOMPARE(candles->data()->size(), 60);
    QCOMPARE(countRequests(m_server, klinePath()), 1);

    // Seats: buying and selling sides each numbered from 1; no summary row.
    QTableWidget* seats = tabs->seatTable()->table();
    const QMap<QString, QString> numbers = {{"甲证券上海一路", "1"}, {"甲证券深圳二路", "2"},
                                            {"甲证券杭州三路", "3"}, {"机构专用", "4"},
                                            {"甲证券北京五路", "5"}, {"甲证券广州六路", "1"},
                                            {"甲证券成都七路", "2"}};
    QCOMPARE(seats->rowCount(), numbers.size());
    QMap<QString, QString> shown;
    QMap<QString, QString> nets;
    for (int r = 0; r < seats->rowCount(); ++r) {
        shown.insert(seats->item(r, 1)->text(), seats->item(r, 0)->text());
        nets.insert(seats->item(r, 1)->text(), seats->item(r, 5)->text());
    }
    QCOMPARE(shown, numbers);
    QCOMPARE(nets.value("甲证券上海一路"), QStringLiteral("250.9"));
    QCOMPARE(nets.value("甲证券广州六路"), QStringLiteral("-300"));

    // News: the two items of the first page.
    QTableWidget* news = tabs->newsTable()->table();
    QCOMPARE(news->rowCount(), 2);
    QSet<QString> items;
    for (int r = 0; r < news->rowCount(); ++r)
        items << QStringList{news->item(r, 0)->text(), news->item(r, 1)->text(),
                             news->item(r, 2)->text()}
                     .join('|');
    QCOMPARE(items,
             (QSet<QString>{"sh600001|甲股份：关于重大合同的公告|2017-10-09 15:30:02",
                            "sh600001|甲股份龙虎榜：机构净买入1,003万元|2017-10-08 09:12:45"}));

    // A stock listed for a run of days gets no seat request, so it can never
    // be shown: 600001's views go, and the line says why.
    clickRow(list, rowOfCode(list, "000006"));
    QCOMPARE(m_widget->infoLabel()->text(),
             QStringLiteral(" 代码:000006,名称:己传媒,此类上榜不获取营业部数据"));
    QCOMPARE(candles->data()->size(), 0);
    QCOMPARE(seats->rowCount(), 0);
    QCOMPARE(news->rowCount(), 0);

    waitForScanEnd();
    if (QTest::currentTestFailed())
        return;

    // Progress: 100 after the lists, one value per seat page, 0 at the end.
    const QVector<QPair<int, int>> expectedEvents = {
        {5001, 0},  {5001, 33}, {5001, 66}, {5002, 100}, {5003, 0},  {5003, 12}, {5003, 25},
        {5003, 37}, {5003, 50}, {5003, 62}, {5003, 75},  {5003, 87}, {5004, 100}};
    QCOMPARE(m_recorder->events, expectedEvents);
    QCOMPARE(m_recorder->progress, (QVector<int>{100, 0, 12, 25, 37, 50, 62, 75, 87, 0}));
    QCOMPARE(m_widget->progressBar()->value(), 0);

    // Requests: 600001 is asked for once although listed for two reasons,
    // 000006 and 000007 never.
    QCOMPARE(countRequests(m_server, seatUrl("600001", kDay)), 1);
    QCOMPARE(countRequests(m_server, "000006"), 0);
    QCOMPARE(countRequests(m_server, "000007"), 0);
    // The seat seen on three pages keeps the link of the last page parsed (D's).
    QVERIFY(app->seatPageUrls().value("做T营业部").endsWith("/lhb/yyb/80000008.html"));

    // Recommendations: one per matching stock, in code order; 000005 matches
    // nothing and 600001 is recommended once although listed twice. 600002
    // would also match the last screen; the earlier screen's text wins.
    QListWidget* recommended = tabs->recommendView()->stockList();
    QStringList listed;
    for (int i = 0; i < recommended->count(); ++i)
        listed << recommended->item(i)->text();
    QCOMPARE(listed, (QStringList{"000003", "000004", "600001", "600002"}));
    const QMap<QString, QString> texts = {
        {"000003", "丙实业(000003)主力加仓买入,大力推荐"},
        {"000004", "丁能源(000004)优质营业部合力买入,值得推荐买入"},
        {"600001", "甲股份(600001)买入营业部均有不错收益率,值得推荐买入"},
        {"600002", "乙科技(600002)主力隔日做T买入,可以考虑介入"}};
    QCOMPARE(app->recommendations(), texts);
    for (int i = 0; i < recommended->count(); ++i) {
        QListWidgetItem* item = recommended->item(i);
        QTest::mouseClick(recommended->viewport(), Qt::LeftButton, Qt::NoModifier,
                          recommended->visualItemRect(item).center());
        QCOMPARE(tabs->recommendView()->analysisText()->toPlainText(), texts.value(item->text()));
    }

    // Showing the stock again within the scan takes the K-lines from the cache.
    clickRow(list, rowOfCode(list, "600002"));
    QCOMPARE(m_widget->infoLabel()->text(),
             QStringLiteral(" 代码:600002,名称:乙科技,涨幅:2.35%,换手率:5.5%,交易额:250万"));
    QCOMPARE(seats->rowCount(), 3);
    QTRY_VERIFY(!tabs->isLoading());
    QCOMPARE(countRequests(m_server, newsPath()), 2);
}

void TestScan::onlyTheLastSelectedStockIsShown() {
    // Right after the whole scan: the seats of D's entries are in, the
    // K-lines of 600001 and 600002 are cached, those of 000003 and 000004 not.
    StockListView* list = m_widget->stockList();
    LHBTabWidget* tabs = m_widget->tabs();
    m_server.setResponseDelayMs(300);
    // What the views showed just before the second click.
    QString info, chartTitle, newsNotice;
    int candles = -1, newsRows = -1;
    QStringList seatNames;
    const auto seatNamesOf = [](const QString& code) {
        QStringList names;
        for (const LHBUnit& unit : StockApplication::instance()->lhbSeats().value(kDay).value(code))
            if (!unit.name.isEmpty())
                names << unit.name;
        names.sort();
        return names;
    };
    bool secondClicked = false;
    const auto selectWhileLoading = [&](const QString& first, const QString& second) {
        // The second click comes while the first stock's data is on its way.
        secondClicked = false;
        QTimer::singleShot(100, this, [&, second] {
            info = m_widget->infoLabel()->text();
            chartTitle = tabs->chart()->titleText();
            candles = candlesOf(tabs->chart())->data()->size();
            newsNotice = tabs->newsTable()->notice();
            newsRows = tabs->newsTable()->table()->rowCount();
            QTableWidget* seats = tabs->seatTable()->table();
            seatNames.clear();
            for (int r = 0; r < seats->rowCount(); ++r)
                seatNames << seats->item(r, 1)->text();
            seatNames.sort();
            clickRow(list, rowOfCode(list, second));
            secondClicked = true;
        });
        clickRow(list, rowOfCode(list, first));
        QVERIFY(QTest::qWaitFor([&] { return secondClicked && !tabs->isLoading(); }, 5000));
    };

    // During the first stock's K-lines: its line and seats at once, the chart
    // and news empty and loading; its late bars must not reach the chart.
    selectWhileLoading("000003", "000004");
    QVERIFY2(info.startsWith(QStringLiteral(" 代码:000003,")), qPrintable(info));
    QCOMPARE(seatNames, seatNamesOf("000003"));
    QCOMPARE(chartTitle, QStringLiteral("000003 加载中…"));
    QCOMPARE(candles, 0);
    QCOMPARE(newsNotice, QStringLiteral("000003 加载中…"));
    QCOMPARE(newsRows, 0);
    QVERIFY(m_widget->infoLabel()->text().startsWith(QStringLiteral(" 代码:000004,")));
    QVERIFY(tabs->chart()->windowTitle().endsWith(QStringLiteral("000004")));
    QCOMPARE(tabs->seatTable()->table()->rowCount(), 3);
    QCOMPARE(tabs->newsTable()->table()->rowCount(), 2);

    // During the first stock's news: its rows must not join the second's.
    selectWhileLoading("600001", "600002");
    QCOMPARE(seatNames, seatNamesOf("600001"));
    QCOMPARE(chartTitle, QStringLiteral("600001"));
    QCOMPARE(newsNotice, QStringLiteral("600001 加载中…"));
    QVERIFY(m_widget->infoLabel()->text().startsWith(QStringLiteral(" 代码:600002,")));
    QCOMPARE(tabs->newsTable()->notice(), QString());
    QVERIFY(tabs->chart()->windowTitle().endsWith(QStringLiteral("600002")));
    QCOMPARE(tabs->seatTable()->table()->rowCount(), 3);
    QCOMPARE(tabs->newsTable()->table()->rowCount(), 2);
    m_server.setResponseDelayMs(0);
}

QStringList TestScan::listMoreStocks(int first, int n, float change) {
    StockApplication* app = StockApplication::instance();
    QVector<Stock> stocks = app->dayStocks().value(kDay);
    QVector<LHBUnit> seats = app->lhbSeats().value(kDay).value(QStringLiteral("600001"));
    QStringList codes;
    for (int i = 0; i < n; ++i) {
        Stock stock;
        stock.code = QString::number(first + i);
        stock.name = QStringLiteral("名%1").arg(i);
        stock.date = kDay;
        stock.changePercent = change + float(i);
        stocks << stock;
        seats.first().name = stock.code + QStringLiteral("营业部");
        app->setLhbSeats(kDay, stock.code, seats);
        codes << stock.code;
    }
    app->setDayStocks(kDay, stocks);
    m_widget->updateStockList(stocks);
    m_server.setBuiltRoute(klinePath(), stockKLines, "application/json");
    m_server.setBuiltRoute(newsPath(), stockNews, "application/json");
    m_server.clearRequests();
    return codes;
}

void TestScan::checkShownAlone(const QString& code, const QStringList& passed) {
    LHBTabWidget* tabs = m_widget->tabs();
    QCOMPARE(highlighted(m_widget->stockList()), code);
    QVERIFY2(m_widget->infoLabel()->text().startsWith(QStringLiteral(" 代码:%1,").arg(code)),
             qPrintable(m_widget->infoLabel()->text()));
    QCOMPARE(tabs->seatTable()->table()->findItems(code + QStringLiteral("营业部"), Qt::MatchExactly).size(), 1);
    QCOMPARE(tabs->chart()->titleText(), code);
    QCPFinancial* candles = candlesOf(tabs->chart());
    QCOMPARE(candles->data()->size(), 60);
    QCOMPARE(float((candles->data()->constEnd() - 1)->close), priceOf(code));
    QTableWidget* news = tabs->newsTable()->table();
    QCOMPARE(tabs->newsTable()->notice(), QString());
    QCOMPARE(news->rowCount(), 1);
    QCOMPARE(news->item(0, 0)->text(), queryValue(StockNewsInterface().url(code), "symbol"));
    // A stock is fetched at most once per kind each time the highlight
    // lands on it, the last one's news once it has landed for good.
    for (const QString& stock : passed) {
        const QString kline = withMarketPrefix(stock) + QLatin1Char(',');
        const QString symbol =
            QStringLiteral("symbol=") + queryValue(StockNewsInterface().url(stock), "symbol");
        int klines = 0;
        int newsItems = 0;
        for (const QString& request : m_server.requests()) {
            const QString target = QUrl::fromPercentEncoding(request.toLatin1());
            klines += target.contains(klinePath()) && target.contains(kline) ? 1 : 0;
            newsItems += target.contains(newsPath()) && target.contains(symbol) ? 1 : 0;
        }
        const int visits = passed.count(stock);
        QVERIFY2(klines <= visits && newsItems <= visits && (stock != code || newsItems >= 1),
                 qPrintable(QStringLiteral("%1, landed on %2 times: %3 K-line and %4 news requests")
                                .arg(stock).arg(visits).arg(klines).arg(newsItems)));
    }
}

void TestScan::quickMovesEndOnTheLastPick_data() {
    // Moves: cN and rN a left and a right click on the Nth new stock, d and
    // u the arrow keys, e Ctrl+End, gN-M a drag from one to another, s a
    // sort by 涨幅; gapMs apart, while the replies come 0.2 to 0.8 s late
    // and out of order.
    QTest::addColumn<QString>("moves");
    QTest::addColumn<int>("gapMs");
    QTest::newRow("two downs") << "c0 d d" << 200;
    QTest::newRow("down then a click") << "c0 d c5" << 150;
    QTest::newRow("ten downs and ups") << "c4 d u d u d u d u d u" << 80;
    QTest::newRow("eight quick downs") << "c0 d d d d d d d d" << 60;
    QTest::newRow("right click, drag, end") << "r1 d g2-5 e u" << 150;
    QTest::newRow("sorted by change") << "c2 s d d" << 150;
}

void TestScan::quickMovesEndOnTheLastPick() {
    QFETCH(QString, moves);
    QFETCH(int, gapMs);
    static int block = 0;
    ++block;
    // Each row's stocks are new, so their K-lines are fetched; a later
    // row's stocks change most, so a sort puts them first.
    const QStringList codes = listMoreStocks(601000 + 20 * block, 10, 100.0f * block);
    StockListView* list = m_widget->stockList();
    QWidget* port = list->viewport();
    m_server.setResponseDelaysMs({350, 200, 800, 250});
    QString expected;
    QStringList passed;
    QStringList problems;
    const auto rectOf = [&](const QString& code) {
        return list->visualItemRect(list->item(rowOfCode(list, code), 1));
    };
    const auto move = [&](const QString& step) {
        const int at = rowOfCode(list, expected);
        switch (step.at(0).toLatin1()) {
        case 'c':
            expected = codes.at(step.mid(1).toInt());
            clickRow(list, rowOfCode(list, expected));
            break;
        case 'r':
            expected = codes.at(step.mid(1).toInt());
            list->scrollToItem(list->item(rowOfCode(list, expected), 0));
            QTest::mouseClick(port, Qt::RightButton, {}, rectOf(expected).center());
            break;
        case 'd':
        case 'u':
            expected = list->item(at + (step == "d" ? 1 : -1), 0)->text();
            QTest::keyClick(list, step == "d" ? Qt::Key_Down : Qt::Key_Up);
            break;
        case 'e':
            expected = list->item(list->rowCount() - 1, 0)->text();
            QTest::keyClick(list, Qt::Key_End, Qt::ControlModifier);
            break;
        case 'g': {
            const QString from = codes.at(step.mid(1, 1).toInt());
            expected = codes.at(step.mid(3, 1).toInt());
            list->scrollToItem(list->item(rowOfCode(list, from), 0), QAbstractItemView::PositionAtTop);
            QTest::mousePress(port, Qt::LeftButton, {}, rectOf(from).center());
            QMouseEvent drag(QEvent::MouseMove, rectOf(expected).center(), Qt::NoButton,
                             Qt::LeftButton, {});
            QApplication::sendEvent(port, &drag);
            QTest::mouseRelease(port, Qt::LeftButton, {}, rectOf(expected).center());
            break;
        }
        case 's':
            list->sortItems(2, Qt::DescendingOrder);
            break;
        }
        if (passed.isEmpty() || passed.last() != expected)
            passed << expected;
        // Every move takes at once and leaves its row in sight.
        if (highlighted(list) != expected || !rowInSight(list, expected))
            problems << QStringLiteral("%1: %2 highlighted, %3 asked for").arg(step, highlighted(list), expected);
    };
    // Each move comes from the event loop, as the user's would, whatever is
    // running then.
    const QStringList steps = moves.split(QLatin1Char(' '));
    int done = 0;
    for (int i = 0; i < steps.size(); ++i)
        QTimer::singleShot(i * gapMs, this, [&, i] {
            move(steps.at(i));
            ++done;
        });
    QVERIFY(QTest::qWaitFor([&] { return done == steps.size(); }, 60000));
    QVERIFY(QTest::qWaitFor([&] { return !m_widget->tabs()->isLoading(); }, 10000));
    QTest::qWait(600); // a passed stock's late reply would be in by now
    m_server.setResponseDelaysMs({});
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
    list->sortItems(0, Qt::AscendingOrder);
    checkShownAlone(expected, passed);
}

void TestScan::quickClicksKeepThreadsFlat() {
    // 30 clicks 50 ms apart while every reply takes 0.8 s: at most one
    // request per view is in flight, so no thread is added per click.
    const QStringList codes = listMoreStocks(602000, 30, 0.0f);
    StockListView* list = m_widget->stockList();
    m_server.setResponseDelayMs(800);
    const int before = threadCount();
    int most = before;
    int done = 0;
    for (int i = 0; i < codes.size(); ++i)
        QTimer::singleShot(50 * i, this, [&, i] {
            clickRow(list, rowOfCode(list, codes.at(i)));
            most = qMax(most, threadCount());
            ++done;
        });
    QVERIFY(QTest::qWaitFor([&] { return done == codes.size(); }, 60000));
    QVERIFY(QTest::qWaitFor([&] { return !m_widget->tabs()->isLoading(); }, 10000));
    m_server.setResponseDelayMs(0);
    QVERIFY2(most <= before + 2, qPrintable(QStringLiteral("%1 threads, then %2").arg(before).arg(most)));
    checkShownAlone(codes.last(), codes);
}

void TestScan::pressEndedAnyWayIsFollowed_data() {
    // A dialog opened from a reply takes the release, or none comes at all.
    QTest::addColumn<QString>("ending");
    QTest::addColumn<int>("button");
    QTest::newRow("released over another window") << "elsewhere" << int(Qt::LeftButton);
    QTest::newRow("history dialog") << "dialog" << int(Qt::LeftButton);
    QTest::newRow("history failure box") << "box" << int(Qt::LeftButton);
    QTest::newRow("right button, history dialog") << "dialog" << int(Qt::RightButton);
    QTest::newRow("window deactivated") << "deactivated" << int(Qt::LeftButton);
    QTest::newRow("window hidden") << "hidden" << int(Qt::LeftButton);
}

void TestScan::pressEndedAnyWayIsFollowed() {
    QFETCH(QString, ending);
    QFETCH(int, button);
    static int block = 0;
    const QStringList codes = listMoreStocks(603000 + 10 * block++, 3, 0.0f);
    StockListView* list = m_widget->stockList();
    clickRow(list, rowOfCode(list, codes.at(0)));
    QTRY_VERIFY(!m_widget->tabs()->isLoading());
    const QPoint at = list->visualItemRect(list->item(rowOfCode(list, codes.at(1)), 1)).center();
    QTimer poll; // a dialog runs its own loop: it is closed from inside that
    connect(&poll, &QTimer::timeout, this, [&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            if (ending == "dialog")
                QTest::mouseRelease(m_widget->windowHandle(), Qt::MouseButton(button), {},
                                    list->viewport()->mapTo(m_widget, at));
            dialog->reject();
        }
    });
    if (ending == "dialog" || ending == "box") {
        const LHBUnit seat =
            StockApplication::instance()->lhbSeats().value(kDay).value(codes.at(0)).first();
        m_server.setRoute(seatHistoryUrl(seatCodeFromLink(seat.url)), "[{\"TDate\":\"2017\"}]",
                          ending == "box" ? 404 : 200);
        m_server.setResponseDelayMs(300);
        m_widget->tabs()->seatTable()->onClick(0, 1);
        m_widget->tabs()->seatTable()->showHistoryList();
        poll.start(20);
    }
    QTest::mousePress(list->viewport(), Qt::MouseButton(button), {}, at);
    QWidget elsewhere;
    if (ending == "elsewhere") {
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(), Qt::MouseButton(button), {}, {});
        QApplication::sendEvent(&elsewhere, &release);
    } else if (ending == "deactivated") {
        QApplication::setActiveWindow(m_widget);
        QApplication::setActiveWindow(&elsewhere);
    } else if (ending == "hidden") {
        m_widget->hide();
        m_widget->show();
    }
    // Followed without another move, and so is every move after it.
    const QString line = QStringLiteral(" 代码:%1,").arg(codes.at(1));
    QTRY_VERIFY(m_widget->infoLabel()->text().startsWith(line) && !m_widget->tabs()->isLoading());
    m_server.setResponseDelayMs(0);
    checkShownAlone(codes.at(1), codes.mid(0, 2));
    QTest::keyClick(list, Qt::Key_Down);
    QTRY_VERIFY(!m_widget->tabs()->isLoading());
    checkShownAlone(codes.at(2), codes);
}

void TestScan::infoLineIsOneLine_data() {
    addServiceTextRows();
}

void TestScan::infoLineIsOneLine() {
    QFETCH(QString, text);
    QFETCH(QString, shown);
    const int oneLine = m_widget->infoLabel()->sizeHint().height();
    Stock stock; // of D, with seats
    stock.code = QStringLiteral("600009");
    stock.name = text;
    StockApplication* app = StockApplication::instance();
    app->setDayStocks(kDay, QVector<Stock>{stock} + app->dayStocks().value(kDay));
    app->setLhbSeats(kDay, stock.code, {LHBUnit()});
    m_widget->onClickLHBList(stock.code);
    QCOMPARE(m_widget->infoLabel()->text(),
             QStringLiteral(" 代码:600009,名称:%1,涨幅:0%,换手率:0%,交易额:0万").arg(shown));
    QCOMPARE(m_widget->infoLabel()->sizeHint().height(), oneLine);
}

void TestScan::emptyDay() {
    // 2017-05-01 is a built-in holiday on a Monday; the service answers its
    // list, and the two days before it, with nothing.
    for (const char* day : {"2017-05-01", "2017-04-28", "2017-04-27"})
        m_server.setRoute(listUrl(QString::fromLatin1(day)), kEmptyList);
    // 扫描 is pressed while a stock of the last scan is loading, on the
    // chart's tab: the stock is dropped, and the answer comes forward.
    LHBTabWidget* tabs = m_widget->tabs();
    tabs->setCurrentWidget(tabs->chart());
    StockListView* list = m_widget->stockList();
    m_server.clearRequests();
    m_server.setResponseDelayMs(300);
    bool pressedWhileLoading = false;
    bool pressed = false;
    QTimer::singleShot(100, this, [this, &pressedWhileLoading, &pressed] {
        pressedWhileLoading = countRequests(m_server, klinePath()) == 1 &&
                              countRequests(m_server, newsPath()) == 0;
        startScan(QStringLiteral("2017-05-01"));
        pressed = true;
    });
    clickRow(list, rowOfCode(list, QStringLiteral("000005")));
    QTRY_VERIFY(pressed);
    QTest::qWait(400); // the dropped stock's reply would be in by now
    m_server.setResponseDelayMs(0);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(pressedWhileLoading);
    QCOMPARE(candlesOf(tabs->chart())->data()->size(), 0);
    QCOMPARE(tabs->seatTable()->table()->rowCount(), 0);
    QCOMPARE(m_widget->infoLabel()->text(), kNoStockInfo);
    QCOMPARE(countRequests(m_server, newsPath()), 0);
    QCOMPARE(m_widget->previousDay(), QStringLiteral("2017-04-28"));
    QCOMPARE(m_widget->dayBeforePrevious(), QStringLiteral("2017-04-27"));
    waitForScanEnd();
    if (QTest::currentTestFailed())
        return;

    QCOMPARE(m_widget->stockList()->rowCount(), 0);
    for (const char* day : {"2017-05-01", "2017-04-28", "2017-04-27"})
        QCOMPARE(countRequests(m_server, listUrl(QString::fromLatin1(day))), 1);
    const auto days = StockApplication::instance()->dayStocks();
    QCOMPARE(days.size(), 3);
    QVERIFY(days.contains("2017-05-01") && days.value("2017-05-01").isEmpty());

    // No list entries: no seat event, 5004 follows the 5002 handling.
    const QVector<QPair<int, int>> expectedEvents = {
        {5001, 0}, {5001, 33}, {5001, 66}, {5002, 100}, {5004, 100}};
    QCOMPARE(m_recorder->events, expectedEvents);
    QCOMPARE(m_recorder->progress, (QVector<int>{100, 0}));

    RecommandStockView* view = m_widget->tabs()->recommendView();
    QCOMPARE(tabs->currentWidget(), view);
    QCOMPARE(view->stockList()->count(), 0);
    QCOMPARE(
        view->analysisText()->toPlainText(),
        QStringLiteral("今日龙虎榜无选股,本龙虎榜深度分析系统不会每天推荐股票,请耐心等待介入时机"));
    QVERIFY(m_widget->scanButton()->isEnabled());
}

void TestScan::buttonComesBackWhenDayListIsLost() {
    // Should D's list be gone from the cache when the seats are in, there is
    // nothing to screen, but the scan is over: the button must come back.
    for (const char* day : {"2017-10-16", "2017-10-13", "2017-10-12"})
        m_server.setRoute(listUrl(QString::fromLatin1(day)), kEmptyList);
    startScan(QStringLiteral("2017-10-16"));
    if (QTest::currentTestFailed())
        return;
    QTRY_COMPARE_WITH_TIMEOUT(m_recorder->events.size(), 4, kScanTimeoutMs); // up to 5002
    StockApplication::instance()->clearCaches();
    QVERIFY(!StockApplication::instance()->dayStocks().contains("2017-10-16"));
    waitForScanEnd();
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(m_recorder->events.last(), qMakePair(5004, 100));
    QCOMPARE(m_widget->progressBar()->value(), 0);
    QVERIFY(m_widget->scanButton()->isEnabled());
}

void TestScan::listRowsReadAsMeant() {
    // Codes that are not six digits and days that are no day never reach a
    // request, the list or the notice; the notice counts the rows without
    // a code. Texts sent as JSON escapes read as the characters they stand
    // for, so the margin-trading run is left out; figures that are no
    // number show "-"; 600009 listed under a second name shows that name.
    // D-2 comes empty, as an unknown holiday does: the notice names it.
    const QString day = QStringLiteral("2017-11-01");
    QStringList rows{
        listRow(QStringLiteral("600009"), day),
        listRow(QStringLiteral("600010"), QStringLiteral("..x?y=1")),
        QStringLiteral("{\"SCode\":\"600009\",\"SName\":\"\\u4e59\",\"Chgradio\":\"--\","
                       "\"Dchratio\":\"N/A\",\"Turnover\":\"5,555,000.00\",\"Tdate\":\"%1\","
                       "\"Ctypedes\":\"\\u65e5\\u6362\\u624b\\u7387\"}")
            .arg(day),
        QStringLiteral("{\"SCode\":\"600008\",\"SName\":\"\\u4e01\",\"Tdate\":\"%1\","
                       "\"Ctypedes\":\"\\u878d\\u8d44\\u8fde\\u7eed\"}")
            .arg(day)};
    for (const char* code : {"", "12345", "60000A", "../600009"})
        rows << listRow(QString::fromLatin1(code), day);
    m_server.setRoute(listUrl(day), listReply(rows, 1));
    // A day said to have no pages that holds rows is no list.
    m_server.setRoute(
        listUrl(QStringLiteral("2017-10-31")),
        listReply({listRow(QStringLiteral("600011"), QStringLiteral("2017-10-31"))}, 0));
    m_server.setRoute(listUrl(QStringLiteral("2017-10-30")), kEmptyList);
    m_server.setRoute(seatUrl(QStringLiteral("600009"), day),
                      toGbk(fixtureText(QStringLiteral("scan/seats-2017-10-09-600001.html"))));
    scanToEnd(day);
    if (QTest::currentTestFailed())
        return;
    StockListView* list = m_widget->stockList();
    QCOMPARE(list->rowCount(), 2);
    QCOMPARE(countRequests(m_server, QStringLiteral("/stock/lhb,")), 1);
    QCOMPARE(countRequests(m_server, QStringLiteral("..x")), 0);
    QCOMPARE(
        m_widget->tabs()->recommendView()->analysisText()->toPlainText(),
        QStringLiteral("2017-10-31 龙虎榜数据获取失败（回复不是预期的格式），选股结果可能不完整\n"
                       "2017-10-30 没有龙虎榜数据，可能是非交易日，可在设置中添加\n"
                       "4 条龙虎榜记录的股票代码无效，已略去"));
    const int second = list->item(0, 1)->text() == QStringLiteral("乙") ? 0 : 1;
    QCOMPARE(list->item(second, 1)->text(), QStringLiteral("乙"));
    QCOMPARE(list->item(second, 2)->text(), QStringLiteral("-"));
    QCOMPARE(list->item(second, 3)->text(), QStringLiteral("日换手率"));
    clickRow(list, second);
    QCOMPARE(m_widget->infoLabel()->text(),
             QStringLiteral(" 代码:600009,名称:乙,涨幅:-%,换手率:-%,交易额:555.5万"));
    clickRow(list, 1 - second);
    QVERIFY(m_widget->infoLabel()->text().startsWith(QStringLiteral(" 代码:600009,名称:甲,")));
    // A key back onto the other row shows its name, and asks for nothing again.
    QTRY_VERIFY(!m_widget->tabs()->isLoading());
    const QStringList asked = m_server.requests();
    QTest::keyClick(list, second ? Qt::Key_Down : Qt::Key_Up);
    QVERIFY(m_widget->infoLabel()->text().startsWith(QStringLiteral(" 代码:600009,名称:乙,")));
    QTRY_VERIFY(!m_widget->tabs()->isLoading());
    QCOMPARE(m_server.requests(), asked);
}

void TestScan::longDayListReadWhole() {
    // D's list has two pages, which join in order, the second repeating a
    // row of the first; 600011's seat page reads, 600012's has its total
    // line but no seat row that reads. D-1's second page fails, so D-1 is a
    // failed day, not a shorter one; D-2's page holds more rows than asked.
    const QString day = QStringLiteral("2017-11-08");
    const QString day1 = QStringLiteral("2017-11-07");
    const QString day2 = QStringLiteral("2017-11-06");
    const QString first = listRow(QStringLiteral("600011"), day);
    m_server.setRoute(listUrl(day), listReply({first}, 2));
    m_server.setRoute(EastmoneyLHBListInterface::pageUrl(day, 2),
                      listReply({first, listRow(QStringLiteral("600012"), day)}, 2));
    const QString seats = fixtureText(QStringLiteral("scan/seats-2017-10-09-600001.html"));
    m_server.setRoute(seatUrl(QStringLiteral("600011"), day), toGbk(seats));
    m_server.setRoute(seatUrl(QStringLiteral("600012"), day),
                      toGbk(QString(seats).remove(QRegularExpression(
                          QStringLiteral("<tr>.*?</tr>"),
                          QRegularExpression::DotMatchesEverythingOption))));
    m_server.setRoute(listUrl(day1), listReply({listRow(QStringLiteral("600013"), day1)}, 2));
    m_server.setRoute(EastmoneyLHBListInterface::pageUrl(day1, 2), QByteArray("error"), 502);
    QStringList tooMany;
    for (int i = 0; i <= EastmoneyLHBListInterface::kRowsPerPage; ++i)
        tooMany << listRow(QString::number(600100 + i), day2);
    m_server.setRoute(listUrl(day2), listReply(tooMany, 1));
    scanToEnd(day);
    if (QTest::currentTestFailed())
        return;
    const auto days = StockApplication::instance()->dayStocks();
    QStringList codes;
    for (const Stock& stock : days.value(day))
        codes << stock.code;
    QCOMPARE(codes, (QStringList{"600011", "600012"}));
    QVERIFY(days.value(day1).isEmpty() && days.value(day2).isEmpty());
    QCOMPARE(countRequests(m_server, QStringLiteral("page=2,")), 2);
    QCOMPARE(countRequests(m_server, seatUrl(QStringLiteral("600011"), day)), 1);
    const QString text = m_widget->tabs()->recommendView()->analysisText()->toPlainText();
    QCOMPARE(text.split(QLatin1Char('\n')),
             QStringList({day1 + QStringLiteral(" 龙虎榜数据获取失败（服务器返回错误 502），选股结果可能不完整"),
                          day2 + QStringLiteral(" 龙虎榜数据获取失败（回复不是预期的格式），选股结果可能不完整"),
                          QStringLiteral("1 只股票的营业部数据获取失败（回复不是预期的格式）：600012")}));
    clickRow(m_widget->stockList(), rowOfCode(m_widget->stockList(), QStringLiteral("600012")));
    QVERIFY(m_widget->infoLabel()->text().endsWith(QStringLiteral(",营业部数据获取失败")));
}

void TestScan::failedFetchesAreSaid() {
    // Runs last: it breaks routes that the scans above rely on.
    QTextEdit* text = m_widget->tabs()->recommendView()->analysisText();

    // D arrives; D-1 is an error page, D-2 unknown to the service (404), and
    // one of D's seat pages fails: the screens run on the rest, and the view
    // says what is missing.
    m_server.setRoute(listUrl(QStringLiteral("2017-10-05")),
                      toGbk(QStringLiteral("<html><body>服务暂不可用</body></html>")), 502);
    m_server.setRoute(seatUrl(QStringLiteral("000003"), QStringLiteral("2017-10-06")),
                      QByteArray("error"), 500);
    startScan(QStringLiteral("2017-10-06"));
    if (QTest::currentTestFailed())
        return;
    // 000003 is highlighted before the seat phase reaches it: its failure is
    // said without another click.
    QTRY_COMPARE_WITH_TIMEOUT(m_widget->stockList()->rowCount(), 2, kScanTimeoutMs);
    clickRow(m_widget->stockList(), rowOfCode(m_widget->stockList(), "000003"));
    QVERIFY(m_widget->infoLabel()->text().endsWith(QStringLiteral("尚未获取，扫描进行中")));
    waitForScanEnd();
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(m_recorder->events.last(), qMakePair(5004, 100));
    const QString notice =
        QStringLiteral("2017-10-05 龙虎榜数据获取失败（服务器返回错误 502），选股结果可能不完整\n"
                       "2017-10-04 龙虎榜数据获取失败（服务器返回错误 404），选股结果可能不完整\n"
                       "1 只股票的营业部数据获取失败（服务器返回错误 500）：000003");
    QCOMPARE(text->toPlainText(), notice);
    QCOMPARE(m_widget->infoLabel()->text(), QStringLiteral(" 代码:000003,名称:丙实业,营业部数据获取失败"));

    // D's answer is no list at all: the scan ends at once, saying so, and
    // asks for no further list nor any seats.
    m_server.setRoute(listUrl(QStringLiteral("2017-10-10")),
                      toGbk(QStringLiteral("<html><body>系统维护中</body></html>")));
    startScan(QStringLiteral("2017-10-10"));
    if (QTest::currentTestFailed())
        return;
    waitForScanEnd();
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(m_widget->stockList()->rowCount(), 0);
    QCOMPARE(m_recorder->events.last(), qMakePair(5002, 100));
    QCOMPARE(m_server.requestCount(), 1);
    QCOMPARE(text->toPlainText(),
             QStringLiteral("2017-10-10 龙虎榜数据获取失败（回复不是预期的格式），请稍后重新扫描"));
}

void TestScan::endlessAndCutOffRepliesFail() {
    // D's one entry has a seat page that never ends; D-1's list stops
    // half-way, after a whole row, in a 200 reply; D-2's list never ends.
    const QString day = QStringLiteral("2017-10-20");
    const QString day1 = QStringLiteral("2017-10-19");
    const QString day2 = QStringLiteral("2017-10-18");
    const QString code = QStringLiteral("600009");
    const QString listHead =
        QStringLiteral("var data_tab_1={\"success\":true,\"pages\":1,\"data\":[");
    m_server.setRoute(listUrl(day), listReply({listRow(code, day)}, 1));
    m_server.setEndlessRoute(seatUrl(code, day),
                             QByteArray("<html><body><table>"),
                             QByteArray("<tr><td>1</td><td>x</td></tr>"));
    m_server.setRoute(listUrl(day1), toGbk(listHead + listRow(code, day1) + ','));
    m_server.setEndlessRoute(listUrl(day2), listHead.toLatin1(), toGbk(listRow(code, day2) + ','));

    scanToEnd(day);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(m_recorder->events.last(), qMakePair(5004, 100));
    QCOMPARE(countRequests(m_server, seatUrl(code, day)), 1);
    QCOMPARE(m_widget->stockList()->rowCount(), 1);
    // The cut-off day is missing, not shorter.
    QVERIFY(StockApplication::instance()->dayStocks().value(day1).isEmpty());
    const QString text = m_widget->tabs()->recommendView()->analysisText()->toPlainText();
    QVERIFY2(text.contains(QStringLiteral("%1 龙虎榜数据获取失败（回复不完整），选股结果可能不完整").arg(day1)),
             qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("%1 龙虎榜数据获取失败（回复过长），选股结果可能不完整").arg(day2)),
             qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("营业部数据获取失败（回复过长）")), qPrintable(text));
    // Each endless reply was given up at its bound, not kept.
    const long peak = peakResidentKiB();
    QVERIFY(peak > 0);
    QVERIFY2(peak < peakResidentBoundKiB(400), qPrintable(QStringLiteral("peak %1 KiB").arg(peak)));
}

void TestScan::longListFilledInTurns() {
    // A list far longer than any real day's: the window turns while it is
    // filled, and every row comes, in code order.
    QVector<Stock> stocks(2500);
    for (int i = 0; i < stocks.size(); ++i)
        stocks[i].code = QString::number(602500 - i);
    m_widget->updateStockList(stocks);
    StockListView* list = m_widget->stockList();
    QVERIFY(list->rowCount() < stocks.size());
    QTRY_COMPARE(list->rowCount(), stocks.size());
    for (int r = 0; r < list->rowCount(); ++r)
        QCOMPARE(list->item(r, 0)->text(), QString::number(600001 + r));
}

VESK_STOCKAPP_TEST_MAIN(TestScan)

#include "tst_scan.moc"
