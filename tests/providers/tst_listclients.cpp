// The list clients of the services beside the scan's (Tencent's list-seat
// script, Sina's day list page) and Sina's financial-results client. Replies
// are served GBK-encoded by a local server that stands in for the real hosts
// (as an HTTP proxy) and fetched at the clients' own URLs.

#include "core/providers/qqlhbdatainterface.h"
#include "core/providers/sinaachievementinterface.h"
#include "core/providers/sinalhbstocklistinterface.h"

#include "tests/support/fixtures.h"
#include "tests/support/hostileinputs.h"
#include "tests/support/proxyfetch.h"
#include "tests/support/testhttpserver.h"

#include <QRandomGenerator>
#include <QTest>

#include <limits>
#include <QTextCodec>

namespace {

// A stock row of the list page from its eight cell contents.
QString listRow(const QStringList& cells) {
    QString row = QStringLiteral("<tr>");
    for (const QString& cell : cells)
        row += QStringLiteral("<td>") + cell + QStringLiteral("</td>");
    return row + QStringLiteral("</tr>");
}

QStringList stockCells(const QString& code, const QString& name) {
    return {QStringLiteral("1"),
            QStringLiteral("<a href=\"/x?q=") + code + QStringLiteral("\" target=\"_blank\">") +
                code + QStringLiteral("</a>"),
            QStringLiteral("<a href=\"/y\" target=\"_blank\">") + name + QStringLiteral("</a>"),
            QStringLiteral("10.5"),
            QStringLiteral("5"),
            QStringLiteral("100"),
            QStringLiteral("2000"),
            QStringLiteral("<a onclick=\"show('") + code +
                QStringLiteral("','2017-09-29',this)\">查看</a>")};
}

QString headerRow(const QString& reason) {
    return QStringLiteral("<tr class=\"head\"><td colspan=\"8\"><span>") + reason +
           QStringLiteral("</span></td></tr>");
}

QString listPage(const QStringList& rows) {
    return QStringLiteral("<html><body><table class=\"list_table\" id=\"dataTable\">") +
           rows.join(QLatin1Char('\n')) +
           QStringLiteral("</table><div class=\"pages\"></div></body></html>");
}

// A company row of the results table: the code and name cells in the page's
// layout, then the given value cells.
QString resultsRow(const QString& code, const QString& name, const QStringList& values) {
    QString row = QStringLiteral("<tr><td style=\"width:70px;\"><span><a href=\"/c\" "
                                 "target=\"_blank\">") +
                  code +
                  QStringLiteral("</a></span></td><td><span><a href=\"/c\" target=\"_blank\">") +
                  name + QStringLiteral("</a></span></td>");
    for (const QString& value : values)
        row += QStringLiteral("<td>") + value + QStringLiteral("</td>");
    return row + QStringLiteral("<td><a href=\"/d\" target=\"_blank\">详细</a></td></tr>");
}

QStringList nineValues() {
    return {"1.49", "10.37", "19.06", "8.13", "-4.83", "3758700.00", "11.34", "--", "2017-08-19"};
}

QString resultsPage(const QStringList& rows) {
    return QStringLiteral("<html><body><table><thead><tr><td>代码</td></tr></thead><tbody>") +
           rows.join(QLatin1Char('\n')) +
           QStringLiteral("</tbody></table><div class=\"clear\"></div></body></html>");
}

QStringList codesOf(const QVector<Stock>& stocks) {
    QStringList codes;
    for (const Stock& stock : stocks)
        codes << stock.code;
    return codes;
}

QStringList valuesOf(const StringMapRows& rows, const QString& key) {
    QStringList values;
    for (const auto& row : rows)
        values << row.value(key);
    return values;
}

} // namespace

