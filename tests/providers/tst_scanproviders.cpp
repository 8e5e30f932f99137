// The clients of the scan's data services: day list, list-entry page,
// K-line history and news. Each reply is served GBK-encoded by a local
// server that stands in for the real hosts (as an HTTP proxy), fetched with
// httpGet at the client's own URL and parsed, as the scan does it.

#include "core/providers/eastmoneylhbdatainterface.h"
#include "core/providers/eastmoneylhblistinterface.h"
#include "core/providers/stocknewsinterface.h"
#include "core/providers/stockqqhistoryinterface.h"
#include "core/utils.h"

#include "tests/support/fixtures.h"
#include "tests/support/proxyfetch.h"
#include "tests/support/testhttpserver.h"

#include <QDir>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

namespace {

// A seat row in the page's layout, written compactly.
QString makeSeatRow(const QString& name, const QString& rate, const QStringList& cells,
                    const QString& tr = QStringLiteral("<tr>")) {
    QString row = tr + QStringLiteral("<td>1</td><td><a href=\"/stock/lhb/yyb/8000.html\">") +
                  name +
                  QStringLiteral("</a></a><span class=\"times\">7</span><span class=\"percent\">") +
                  rate + QStringLiteral("</span></td>");
    for (const QString& cell : cells)
        row += QStringLiteral("<td>") + cell + QStringLiteral("</td>");
    return row + QStringLiteral("</tr>");
}

QString plainRow(const QString& name) {
    return makeSeatRow(name, QStringLiteral("50.00%"),
                       {QStringLiteral("100.00"), QStringLiteral("1.00%"), QStringLiteral("20.00"),
                        QStringLiteral("0.20%"), QStringLiteral("80.00")});
}

QString totalRow(const QStringList& spans) {
    QString row =
        QStringLiteral("<tr class=\"total-tr\"><td colspan=\"2\"><span>总合计：</span></td>");
    for (const QString& span : spans)
        row += QStringLiteral("<td><span>") + span + QStringLiteral("</span></td>");
    return row + QStringLiteral("</tr>");
}

QString page(const QStringList& tables, const QString& total, bool withContent = true,
             bool closed = true) {
    QString html = QStringLiteral("<html><body><table><tbody>") + plainRow(QStringLiteral("页头")) +
                   QStringLiteral("</tbody></table>");
    if (withContent)
        html += QStringLiteral("<div class=\"content-sepe\">");
    for (const QString& table : tables)
        html += QStringLiteral("<table><tbody>") + table + QStringLiteral("</tbody></table>");
    html += QStringLiteral("<table>") + total + QStringLiteral("</table></div></body>");
    return closed ? html + QStringLiteral("</html>") : html;
}

const QString kSeatBase = QStringLiteral("http://data.eastmoney.com/stock/lhb/yyb/");

} // namespace

class TestScanProviders final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void dayListUrls_data();
    void dayListUrls();
    void dayListPageCount_data();
    void dayListPageCount();
    void dayListFetched();
    void dayListRows_data();
    void dayListRows();
    void dayListWithoutRows_data();
    void dayListWithoutRows();
    void dayListRealRecord();

    void seatPageUrls_data();
    void seatPageUrls();
    void seatPageFetched();
    void seatRecords_data();
    void seatRecords();
    void seatPageShapes_data();
    void seatPageShapes();
    void seatSummary_data();
    void seatSummary();
    void seatRow_data();
    void seatRow();
    void seatPageRealReplies();

    void kLineUrls_data();
    void kLineUrls();
    void kLineFetched();
    void kLineShapes_data();
    void kLineShapes();
    void kLineReplyCopy();
    void kLineRealReplies_data();
    void kLineRealReplies();

    void newsUrl();
    void newsFetched();
    void newsWithoutItems_data();
    void newsWithoutItems();
    void newsRealExcerpt();

    void foreignRealReplies();

private:
    TestHttpServer m_server;
};

void TestScanProviders::initTestCase() {
    QVERIFY(m_server.listenAsApplicationProxy());
    // A fixed seed keeps the random query numbers the same on every run.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    qsrand(20171009);
    QT_WARNING_POP
}

void TestScanProviders::cleanupTestCase() {
    TestHttpServer::removeApplicationProxy();
}

// ---- Day list -------------------------------------------------------------

void TestScanProviders::dayListUrls_data() {
    QTest::addColumn<QStringList>("params");
    QTest::addColumn<QStringList>("expected");
    const QString oct9 = QStringLiteral(
        "http://data.eastmoney.com/DataCenter_V3/stock2016/TradeDetail/pagesize=200,page=1,"
        "sortRule=-1,sortType=,startDate=2017-10-09,endDate=2017-10-09,gpfw=0,js=vardata_tab_1."
        "html");
    QTest::newRow("one day") << QStringList{QStringLiteral("2017-10-09")} << QStringList{oct9};
    QTest::newRow("first of three")
        << QStringList{QStringLiteral("2017-10-09"), QStringLiteral("2017-09-29"),
                       QStringLiteral("2017-09-28")}
        << QStringList{oct9};
    QTest::newRow("none") << QStringList() << QStringList();
}

void TestScanProviders::dayListUrls() {
    QFETCH(QStringList, params);
    QFETCH(QStringList, expected);
    EastmoneyLHBListInterface client;
    QCOMPARE(client.urls(params), expected);
    // Further pages differ in the page number only.
    if (!expected.isEmpty())
        QCOMPARE(EastmoneyLHBListInterface::pageUrl(params.first(), 3),
                 QString(expected.first()).replace(QStringLiteral(",page=1,"),
                                                   QStringLiteral(",page=3,")));
}

void TestScanProviders::dayListPageCount_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pages");
    QTest::newRow("day without entries") << "var d={\"success\":false,\"pages\":0,\"data\":[]}" << 0;
    QTest::newRow("three pages, quoted")
        << "var d = { \"data\" : [{\"SCode\":\"600001\"}], \"pages\" : \"3\" };" << 3;
    QTest::newRow("unquoted key") << "d={success:true,pages:2,data:[]}" << 2;
    // Only the outer object's member counts; rows and texts do not.
    QTest::newRow("row member and text")
        << "{\"data\":[{\"pages\":9,\"DP\":\",\\\"pages\\\":8\"}],\"x\":\",pages:7\"}" << 1;
    QTest::newRow("most") << "{\"pages\":50,\"data\":[]}" << 50;
    // Anything but a whole number up to 50 says no page count (-1).
    for (const char* odd : {"51", "99999999999", "\"many\"", "2.5", "2e1", "-1", "null", "\"3\" x",
                            "\"3"})
        QTest::newRow(odd) << QStringLiteral("{\"pages\":%1,\"data\":[]}").arg(odd) << -1;
}