class TestListClients final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void seatUrls_data();
    void seatUrls();
    void seatsFetched();
    void seatShapes_data();
    void seatShapes();

    void listPageUrls_data();
    void listPageUrls();
    void listPageFetched();
    void listPageSections();
    void listRows_data();
    void listRows();
    void listPageWithoutTable_data();
    void listPageWithoutTable();

    void resultsUrls();
    void resultsFetched();
    void resultsCells_data();
    void resultsCells();
    void resultsWithoutTable_data();
    void resultsWithoutTable();

    void hostileTexts();
    void foreignRealReplies();

private:
    TestHttpServer m_server;
};

void TestListClients::initTestCase() {
    QVERIFY(m_server.listenAsApplicationProxy());
}

void TestListClients::cleanupTestCase() {
    TestHttpServer::removeApplicationProxy();
}

// ---- Tencent list seats ---------------------------------------------------

void TestListClients::seatUrls_data() {
    QTest::addColumn<QStringList>("params");
    QTest::addColumn<QStringList>("expected");
    const QString base = QStringLiteral("http://stock.finance.qq.com/cgi-bin/sstock/q_lhb_xx_js?");
    QTest::newRow("code and day") << QStringList{"600036,2017-09-29"}
                                  << QStringList{base + "c=600036&b=20170929&l=070001"};
    QTest::newRow("code alone, three parts, empty: no URL")
        << QStringList{"600036", "600036,2017-09-29,x", "", "000001,2017-10-09"}
        << QStringList{base + "c=000001&b=20171009&l=070001"};
    QTest::newRow("every dash removed") << QStringList{"002460,2017-10-09", "300750,20171009"}
                                        << QStringList{base + "c=002460&b=20171009&l=070001",
                                                       base + "c=300750&b=20171009&l=070001"};
    QTest::newRow("none") << QStringList() << QStringList();
}

void TestListClients::seatUrls() {
    QFETCH(QStringList, params);
    QFETCH(QStringList, expected);
    QQLHBDataInterface client;
    QCOMPARE(client.urls(params), expected);
}

void TestListClients::seatsFetched() {
    QQLHBDataInterface client;
    const QString url = client.urls({QStringLiteral("600036,2017-09-29")}).value(0);
    const QString fixture = fixtureText(QStringLiteral("providers/qq-lhb-600036-20170929.js"));
    const QString text = fetchGbkViaProxy(m_server, url, fixture);
    QCOMPARE(text, fixture);

    const QVector<LHBUnit> units = client.parse(text, QString());
    QCOMPARE(units.size(), 6);
    const QList<int> sides{1, 1, 1, 2, 2, 2}; // the last one's "b" is not "B"
    const QStringList names{"机构专用",
                            "中信证券股份有限公司上海溧阳路证券营业部",
                            "华泰证券股份有限公司深圳益田路荣超商务中心证券营业部",
                            "机构专用",
                            "国泰君安证券股份有限公司上海江苏路证券营业部",
                            "招商证券股份有限公司深圳蛇口工业七路证券营业部"};
    // Yuan in the reply, ten thousands in the records.
    // The last seat's empty amount is none, not 0.
    const QList<float> bought{12345.6789f, 4567.89f, 3000.0f,
                              0.0f,        250.0f,   std::numeric_limits<float>::quiet_NaN()};
    const QList<float> sold{0.0f, 123.45f, 0.0f, 9876.5432f, 5600.0f, 4100.0f};
    for (int i = 0; i < units.size(); ++i) {
        const LHBUnit& unit = units.at(i);
        QCOMPARE(unit.side, sides.at(i));
        QCOMPARE(unit.name, names.at(i));
        QCOMPARE(unit.buyAmount, bought.at(i));
        QCOMPARE(unit.sellAmount, sold.at(i));
        // Nothing else is in the reply.
        QVERIFY(unit.url.isEmpty() && unit.times.isEmpty() && unit.buyShare.isEmpty());
        QCOMPARE(unit.netAmount, 0.0f);
        QCOMPARE(unit.rate, 0.0f);
    }
}