void TestScanProviders::dayListPageCount() {
    QFETCH(QString, text);
    QFETCH(int, pages);
    QCOMPARE(EastmoneyLHBListInterface::pageCount(text), pages);
}

void TestScanProviders::dayListFetched() {
    EastmoneyLHBListInterface client;
    const QString url = client.urls({QStringLiteral("2017-10-09")}).value(0);
    const QString fixture = fixtureText(QStringLiteral("providers/daylist-2017-10-09.js"));
    QVERIFY(fixture.contains(QStringLiteral("赣锋锂业")));
    const QString text = fetchGbkViaProxy(m_server, url, fixture);
    QCOMPARE(text, fixture);
    QVERIFY(EastmoneyLHBListInterface::isListReply(text));
    QCOMPARE(EastmoneyLHBListInterface::pageCount(text), 1);
    // Cut off anywhere after its array opens (after a whole row, or of its
    // last character too), it is no list, not a shorter one.
    const int dataStart = text.indexOf(QStringLiteral("\"data\":[")) + 8;
    const int lastRowEnd = text.lastIndexOf(QStringLiteral("},{")) + 1;
    QVERIFY(dataStart > 8 && lastRowEnd > dataStart);
    QList<int> cuts{lastRowEnd, int(text.size()) - 1};
    for (int cut = dataStart; cut < text.size(); cut += 97)
        cuts << cut;
    for (int cut : cuts)
        QVERIFY2(!EastmoneyLHBListInterface::isListReply(text.left(cut)),
                 qPrintable(QString::number(cut)));
    const StringMapRows rows = client.parse(text, QString());
    QCOMPARE(rows.size(), 12);
    for (const auto& row : rows) {
        QCOMPARE(row.size(), 45);
        QCOMPARE(row.value(QStringLiteral("Tdate")), QStringLiteral("2017-10-09"));
    }
    // Reply order is kept; one stock stands in two rows, one per reason.
    QCOMPARE(rows.at(1).value(QStringLiteral("SCode")), QStringLiteral("002460"));
    QCOMPARE(rows.at(2).value(QStringLiteral("SCode")), QStringLiteral("002460"));
    QCOMPARE(rows.at(11).value(QStringLiteral("SCode")), QStringLiteral("300059"));
}

void TestScanProviders::dayListRows_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>(
        "fields"); // SCode SName Ctypedes JD DP Chgradio Dchratio Turnover
    QTest::newRow("first row") << 0
                               << QStringList{"000591",
                                              "太阳能",
                                              "日涨幅偏离值达到7%的证券",
                                              "上海资金买入，成功率45.72%",
                                              "上海资金买入，成功率45.72%",
                                              "9.9554",
                                              "17.128",
                                              "2508328205"};
    QTest::newRow("first reason") << 1
                                  << QStringList{"002460",
                                                 "赣锋锂业",
                                                 "日涨幅偏离值达到7%的证券",
                                                 "1家机构买入，成功率41.19%",
                                                 "机构买入，成功率41.19%",
                                                 "10.0062",
                                                 "6.3121",
                                                 "2126745310"};
    QTest::newRow("second reason") << 2
                                   << QStringList{"002460",
                                                  "赣锋锂业",
                                                  "日换手率达到20%的证券",
                                                  "1家机构买入，成功率41.19%",
                                                  "机构买入，成功率41.19%",
                                                  "10.0062",
                                                  "6.3121",
                                                  "2126745310"};
    QTest::newRow("negative change") << 3
                                     << QStringList{"600703",
                                                    "三安光电",
                                                    "日跌幅偏离值达到7%的证券",
                                                    "主力做T，成功率35.02%",
                                                    "卖一主卖，成功率40.98%",
                                                    "-7.3002",
                                                    "4.0512",
                                                    "2361128473"};
    QTest::newRow("consecutive") << 5
                                 << QStringList{"603019",
                                                "中科曙光",
                                                "连续三个交易日内，涨幅偏离值累计达到20%的证券",
                                                "实力游资买入，成功率48.95%",
                                                "实力游资买入，成功率48.95%",
                                                "10.0028",
                                                "9.2215",
                                                "1218804517"};
    QTest::newRow("consecutive margin")
        << 6
        << QStringList{
               "000725",
               "京东方Ａ",
               "融资融券标的证券连续三个交易日内，日均换手率与前五个交易日的比值达到30倍的证券",
               "2家机构卖出，成功率38.10%",
               "机构卖出，成功率38.10%",
               "6.2626",
               "3.1044",
               "5803927461"};
    QTest::newRow("last row") << 11
                              << QStringList{"300059",
                                             "东方财富",
                                             "日振幅值达到15%的证券",
                                             "主力做T，成功率35.02%",
                                             "主力做T，成功率35.02%",
                                             "9.9488",
                                             "8.3117",
                                             "3540911873"};
}

void TestScanProviders::dayListRows() {
    QFETCH(int, index);
    QFETCH(QStringList, fields);
    EastmoneyLHBListInterface client;
    const StringMapRows rows =
        client.parse(fixtureText(QStringLiteral("providers/daylist-2017-10-09.js")), QString());
    QVERIFY(index < rows.size());
    const auto& row = rows.at(index);
    const QStringList keys{"SCode", "SName",    "Ctypedes", "JD",
                           "DP",    "Chgradio", "Dchratio", "Turnover"};
    for (int i = 0; i < keys.size(); ++i)
        QCOMPARE(row.value(keys.at(i)), fields.at(i));
}

void TestScanProviders::dayListWithoutRows_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("bare empty array") << QStringLiteral("[]");
    QTest::newRow("day without list")
        << QStringLiteral("var data_tab_1={\"success\":true,\"pages\":0,\"data\":[],"
                          "\"url\":\"http://data.eastmoney.com/x\",\"message\":\"\"}");
    QTest::newRow("error page") << QStringLiteral(
        "<html><head><title>404</title></head><body>Not Found: "
        "http://data.eastmoney.com/a,b</body></html>");
}

void TestScanProviders::dayListWithoutRows() {
    QFETCH(QString, text);
    EastmoneyLHBListInterface client;
    QCOMPARE(client.parse(text, QString()).size(), 0);
}

void TestScanProviders::dayListRealRecord() {
    SKIP_WITHOUT_REAL_REPLIES();
    const QString record =
        realReplyText(QStringLiteral("eastmoney-tradedetail-1.record.json")).trimmed();
    QVERIFY(!record.isEmpty());
    EastmoneyLHBListInterface client;
    // On its own the record is no list reply; in the reply's wrapper it is read.
    QCOMPARE(client.parse(record, QString()).size(), 0);
    QVERIFY(!EastmoneyLHBListInterface::isListReply(record));
    const QString reply =
        QStringLiteral("var data_tab_1={\"success\":true,\"pages\":1,\"data\":[") + record +
        QStringLiteral("],\"message\":\"\"}");
    // The real row, with its line breaks and full-width commas, is whole.
    QVERIFY(EastmoneyLHBListInterface::isListReply(reply));
    const StringMapRows rows = client.parse(reply, QString());
    QCOMPARE(rows.size(), 1);
    const auto& row = rows.first();
    QCOMPARE(row.value(QStringLiteral("SCode")), QStringLiteral("000591"));
    QCOMPARE(row.value(QStringLiteral("SName")), QStringLiteral("太阳能"));
    QCOMPARE(row.value(QStringLiteral("Tdate")), QStringLiteral("2021-03-12"));
    QCOMPARE(row.value(QStringLiteral("Ctypedes")),
             QStringLiteral("日涨幅偏离值达到7%的前5只证券"));
    QCOMPARE(row.value(QStringLiteral("Chgradio")), QStringLiteral("9.9554"));
    QCOMPARE(row.value(QStringLiteral("Dchratio")), QStringLiteral("17.128"));
    QCOMPARE(row.value(QStringLiteral("Turnover")), QStringLiteral("2508328205"));
    QCOMPARE(row.value(QStringLiteral("JD")), QStringLiteral("上海资金买入，成功率45.72%"));
    QCOMPARE(row.value(QStringLiteral("DP")), QStringLiteral("上海资金买入，成功率45.72%"));
}

// ---- List-entry page ------------------------------------------------------

void TestScanProviders::seatPageUrls_data() {
    QTest::addColumn<QStringList>("params");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("one") << QStringList{"600036,2017-10-09"}
                         << QStringList{
                                "http://data.eastmoney.com/stock/lhb,2017-10-09,600036.html"};
    QTest::newRow("blanks trimmed")
        << QStringList{" 600036 , 2017-10-09 "}
        << QStringList{"http://data.eastmoney.com/stock/lhb,2017-10-09,600036.html"};
    QTest::newRow("two, in order")
        << QStringList{"002460,2017-10-09", "000001,2017-09-29"}
        << QStringList{"http://data.eastmoney.com/stock/lhb,2017-10-09,002460.html",
                       "http://data.eastmoney.com/stock/lhb,2017-09-29,000001.html"};
    // Without its day a parameter keeps its place; the page then has no seats.
    QTest::newRow("no day") << QStringList{"600036", "000001,2017-09-29"}
                            << QStringList{
                                   "http://data.eastmoney.com/stock/lhb,,600036.html",
                                   "http://data.eastmoney.com/stock/lhb,2017-09-29,000001.html"};
    QTest::newRow("none") << QStringList() << QStringList();
}

void TestScanProviders::seatPageUrls() {
    QFETCH(QStringList, params);
    QFETCH(QStringList, expected);
    EastmoneyLHBDataInterface client;
    QCOMPARE(client.urls(params), expected);
}

void TestScanProviders::seatPageFetched() {
    EastmoneyLHBDataInterface client;
    const QString url = client.urls({QStringLiteral("002460,2017-10-09")}).value(0);
    const QString fixture = fixtureText(QStringLiteral("providers/lhb-2017-10-09-002460.html"));
    const QString text = fetchGbkViaProxy(m_server, url, fixture);
    QCOMPARE(text, fixture);
    const QVector<LHBUnit> units = client.parse(text, QString());
    QCOMPARE(units.size(), 11);
    QList<int> sides;
    for (const LHBUnit& unit : units)
        sides << unit.side;
    QCOMPARE(sides, (QList<int>{1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 3}));
    QCOMPARE(units.at(1).name,
             QStringLiteral("华泰证券股份有限公司深圳益田路荣超商务中心证券营业部"));
    QCOMPARE(units.at(6).name, QStringLiteral("招商证券股份有限公司深圳蛇口工业七路证券营业部"));
}

void TestScanProviders::seatRecords_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("side");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("times");
    QTest::addColumn<float>("rate");
    QTest::addColumn<float>("buy");
    QTest::addColumn<QString>("buyShare");
    QTest::addColumn<float>("sell");
    QTest::addColumn<QString>("sellShare");
    QTest::addColumn<float>("net");
    const auto add = [](const char* tag, int index, int side, const QString& name,
                        const QString& id, const QString& times, float rate, float buy,
                        const QString& buyShare, float sell, const QString& sellShare, float net) {
        QTest::newRow(tag) << index << side << name
                           << (id.isEmpty() ? QString() : kSeatBase + id + QStringLiteral(".html"))
                           << times << rate << buy << buyShare << sell << sellShare << net;
    };
    add("institution, rate -", 0, 1, "机构专用", "10656871", "1582", 0.0f, 8536.42f, "4.01%", 0.0f,
        "", 8536.42f);
    add("buyer 2", 1, 1, "华泰证券股份有限公司深圳益田路荣超商务中心证券营业部", "80154611", "612",
        45.23f, 6123.88f, "2.88%", 312.50f, "0.15%", 5811.38f);
    add("cells over several lines", 2, 1, "中信证券股份有限公司上海溧阳路证券营业部", "80033398",
        "287", 52.61f, 4210.05f, "1.98%", 0.0f, "", 4210.05f);
    add("buyer 4", 3, 1, "国泰君安证券股份有限公司南京太平南路证券营业部", "80001287", "198",
        38.77f, 3377.16f, "1.59%", 1020.34f, "0.48%", 2356.82f);
    add("buyer 5", 4, 1, "光大证券股份有限公司宁波解放南路证券营业部", "80135790", "95", 61.02f,
        2891.70f, "1.36%", 15.22f, "0.01%", 2876.48f);
    add("institution selling", 5, 2, "机构专用", "10656871", "1582", 0.0f, 0.0f, "", 7345.19f,
        "3.45%", -7345.19f);
    add("upper-case tags", 6, 2, "招商证券股份有限公司深圳蛇口工业七路证券营业部", "80036764",
        "143", 43.10f, 1102.48f, "0.52%", 5288.30f, "2.49%", -4185.82f);
    add("seller 3", 7, 2, "深股通专用", "80601499", "988", 48.66f, 2511.20f, "1.18%", 4406.67f,
        "2.07%", -1895.47f);
    add("seller 4", 8, 2, "东方财富证券股份有限公司拉萨团结路第二证券营业部", "80475097", "1311",
        40.03f, 312.40f, "0.15%", 3980.55f, "1.87%", -3668.15f);
    add("seller 5", 9, 2, "中国银河证券股份有限公司绍兴证券营业部", "80184462", "376", 47.90f, 0.0f,
        "", 3102.97f, "1.46%", -3102.97f);
    add("summary", 10, 3, "", "", "", 0.0f, 29065.29f, "13.67%", 25471.74f, "11.98%", 3593.55f);
}