void TestListClients::seatShapes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<int>>("sides");
    QTest::newRow("unquoted, seven and nine values skipped")
        << QStringLiteral("x=[[1,2,B,4,5,A,10000,0],[1,2,B,4,5,B7,1],[1,2,S,4,5,C,1,2,3],"
                          "[1,2,S,4,5,D,0,20000]];")
        << QStringList{"A", "D"} << QList<int>{1, 2};
    QTest::newRow("side of any other text is selling")
        << QStringLiteral("[[1,2,b,4,5,a,0,0],[1,2, B,4,5,c,0,0],[1,2,,4,5,d,0,0],"
                          "[1,2,\"B\",4,5,e,0,0]]")
        << QStringList{"a", "c", "d", "e"} << QList<int>{2, 2, 2, 1};
    // Everything from the first "[[" to the last "]]" is one array: the
    // stray brackets stay in the first and last values, which are not read.
    QTest::newRow("two arrays read as one")
        << QStringLiteral("[[1,2,B,4,5,a,0,0]],[[1,2,S,4,5,b,0,0]]") << QStringList{"a", "b"}
        << QList<int>{1, 2};
    QTest::newRow("JSON escapes decoded")
        << QStringLiteral(
               "var a=[[\"1\",\"2\",\"B\",\"4\",\"5\",\"\\u673a\\u6784\\\"\\/\",\"1\",\"0\"]];")
        << QStringList{"机构\"/"} << QList<int>{1};
    QTest::newRow("empty array") << QStringLiteral("var a=[[]];") << QStringList() << QList<int>();
    QTest::newRow("no [[") << QStringLiteral("[1,2,B,4,5,a,0,0]]") << QStringList() << QList<int>();
    QTest::newRow("no ]]") << QStringLiteral("[[1,2,B,4,5,a,0,0]") << QStringList() << QList<int>();
    QTest::newRow("]] before [[") << QStringLiteral("]]1,2,B,4,5,a,0,0[[") << QStringList()
                                  << QList<int>();
    QTest::newRow("empty") << QString() << QStringList() << QList<int>();
}

void TestListClients::seatShapes() {
    QFETCH(QString, text);
    QFETCH(QStringList, names);
    QFETCH(QList<int>, sides);
    QQLHBDataInterface client;
    QStringList gotNames;
    QList<int> gotSides;
    for (const LHBUnit& unit : client.parse(text, QString())) {
        gotNames << unit.name;
        gotSides << unit.side;
    }
    QCOMPARE(gotNames, names);
    QCOMPARE(gotSides, sides);
}

// ---- Sina day list page ---------------------------------------------------

void TestListClients::listPageUrls_data() {
    QTest::addColumn<QStringList>("dates");
    QTest::addColumn<QStringList>("expected");
    const QString page = QStringLiteral(
        "http://vip.stock.finance.sina.com.cn/q/go.php/vInvestConsult/kind/lhb/index.phtml");
    QTest::newRow("latest") << QStringList() << QStringList{page};
    QTest::newRow("one per day") << QStringList{"2017-10-09", "2017-09-29"}
                                 << QStringList{page + "?tradedate=2017-10-09",
                                                page + "?tradedate=2017-09-29"};
}

void TestListClients::listPageUrls() {
    QFETCH(QStringList, dates);
    QFETCH(QStringList, expected);
    SinaLHBStockListInterface client;
    QCOMPARE(client.urls(dates), expected);
}