void TestScanProviders::seatRecords() {
    QFETCH(int, index);
    QFETCH(int, side);
    QFETCH(QString, name);
    QFETCH(QString, url);
    QFETCH(QString, times);
    QFETCH(float, rate);
    QFETCH(float, buy);
    QFETCH(QString, buyShare);
    QFETCH(float, sell);
    QFETCH(QString, sellShare);
    QFETCH(float, net);
    EastmoneyLHBDataInterface client;
    const QVector<LHBUnit> units = client.parse(
        fixtureText(QStringLiteral("providers/lhb-2017-10-09-002460.html")), QString());
    QVERIFY(index < units.size());
    const LHBUnit& unit = units.at(index);
    QCOMPARE(unit.side, side);
    QCOMPARE(unit.name, name);
    QCOMPARE(unit.url, url);
    QCOMPARE(unit.times, times);
    QCOMPARE(unit.rate, rate);
    QCOMPARE(unit.buyAmount, buy);
    QCOMPARE(unit.buyShare, buyShare);
    QCOMPARE(unit.sellAmount, sell);
    QCOMPARE(unit.sellShare, sellShare);
    QCOMPARE(unit.netAmount, net);
}

void TestScanProviders::seatPageShapes_data() {
    QTest::addColumn<QString>("html");
    QTest::addColumn<QStringList>("names"); // the records' names, the summary as "total"
    const QString a = plainRow(QStringLiteral("甲")), b = plainRow(QStringLiteral("乙")),
                  c = plainRow(QStringLiteral("丙"));
    const QString total = totalRow({"300.00", "3.00%", "60.00", "0.60%", "240.00"});
    QTest::newRow("two tables") << page({a + b, c}, total)
                                << QStringList{"甲", "乙", "丙", "total"};
    QTest::newRow("one table") << page({a + b}, total) << QStringList{"甲", "乙", "total"};
    QTest::newRow("third table ignored")
        << page({a, b, c}, total) << QStringList{"甲", "乙", "total"};
    QTest::newRow("summary twice") << page({a, b}, total + total) << QStringList{"甲", "乙"};
    QTest::newRow("no summary") << page({a, b}, QString()) << QStringList{"甲", "乙"};
    QTest::newRow("no content marker") << page({a, b}, total, false) << QStringList();
    QTest::newRow("cut off before its end") << page({a, b}, total, true, false) << QStringList();
    QTest::newRow("row tag with attributes")
        << page(
               {a + makeSeatRow(QStringLiteral("丁"), QStringLiteral("1%"),
                                {"1", "1%", "1", "1%", "0"}, QStringLiteral("<tr class=\"odd\">"))},
               total)
        << QStringList{"甲", "total"};
    QString upper = page({a, b}, total);
    upper.replace(QStringLiteral("<tbody>"), QStringLiteral("<TBODY>"))
        .replace(QStringLiteral("</tbody>"), QStringLiteral("</TBODY>"))
        .replace(QStringLiteral("<tr>"), QStringLiteral("<TR>"))
        .replace(QStringLiteral("</tr>"), QStringLiteral("</TR>"))
        .replace(QStringLiteral("<td"), QStringLiteral("<TD"))
        .replace(QStringLiteral("</td>"), QStringLiteral("</TD>"))
        .replace(QStringLiteral("span"), QStringLiteral("SPAN"))
        .replace(QStringLiteral("class=\"content-sepe\""), QStringLiteral("CLASS=\"CONTENT-SEPE\""))
        .replace(QStringLiteral("</html>"), QStringLiteral("</HTML>"));
    QTest::newRow("upper-case tags") << upper << QStringList{"甲", "乙", "total"};
    QTest::newRow("empty") << QString() << QStringList();
}

void TestScanProviders::seatPageShapes() {
    QFETCH(QString, html);
    QFETCH(QStringList, names);
    EastmoneyLHBDataInterface client;
    QStringList got;
    for (const LHBUnit& unit : client.parse(html, QString()))
        got << (unit.side == 3 ? QStringLiteral("total") : unit.name);
    QCOMPARE(got, names);
}

void TestScanProviders::seatSummary_data() {
    QTest::addColumn<QStringList>("spans");
    QTest::addColumn<float>("buy");
    QTest::addColumn<QString>("buyShare");
    QTest::addColumn<float>("sell");
    QTest::addColumn<QString>("sellShare");
    QTest::addColumn<float>("net");
    QTest::newRow("positive") << QStringList{"300.00", "3.00%", "60.00", "0.60%", "240.00"}
                              << 300.0f << "3.00%" << 60.0f << "0.60%" << 240.0f;
    // A net total of a day on which the seats sold more keeps its sign.
    QTest::newRow("negative net") << QStringList{"100.00", "1.00%", "1334.56", "13.35%", "-1234.56"}
                                  << 100.0f << "1.00%" << 1334.56f << "13.35%" << -1234.56f;
    // "-", amounts bought or sold below zero, and figures that are not
    // finite, are no numbers: NaN, shown as "-" and matched by no screen.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("placeholders") << QStringList{"-", "-", " 60.00 ", " 0.60% ", "-"} << nan << ""
                                  << 60.0f << "0.60%" << nan;
    QTest::newRow("no numbers") << QStringList{"-5.00", "1.00%", "inf", "0.60%", "1e39"} << nan
                                << "1.00%" << nan << "0.60%" << nan;
}

void TestScanProviders::seatSummary() {
    QFETCH(QStringList, spans);
    QFETCH(float, buy);
    QFETCH(QString, buyShare);
    QFETCH(float, sell);
    QFETCH(QString, sellShare);
    QFETCH(float, net);
    bool ok = false;
    const LHBUnit unit =
        parseSeatTotalRow(page({plainRow(QStringLiteral("甲"))}, totalRow(spans)), ok);
    QVERIFY(ok);
    QCOMPARE(unit.side, 3);
    QVERIFY(unit.name.isEmpty() && unit.url.isEmpty() && unit.times.isEmpty());
    QCOMPARE(unit.rate, 0.0f);
    QCOMPARE(unit.buyAmount, buy);
    QCOMPARE(unit.buyShare, buyShare);
    QCOMPARE(unit.sellAmount, sell);
    QCOMPARE(unit.sellShare, sellShare);
    QCOMPARE(unit.netAmount, net);

    // Five spans are not a summary row.
    ok = true;
    parseSeatTotalRow(totalRow(spans.mid(1)), ok);
    QVERIFY(!ok);
}

void TestScanProviders::seatRow_data() {
    QTest::addColumn<QString>("row");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<float>("rate");
    QTest::addColumn<QString>("buyShare");
    QTest::addColumn<float>("net");
    const QStringList cells{"100.00", "1.00%", "20.00", "0.20%", "80.00"};
    QTest::newRow("plain") << makeSeatRow("甲", "45.23%", cells) << true << 45.23f << "1.00%"
                           << 80.0f;
    QTest::newRow("rate -") << makeSeatRow("甲", "-", cells) << true << 0.0f << "1.00%" << 80.0f;
    QTest::newRow("share -") << makeSeatRow("甲", "1%", {"0.00", "-", "20.00", "0.20%", "-20.00"})
                             << true << 1.0f << "" << -20.0f;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("amount not a number")
        << makeSeatRow("甲", "1%", {"abc", "1%", "20.00", "0.20%", "--"}) << true << 1.0f << "1%"
        << nan;
    // Cells read as a browser shows them: markup and references in the
    // name or a figure, thousands separators.
    QTest::newRow("markup") << makeSeatRow("<b>甲</b>", "<i>1</i>%",
                                           {"1", "<em>1%</em>", "1", "-", "<span>5,555.00</span>"})
                            << true << 1.0f << "1%" << 5555.0f;
    QTest::newRow("references") << makeSeatRow(" &#30002;&nbsp;", "1%",
                                               {"1", "1&#37;", "1", "-", "-1,234"})
                                << true << 1.0f << "1%" << -1234.0f;
    QTest::newRow("not finite") << makeSeatRow("甲", "inf%", {"1", "1%", "1", "1%", "-inf"}) << true
                                << nan << "1%" << nan;
    QTest::newRow("six cells") << makeSeatRow("甲", "1%", cells.mid(1)) << false << 0.0f << ""
                               << 0.0f;
    QTest::newRow("eight cells") << makeSeatRow("甲", "1%", cells + QStringList{"1"}) << false
                                 << 0.0f << "" << 0.0f;
    QString noLink = makeSeatRow("甲", "1%", cells);
    noLink.replace(QStringLiteral("</a></a>"), QStringLiteral("</a>"));
    QTest::newRow("no seat link") << noLink << false << 0.0f << "" << 0.0f;
    QString noTimes = makeSeatRow("甲", "1%", cells);
    noTimes.replace(QStringLiteral("class=\"times\""), QStringLiteral("class=\"count\""));
    QTest::newRow("no times") << noTimes << false << 0.0f << "" << 0.0f;
    QString noRate = makeSeatRow("甲", "1%", cells);
    noRate.replace(QStringLiteral("class=\"percent\""), QStringLiteral("class=\"rate\""));
    QTest::newRow("no rate") << noRate << false << 0.0f << "" << 0.0f;
    QTest::newRow("link without text")
        << makeSeatRow("<img src=\"x.png\">", "1%", cells) << false << 0.0f << "" << 0.0f;
    QTest::newRow("empty") << QString() << false << 0.0f << "" << 0.0f;
}

void TestScanProviders::seatRow() {
    QFETCH(QString, row);
    QFETCH(bool, accepted);
    QFETCH(float, rate);
    QFETCH(QString, buyShare);
    QFETCH(float, net);
    bool ok = true; // a rejected row must clear it
    const LHBUnit unit = parseSeatRow(row, ok);
    QCOMPARE(ok, accepted);
    if (!accepted)
        return;
    QCOMPARE(unit.name, QStringLiteral("甲"));
    QCOMPARE(unit.url, kSeatBase + QStringLiteral("8000.html"));
    QCOMPARE(unit.times, QStringLiteral("7"));
    QCOMPARE(unit.rate, rate);
    QCOMPARE(unit.buyShare, buyShare);
    QCOMPARE(unit.netAmount, net);
    QCOMPARE(unit.side, 0);
}

void TestScanProviders::seatPageRealReplies() {
    SKIP_WITHOUT_REAL_REPLIES();
    EastmoneyLHBDataInterface client;
    // The 2016 layout: no content marker, and its seat row lacks the times
    // and rate spans, so nothing is read from it.
    const QString fragment = realReplyText(QStringLiteral("eastmoney-lhb-page-1.fragment.html"));
    QVERIFY(fragment.contains(QStringLiteral("/stock/lhb/yyb/80354570.html")));
    QCOMPARE(client.parse(fragment, QString()).size(), 0);
    bool ok = true;
    parseSeatRow(QStringLiteral("<tr><td>1</td><td>") + fragment + QStringLiteral("</tr>"), ok);
    QVERIFY(!ok);
    // A seat ranking page of the same site is no list-entry page.
    const QString ranking =
        realReplyText(QStringLiteral("eastmoney-seat-ranking-page-1.gb2312.html"));
    QVERIFY(
        ranking.contains(QStringLiteral("华泰证券股份有限公司深圳益田路荣超商务中心证券营业部")));
    QCOMPARE(client.parse(ranking, QString()).size(), 0);
    QCOMPARE(client.parseRows(ranking, true).size(), 0);
}

// ---- K-line history -------------------------------------------------------