void TestListClients::listPageFetched() {
    SinaLHBStockListInterface client;
    const QString url = client.urls({QStringLiteral("2017-10-09")}).value(0);
    const QString fixture = fixtureText(QStringLiteral("providers/sina-lhb-2017-10-09.html"));
    const QString text = fetchGbkViaProxy(m_server, url, fixture);
    QCOMPARE(text, fixture);

    const QVector<Stock> stocks = client.parse(text, QString());
    // 科大讯飞's row lacks two cells and is dropped.
    QCOMPARE(codesOf(stocks), (QStringList{"002460", "000591", "600703", "300750"}));
    const QStringList names{"赣锋锂业", "太阳能", "三安光电", "宁德时代"};
    const QStringList reasons{"日涨幅偏离值达7%的证券", "日涨幅偏离值达7%的证券",
                              "日跌幅偏离值达7%的证券", "日换手率达20%的证券"};
    const QList<float> closes{88.15f, 7.40f, 24.36f, 72.60f};
    const QList<float> volumes{2412.68f, 33896.33f, 9692.64f, 4552.50f};
    const QList<float> amounts{212674.53f, 250832.82f, 236112.85f, 330511.87f};
    for (int i = 0; i < stocks.size(); ++i) {
        const Stock& stock = stocks.at(i);
        QCOMPARE(stock.name, names.at(i));
        QCOMPARE(stock.typeText, reasons.at(i));
        QCOMPARE(stock.close, closes.at(i));
        QCOMPARE(stock.volume, volumes.at(i));
        QCOMPARE(stock.amount, amounts.at(i));
        QCOMPARE(stock.date, QStringLiteral("2017-10-09"));
        QVERIFY(stock.selected);
        QCOMPARE(stock.changePercent, 0.0f); // cell 4 is not read
    }
    QCOMPARE(client.currentType(), QStringLiteral("日换手率达20%的证券"));
}

void TestListClients::listPageSections() {
    // Stock rows before the page's first header carry the reason of the last
    // header read, from the page before; a new client has none.
    const QString continued =
        listPage({listRow(stockCells("000001", "平安银行")), headerRow(QStringLiteral("其它")),
                  listRow(stockCells("000002", "万科Ａ"))});
    SinaLHBStockListInterface fresh;
    QVector<Stock> stocks = fresh.parse(continued, QString());
    QCOMPARE(codesOf(stocks), (QStringList{"000001", "000002"}));
    QCOMPARE(stocks.at(0).typeText, QString());
    QCOMPARE(stocks.at(1).typeText, QStringLiteral("其它"));

    SinaLHBStockListInterface client;
    client.parse(fixtureText(QStringLiteral("providers/sina-lhb-2017-10-09.html")), QString());
    stocks = client.parse(continued, QString());
    QCOMPARE(stocks.at(0).typeText, QStringLiteral("日换手率达20%的证券"));
    QCOMPARE(stocks.at(1).typeText, QStringLiteral("其它"));
}

void TestListClients::listRows_data() {
    QTest::addColumn<QString>("row");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("type");

    const QStringList cells = stockCells(QStringLiteral("600036"), QStringLiteral("招商银行"));
    QTest::newRow("stock row") << listRow(cells) << true << "600036"
                               << "招商银行"
                               << "2017-09-29"
                               << "old";
    QTest::newRow("header") << headerRow(QStringLiteral(" 新原因 ")) << false << ""
                            << ""
                            << ""
                            << "新原因";
    QTest::newRow("header span in a stock row")
        << listRow(QStringList(cells).replaceInStrings("查看", "<span>查看</span>")) << false << ""
        << ""
        << ""
        << "查看";
    QTest::newRow("no _blank") << listRow(QStringList(cells).replaceInStrings("_blank", "_self"))
                               << false << ""
                               << ""
                               << ""
                               << "old";
    QTest::newRow("seven cells") << listRow(cells.mid(0, 7)) << false << ""
                                 << ""
                                 << ""
                                 << "old";
    QTest::newRow("nine cells") << listRow(cells + QStringList{"x"}) << false << ""
                                << ""
                                << ""
                                << "old";
    QStringList odd = cells;
    odd[1] = QStringLiteral("<a href=\"/x\" target=\"_blank\">600036</a>");
    odd[7] = QStringLiteral("详细 2017-09-29");
    // Without "q=" the code is what follows the cell's first character; without
    // "',this" the date is the cell's last ten characters.
    QTest::newRow("no q=, no ',this") << listRow(odd) << true << "td><a "
                                      << "招商银行"
                                      << "2017-09-29"
                                      << "old";
    QStringList blanks = cells;
    blanks[2] = QStringLiteral("<a href=\"/y\" target=\"_blank\"> 招商银行 </a>");
    QTest::newRow("name trimmed") << listRow(blanks) << true << "600036"
                                  << "招商银行"
                                  << "2017-09-29"
                                  << "old";
}

void TestListClients::listRows() {
    QFETCH(QString, row);
    QFETCH(bool, selected);
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QString, date);
    QFETCH(QString, type);
    SinaLHBStockListInterface client;
    client.parseRow(headerRow(QStringLiteral("old")));
    const Stock stock = client.parseRow(row);
    QCOMPARE(stock.selected, selected);
    QCOMPARE(stock.code, code);
    QCOMPARE(stock.name, name);
    QCOMPARE(stock.date, date);
    QCOMPARE(stock.typeText, type);
    QCOMPARE(client.currentType(), type);
    if (selected) {
        QCOMPARE(stock.close, 10.5f);
        QCOMPARE(stock.volume, 100.0f);
        QCOMPARE(stock.amount, 2000.0f);
    }
}

void TestListClients::listPageWithoutTable_data() {
    QTest::addColumn<QString>("text");
    const QString rows = headerRow(QStringLiteral("r")) + listRow(stockCells("600036", "招商银行"));
    QTest::newRow("no table") << QStringLiteral("<html>") + rows +
                                     QStringLiteral("<div class=\"pages\"></div></html>");
    QTest::newRow("no pages") << QStringLiteral("<table class=\"list_table\">") + rows +
                                     QStringLiteral("</table>");
    QTest::newRow("pages before table") << QStringLiteral("<div class=\"pages\"></div>"
                                                          "<table class=\"list_table\">") +
                                               rows;
    QTest::newRow("markers only") << QStringLiteral(
        "<table class=\"list_table<div class=\"pages\">");
    QTest::newRow("empty") << QString();
}

void TestListClients::listPageWithoutTable() {
    QFETCH(QString, text);
    SinaLHBStockListInterface client;
    QVERIFY(client.parse(text, QString()).isEmpty());
}

// ---- Sina financial results -----------------------------------------------

void TestListClients::resultsUrls() {
    SinaAchievementInterface client;
    const QStringList urls = client.urls({QStringLiteral("2017-06-30"), QStringLiteral("2")});
    QCOMPARE(urls.size(), 20);
    const QString base = QStringLiteral(
        "http://vip.stock.finance.sina.com.cn/q/go.php/vFinanceAnalyze/kbind/preformance/"
        "index.phtml?s_i=&s_a=&s_c=&reportdate=2017-06-30&quarter=2&p=%1&page=30");
    for (int i = 0; i < 20; ++i)
        QCOMPARE(urls.at(i), base.arg(i + 1));
    QVERIFY(urls.last().contains(QLatin1String("&p=20&")));

    // Too few parameters give the pages with empty values, not a crash.
    const QStringList bare = client.urls(QStringList());
    QCOMPARE(bare.size(), 20);
    QVERIFY(bare.first().contains(QLatin1String("reportdate=&quarter=&p=1&")));
    QVERIFY(client.urls({QStringLiteral("2017-06-30")})
                .first()
                .contains(QLatin1String("reportdate=2017-06-30&quarter=&p=1&")));
}