void TestScanProviders::kLineUrls_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("param");
    QTest::newRow("defaults") << -1 << QString() << "600036"
                              << "sh600036,day,,,480,hfq";
    QTest::newRow("sz prefix") << -1 << QString() << "000001"
                               << "sz000001,day,,,480,hfq";
    QTest::newRow("forward adjusted") << 1 << "qfq"
                                      << "300750"
                                      << "sz300750,day,,,480,qfq";
    QTest::newRow("unadjusted") << 1 << "bfq"
                                << "600036"
                                << "sh600036,day,,,480,bfq";
    QTest::newRow("upper case ignored") << 1 << "QFQ"
                                        << "600036"
                                        << "sh600036,day,,,480,hfq";
    QTest::newRow("unknown adjustment") << 1 << "xfq"
                                        << "600036"
                                        << "sh600036,day,,,480,hfq";
    QTest::newRow("weekly") << 2 << "week"
                            << "600036"
                            << "sh600036,week,,,480,hfq";
    QTest::newRow("monthly") << 2 << "month"
                             << "600036"
                             << "sh600036,month,,,480,hfq";
    QTest::newRow("unknown period") << 2 << "year"
                                    << "600036"
                                    << "sh600036,day,,,480,hfq";
    QTest::newRow("unknown index") << 3 << "week"
                                   << "600036"
                                   << "sh600036,day,,,480,hfq";
}

void TestScanProviders::kLineUrls() {
    QFETCH(int, index);
    QFETCH(QString, value);
    QFETCH(QString, code);
    QFETCH(QString, param);
    StockQQHistoryInterface client;
    if (index >= 0)
        client.setParam(index, value);
    const QStringList urls = client.urls({code, code});
    QCOMPARE(urls.size(), 2);
    const QRegularExpression form(QStringLiteral(
        "^http://web\\.ifzq\\.gtimg\\.cn/appstock/app/fqkline/get\\?p=1&param=([^&]*)"
        "&_appName=android__random_suffix=(\\d+)$"));
    for (const QString& url : urls) {
        const QRegularExpressionMatch match = form.match(url);
        QVERIFY2(match.hasMatch(), qPrintable(url));
        QCOMPARE(match.captured(1), param);
        bool ok = false;
        const qint64 number = match.captured(2).toLongLong(&ok);
        QVERIFY(ok && number >= 0 && number < Q_INT64_C(2147483648));
    }
}

void TestScanProviders::kLineFetched() {
    StockQQHistoryInterface client;
    const QString url = client.urls({QStringLiteral("600036")}).value(0);
    const QString fixture = fixtureText(QStringLiteral("providers/kline-sh600036-hfq.json"));
    const QString text = fetchGbkViaProxy(m_server, url, fixture);
    QCOMPARE(text, fixture);
    const QVector<Stock> bars = client.parse(text, QStringLiteral("600036"));
    QCOMPARE(bars.size(), 480);

    const Stock& first = bars.first();
    QCOMPARE(first.code, QStringLiteral("600036"));
    QCOMPARE(first.date, QStringLiteral("2015-12-01"));
    QCOMPARE(first.open, 150.603f);
    QCOMPARE(first.close, 147.306f);
    QCOMPARE(first.high, 150.620f);
    QCOMPARE(first.low, 146.654f);
    QCOMPARE(first.volume, 949592.0f);
    QCOMPARE(first.change, 0.0f);
    QCOMPARE(first.changePercent, 0.0f);

    // 144.739 - 147.306 = -2.567, i.e. -1.7426 % of 147.306.
    QVERIFY(qAbs(bars.at(1).change - -2.567f) < 1e-4f);
    QVERIFY(qAbs(bars.at(1).changePercent - -1.74263f) < 1e-4f);

    // The ex-dividend day carries a seventh element, which is not read.
    const Stock& dividend = bars.at(422);
    QCOMPARE(dividend.date, QStringLiteral("2017-07-13"));
    QCOMPARE(dividend.volume, 1355994.0f);
    QVERIFY(qAbs(dividend.change - 1.226f) < 1e-4f); // 64.377 - 63.151
    QCOMPARE(bars.at(423).date, QStringLiteral("2017-07-14"));
    QCOMPARE(bars.at(423).open, 63.849f);

    const Stock& last = bars.last();
    QCOMPARE(last.date, QStringLiteral("2017-10-09"));
    QCOMPARE(last.close, 66.449f);
    QCOMPARE(bars.at(478).date, QStringLiteral("2017-09-29"));
    QVERIFY(qAbs(last.changePercent - 1.17545f) < 1e-4f); // 0.772 * 100 / 65.677
    // Bars only: list and quote fields stay at their defaults.
    QVERIFY(last.name.isEmpty() && last.typeText.isEmpty() && last.jd.isEmpty());
    QCOMPARE(last.amount, 0.0f);
    // Oldest first, one bar per day.
    for (int i = 1; i < bars.size(); ++i)
        QVERIFY(bars.at(i - 1).date < bars.at(i).date);
}