void TestListClients::resultsFetched() {
    SinaAchievementInterface client;
    const QString url = client.urls({QStringLiteral("2017-06-30"), QStringLiteral("2")}).value(0);
    const QString fixture =
        fixtureText(QStringLiteral("providers/sina-achievement-2017-06-30-q2-p1.html"));
    const QString text = fetchGbkViaProxy(m_server, url, fixture);
    QCOMPARE(text, fixture);

    const StringMapRows rows = client.parse(text, QString());
    // 读者传媒's row lacks its distribution cell (11 cells) and is skipped.
    QCOMPARE(valuesOf(rows, "code"), (QStringList{"600036", "000002", "002460"}));
    QCOMPARE(valuesOf(rows, "name"), (QStringList{"招商银行", "万科Ａ", "赣锋锂业"}));
    QCOMPARE(valuesOf(rows, "eps"), (QStringList{"1.49", "0.36", "0.89"}));
    QCOMPARE(valuesOf(rows, "eps_r"), (QStringList{"10.37", "-20.00", "218.48"}));
    QCOMPARE(valuesOf(rows, "navps"), (QStringList{"19.06", "11.01", "8.57"}));
    QCOMPARE(valuesOf(rows, "roe"), (QStringList{"8.13", "3.22", "10.64"}));
    QCOMPARE(valuesOf(rows, "cps"), (QStringList{"-4.83", "-0.56", "0.12"}));
    QCOMPARE(valuesOf(rows, "netprofit"), (QStringList{"3758700.00", "396662.68", "66358.31"}));
    QCOMPARE(valuesOf(rows, "netprofit_percent"), (QStringList{"11.34", "-20.26", "262.15"}));
    QCOMPARE(valuesOf(rows, "date"), (QStringList{"2017-08-19", "2017-08-22", "2017-08-08"}));
    for (const auto& row : rows)
        QCOMPARE(row.size(), 10);
}

void TestListClients::resultsCells_data() {
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("eps");
    QTest::newRow("four-character name")
        << resultsRow("600036", "招商银行", nineValues()) << "600036"
        << "招商银行"
        << "1.49";
    QTest::newRow("three characters: leading > dropped")
        << resultsRow("000002", "万科Ａ", nineValues()) << "000002"
        << "万科Ａ"
        << "1.49";
    QTest::newRow("two characters: no tag remnant")
        << resultsRow("600030", "中信", nineValues()) << "600030"
        << "中信"
        << "1.49";
    // Longer names keep every character, not only their last four.
    QTest::newRow("five characters") << resultsRow("600087", "*ST长油", nineValues()) << "600087"
                                     << "*ST长油"
                                     << "1.49";
    QTest::newRow("latin and chinese") << resultsRow("000100", "TCL科技", nineValues()) << "000100"
                                       << "TCL科技"
                                       << "1.49";
    // Cells too short for the cut positions give empty texts.
    QString tiny = resultsRow("600000", "浦发银行", nineValues());
    tiny.replace(QStringLiteral("<td style=\"width:70px;\"><span><a href=\"/c\" target=\"_blank\">"
                                "600000</a></span></td>"),
                 QStringLiteral("<td style=\"width</td>"));
    tiny.replace(QStringLiteral("<td>1.49</td>"), QStringLiteral("<td</td>"));
    QTest::newRow("short cells") << tiny << ""
                                 << "浦发银行"
                                 << "";
    QTest::newRow("empty value") << resultsRow("600000", "浦发银行",
                                               QStringList{""} + nineValues().mid(1))
                                 << "600000"
                                 << "浦发银行"
                                 << "";
}

void TestListClients::resultsCells() {
    QFETCH(QString, row);
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QString, eps);
    SinaAchievementInterface client;
    const StringMapRows rows = client.parse(resultsPage({row}), QString());
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().value("code"), code);
    QCOMPARE(rows.first().value("name"), name);
    QCOMPARE(rows.first().value("eps"), eps);
    QCOMPARE(rows.first().value("date"), QStringLiteral("2017-08-19"));
}

void TestListClients::resultsWithoutTable_data() {
    QTest::addColumn<QString>("text");
    const QString row = resultsRow("600036", "招商银行", nineValues());
    QTest::newRow("11 and 13 cells")
        << resultsPage({resultsRow("1", "a", nineValues().mid(1)),
                        resultsRow("2", "b", nineValues() + QStringList{"x"})});
    QTest::newRow("no </thead>") << resultsPage({row}).remove(QStringLiteral("</thead>"));
    QTest::newRow("no clear div") << resultsPage({row}).remove(
        QStringLiteral("<div class=\"clear\"></div>"));
    QTest::newRow("row without width style")
        << resultsPage({QString(row).remove(QStringLiteral(" style=\"width:70px;\""))});
    QTest::newRow("markers only") << QStringLiteral(
        "</thead><td style=\"width</a></td><div class=\"clear\"></div>");
    QTest::newRow("empty") << QString();
}

void TestListClients::resultsWithoutTable() {
    QFETCH(QString, text);
    SinaAchievementInterface client;
    QVERIFY(client.parse(text, QString()).isEmpty());
}

// ---- Hostile and foreign texts --------------------------------------------

void TestListClients::hostileTexts() {
    QStringList texts{QString(),
                      QStringLiteral("[["),
                      QStringLiteral("]]"),
                      QStringLiteral("[[]]"),
                      QStringLiteral("[[],[]]"),
                      QStringLiteral("<tr</tr>"),
                      QStringLiteral("<td</td>")};
    const QStringList fixtures{"qq-lhb-600036-20170929.js", "sina-lhb-2017-10-09.html",
                               "sina-achievement-2017-06-30-q2-p1.html"};
    for (const QString& name : fixtures)
        texts << truncations(fixtureText(QStringLiteral("providers/") + name), 97, 1);
    QRandomGenerator random(20170929);
    QTextCodec* gbk = QTextCodec::codecForName("GBK");
    const QList<QByteArray> pieces{"[[",
                                   "]]",
                                   "],[",
                                   ",",
                                   "\"",
                                   "<tr",
                                   "</tr>",
                                   "<td",
                                   "</td>",
                                   "</span>",
                                   "_blank",
                                   "q=",
                                   "',this",
                                   "</thead>",
                                   "<td style=\"width",
                                   "</a></td>",
                                   "<table class=\"list_table",
                                   "<div class=\"pages\">",
                                   "<div class=\"clear\"></div>"};
    for (int i = 0; i < 40; ++i) {
        QByteArray bytes;
        while (bytes.size() < 2000) {
            if (random.bounded(3) == 0)
                bytes += pieces.at(random.bounded(pieces.size()));
            else
                bytes += static_cast<char>(random.bounded(256));
        }
        texts << gbk->toUnicode(bytes);
    }
    // Opening markers by the thousand without their closing ones.
    texts << QStringLiteral("<table class=\"list_table") +
                 QStringLiteral("<tr<td_blank</span>").repeated(20000) +
                 QStringLiteral("<div class=\"pages\">");
    texts << QStringLiteral("</thead>") + QStringLiteral("<td style=\"width<td").repeated(20000) +
                 QStringLiteral("<div class=\"clear\"></div>");

    QQLHBDataInterface seats;
    SinaLHBStockListInterface list;
    SinaAchievementInterface results;
    for (const QString& text : texts) {
        for (const LHBUnit& unit : seats.parse(text, QString()))
            QVERIFY(unit.side == 1 || unit.side == 2);
        for (const Stock& stock : list.parse(text, QString())) {
            QVERIFY(stock.selected);
            QVERIFY(stock.code.size() <= 6 && stock.date.size() <= 10);
        }
        for (const auto& row : results.parse(text, QString())) {
            QCOMPARE(row.size(), 10);
            QVERIFY(row.value("code").size() <= 6 && row.value("name").size() <= 20);
        }
    }
}

// None of the captured replies is of these services: none gives a record.
void TestListClients::foreignRealReplies() {
    SKIP_WITHOUT_REAL_REPLIES();
    const QStringList files = realReplyFiles();
    QVERIFY(files.size() >= 20);
    QQLHBDataInterface seats;
    SinaLHBStockListInterface list;
    SinaAchievementInterface results;
    for (const QString& file : files) {
        const QString text = realReplyText(file);
        QVERIFY2(seats.parse(text, QString()).isEmpty(), qPrintable(file));
        QVERIFY2(list.parse(text, QString()).isEmpty(), qPrintable(file));
        QVERIFY2(results.parse(text, QString()).isEmpty(), qPrintable(file));
    }
}

QTEST_GUILESS_MAIN(TestListClients)
#include "tst_listclients.moc"