void TestScanProviders::kLineShapes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("dates");
    QTest::addColumn<QList<float>>("changes");
    QTest::addColumn<QList<float>>("percents");
    QTest::newRow("two rows of six")
        << QStringLiteral(
               "{\"data\":{\"sh600036\":{\"day\":[[\"2017-10-09\",\"1\",\"10\",\"11\",\"0.5\","
               "\"100\"],"
               "[\"2017-10-10\",\"10\",\"12.5\",\"13\",\"9\",\"200\"]],\"prec\":\"9.9\"}}}")
        << QStringList{"2017-10-09", "2017-10-10"} << QList<float>{0.0f, 2.5f}
        << QList<float>{0.0f, 25.0f};
    QTest::newRow("seven fields, five fields")
        << QStringLiteral(
               "[[\"2017-10-09\",\"1\",\"10\",\"1\",\"1\",\"1\",\"x\"],"
               "[\"2017-10-10\",\"1\",\"20\",\"1\",\"1\"],"
               "[\"2017-10-11\",\"1\",\"11\",\"1\",\"1\",\"1\"]]")
        << QStringList{"2017-10-09", "2017-10-11"} << QList<float>{0.0f, 1.0f}
        << QList<float>{0.0f, 10.0f};
    // A bar whose close is no number is none, not a bar at 0.
    QTest::newRow("unreadable close")
        << QStringLiteral("[[\"2017-10-09\",\"1\",\"abc\",\"1\",\"1\",\"1\"],"
                          "[\"2017-10-10\",\"1\",\"2\",\"1\",\"1\",\"1\"]]")
        << QStringList{"2017-10-10"} << QList<float>{0.0f} << QList<float>{0.0f};
    QTest::newRow("newest first, a day twice, thousands separators")
        << QStringLiteral("[[\"2017-10-11\",\"1\",\"1,100\",\"1\",\"1\",\"1\"],"
                          "[\"2017-10-10\",\"1\",\"9\",\"1\",\"1\",\"1\"],"
                          "[\"2017-10-09\",\"1\",\"10\",\"1\",\"1\",\"1\"],"
                          "[\"2017-10-10\",\"1\",\"1000\",\"1\",\"1\",\"1\"]]")
        << QStringList{"2017-10-09", "2017-10-10", "2017-10-11"}
        << QList<float>{0.0f, 990.0f, 100.0f} << QList<float>{0.0f, 9900.0f, 10.0f};
    // Impossible days, prices or volumes that are not finite or below zero:
    // those bars are dropped, and the next bar's change is against the last kept.
    QTest::newRow("impossible bars dropped")
        << QStringLiteral("[[\"2017-10-09\",\"1\",\"10\",\"1\",\"1\",\"1\"],"
                          "[\"2099-13-45\",\"1\",\"30\",\"1\",\"1\",\"1\"],"
                          "[\"d3\",\"1\",\"30\",\"1\",\"1\",\"1\"],"
                          "[\"2017-10-10\",\"1\",\"30\",\"1\",\"1\",\"-5\"],"
                          "[\"2017-10-11\",\"1\",\"inf\",\"1\",\"1\",\"1\"],"
                          "[\"2017-10-12\",\"nan\",\"30\",\"1\",\"1\",\"1\"],"
                          "[\"2017-10-13\",\"1\",\"30\",\"1e39\",\"1\",\"1\"],"
                          "[\"2017-10-16\",\"1\",\"-1\",\"1\",\"1\",\"1\"],"
                          "[\"2017-10-17\",\"1\",\"11\",\"1\",\"1\",\"1\"]]")
        << QStringList{"2017-10-09", "2017-10-17"} << QList<float>{0.0f, 1.0f}
        << QList<float>{0.0f, 10.0f};
    QTest::newRow("cut off")
        << QStringLiteral("{\"day\":[[\"2017-10-09\",\"1\",\"2\",\"3\",\"0.5\",\"100\"],"
                          "[\"2017-10-10\",\"1\"")
        << QStringList{"2017-10-09"} << QList<float>{0.0f} << QList<float>{0.0f};
    QTest::newRow("empty bar array")
        << QStringLiteral(
               "{\"code\":0,\"msg\":\"\",\"data\":{\"sz000000\":{\"qfqday\":[],\"qt\":{},"
               "\"mx_price\":{\"mx\":[],\"price\":[]},\"prec\":\"0\",\"version\":\"4\"}}}")
        << QStringList() << QList<float>() << QList<float>();
    QTest::newRow("error page") << QStringLiteral("<html><body>a,b,c,d,e,f,g,h</body></html>")
                                << QStringList() << QList<float>() << QList<float>();
    QTest::newRow("empty") << QString() << QStringList() << QList<float>() << QList<float>();
}

void TestScanProviders::kLineShapes() {
    QFETCH(QString, text);
    QFETCH(QStringList, dates);
    QFETCH(QList<float>, changes);
    QFETCH(QList<float>, percents);
    StockQQHistoryInterface client;
    const QVector<Stock> bars = client.parse(text, QStringLiteral("600036"));
    QStringList gotDates;
    QList<float> gotChanges, gotPercents;
    for (const Stock& bar : bars) {
        gotDates << bar.date;
        gotChanges << bar.change;
        gotPercents << bar.changePercent;
    }
    QCOMPARE(gotDates, dates);
    QCOMPARE(gotChanges, changes);
    QCOMPARE(gotPercents, percents);
}

void TestScanProviders::kLineReplyCopy() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString reply = fixtureText(QStringLiteral("providers/kline-sh600036-hfq.json"));
    StockQQHistoryInterface client;
    client.parse(reply, QStringLiteral("600036"));
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());

    client.setParam(0, dir.filePath(QStringLiteral("kl_")));
    QCOMPARE(client.parse(reply, QStringLiteral("600036")).size(), 480);
    client.parse(reply, QString()); // no code, no copy
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"kl_600036"});
    QCOMPARE(readTextFile(dir.filePath(QStringLiteral("kl_600036"))), reply);
}

void TestScanProviders::kLineRealReplies_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("dates");
    QTest::addColumn<QList<float>>("firstBar"); // open close high low volume
    QTest::newRow("HK, forward adjusted")
        << "tencent-fqkline-1.js" << QStringList{"2018-04-09"}
        << QList<float>{91.00f, 91.85f, 93.50f, 91.00f, 8497462.0f};
    QTest::newRow("forward adjusted")
        << "tencent-fqkline-2-qfq.json" << QStringList{"2026-09-28", "2026-09-29", "2026-09-30"}
        << QList<float>{40.670f, 40.640f, 41.080f, 40.380f, 543918.0f};
    QTest::newRow("unadjusted") << "tencent-fqkline-3-day.json"
                                << QStringList{"2026-09-28", "2026-09-29", "2026-09-30"}
                                << QList<float>{40.980f, 40.950f, 41.380f, 40.690f, 543918.0f};
}

void TestScanProviders::kLineRealReplies() {
    SKIP_WITHOUT_REAL_REPLIES();
    QFETCH(QString, file);
    QFETCH(QStringList, dates);
    QFETCH(QList<float>, firstBar);
    // Each has the shape of an answer, so it is taken as one.
    QVERIFY(isServiceReply(realReplyText(file)));
    StockQQHistoryInterface client;
    const QVector<Stock> bars = client.parse(realReplyText(file), QStringLiteral("600036"));
    QStringList gotDates;
    for (const Stock& bar : bars)
        gotDates << bar.date;
    QCOMPARE(gotDates, dates);
    const Stock& bar = bars.first();
    QCOMPARE((QList<float>{bar.open, bar.close, bar.high, bar.low, bar.volume}), firstBar);
}

// ---- News -----------------------------------------------------------------

void TestScanProviders::newsUrl() {
    StockNewsInterface client;
    const QRegularExpression form(
        QStringLiteral("^http://web\\.ifzq\\.gtimg\\.cn/appstock/news/info/"
                       "search\\?type=3&page=1&n=6&symbol=(\\w+)"
                       "&_appName=android&_net=WIFI&__random_suffix=([^&]+)$"));
    QRegularExpressionMatch match = form.match(client.url(QStringLiteral("000001")));
    QVERIFY(match.hasMatch());
    QCOMPARE(match.captured(1), QStringLiteral("sz000001"));

    // The random number goes out as a double with six significant digits:
    // from a million on in exponent form.
    const QRegularExpression number(QStringLiteral("^(\\d{1,6}|\\d(\\.\\d{1,5})?e\\+0[6-9])$"));
    int exponentForms = 0;
    for (int i = 0; i < 50; ++i) {
        match = form.match(client.url(QStringLiteral("600036")));
        QVERIFY(match.hasMatch());
        QCOMPARE(match.captured(1), QStringLiteral("sh600036"));
        const QString suffix = match.captured(2);
        QVERIFY2(number.match(suffix).hasMatch(), qPrintable(suffix));
        QVERIFY(suffix.toDouble() >= 0.0 && suffix.toDouble() < 2147483648.0);
        exponentForms += suffix.contains(QLatin1Char('e')) ? 1 : 0;
    }
    QVERIFY(exponentForms > 0);
}

void TestScanProviders::newsFetched() {
    StockNewsInterface client;
    const QString url = client.url(QStringLiteral("002460"));
    const QString fixture = fixtureText(QStringLiteral("providers/news-sz002460.json"));
    const QString text = fetchGbkViaProxy(m_server, url, fixture);
    QCOMPARE(text, fixture);
    const QVector<QMap<QString, QString>> rows = client.parse(text, QString());
    // Six items; the names list after them adds no rows.
    QCOMPARE(rows.size(), 6);
    const QStringList times{"2017-10-09 16:42:18", "2017-10-09 15:31:07", "2017-10-09 11:02:55",
                            "2017-10-08 20:17:40", "2017-10-07 09:45:12", "2017-09-30 18:05:33"};
    const QStringList titles{
        "赣锋锂业：2017年前三季度业绩预告修正公告", "锂电池板块午后拉升 赣锋锂业涨停",
        "龙虎榜:机构净买入8536万元 赣锋锂业封板",   "赣锋锂业(002460)：锂价高位运行 业绩弹性可期",
        "新能源汽车积分政策落地 锂资源龙头受益",    "赣锋锂业关于控股股东部分股份质押的公告"};
    for (int i = 0; i < rows.size(); ++i) {
        QCOMPARE(rows.at(i).value(QStringLiteral("time")), times.at(i));
        QCOMPARE(rows.at(i).value(QStringLiteral("title")), titles.at(i));
        QCOMPARE(rows.at(i).value(QStringLiteral("symbol")), QStringLiteral("sz002460"));
        QVERIFY(!rows.at(i).contains(QStringLiteral("name")));
    }
    QCOMPARE(rows.at(0).value(QStringLiteral("url")),
             QStringLiteral("http://stock.qq.com/a/20171009/035412.htm"));
    QCOMPARE(rows.at(3).value(QStringLiteral("src")), QStringLiteral("中国证券网"));
}

void TestScanProviders::newsWithoutItems_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("no items") << QStringLiteral(
        "{\"code\":0,\"msg\":\"\",\"data\":{\"total_num\":0,\"data\":[],\"symbolsName\":[]}}");
    QTest::newRow("error") << QStringLiteral(
        "{\"code\":-1,\"msg\":\"param error: symbol\",\"data\":[]}");
    QTest::newRow("error page") << QStringLiteral(
        "<html><body>502 Bad Gateway: nginx</body></html>");
}

void TestScanProviders::newsWithoutItems() {
    QFETCH(QString, text);
    StockNewsInterface client;
    QCOMPARE(client.parse(text, QString()).size(), 0);
}

void TestScanProviders::newsRealExcerpt() {
    SKIP_WITHOUT_REAL_REPLIES();
    const QString excerpt = realReplyText(QStringLiteral("tencent-news-1.annotated-excerpt.txt"));
    QVERIFY(excerpt.contains(QStringLiteral("symbolsName")));
    StockNewsInterface client;
    // As printed, with its comments: one item, whose keys carry the layout.
    QCOMPARE(client.parse(excerpt, QString()).size(), 1);
    // Without the comments and the layout it is the reply as sent.
    QString json = excerpt;
    json.remove(QRegularExpression(QStringLiteral("\\s//[^\\n]*")));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8(), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const auto rows =
        client.parse(QString::fromUtf8(document.toJson(QJsonDocument::Compact)), QString());
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().value(QStringLiteral("time")), QStringLiteral("2018-09-11 13:51:26"));
    QCOMPARE(rows.first().value(QStringLiteral("symbol")), QStringLiteral("sh603080"));
    QCOMPARE(rows.first().value(QStringLiteral("title")),
             QStringLiteral("天然气概念股再度拉升 河北4市拟上调天然气价格"));
    QCOMPARE(rows.first().value(QStringLiteral("url")),
             QStringLiteral("http://stock.qq.com/a/20180911/075214.htm"));
}

// Every captured reply through every parser: replies of other services give
// no rows or bars unless they hold the array that the parser reads.
void TestScanProviders::foreignRealReplies() {
    SKIP_WITHOUT_REAL_REPLIES();
    const QStringList files = realReplyFiles();
    QVERIFY(files.size() >= 20);
    EastmoneyLHBListInterface list;
    EastmoneyLHBDataInterface seats;
    StockQQHistoryInterface kLines;
    StockNewsInterface news;
    for (const QString& file : files) {
        const QString text = realReplyText(file);
        if (!text.contains(QLatin1String("[{"))) {
            QVERIFY2(list.parse(text, QString()).isEmpty(), qPrintable(file));
            QVERIFY2(news.parse(text, QString()).isEmpty(), qPrintable(file));
        }
        if (!text.contains(QLatin1String("[[")))
            QVERIFY2(kLines.parse(text, QStringLiteral("600036")).isEmpty(), qPrintable(file));
        QVERIFY2(seats.parse(text, QString()).isEmpty(), qPrintable(file));
    }
}

QTEST_GUILESS_MAIN(TestScanProviders)
#include "tst_scanproviders.moc"
