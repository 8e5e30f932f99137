// Daily bars from the daily-history CSV service, from the K-line service
// with a chosen period and adjustment, and from a local K-line file; and the
// stock-list CSV client. Replies are served GBK-encoded by a local server
// that stands in for the real hosts (as an HTTP proxy) and fetched at the
// clients' own URLs.

#include "core/providers/dailyhistory.h"
#include "core/providers/stockhistorycsvinterface.h"
#include "core/providers/stocklistinterface.h"
#include "core/utils.h"

#include "tests/support/fixtures.h"
#include "tests/support/proxyfetch.h"
#include "tests/support/testhttpserver.h"

#include <QDate>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QNetworkProxy>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>
#include <QUrlQuery>

#include <limits>

namespace {

constexpr int kIntMax = std::numeric_limits<int>::max();

const QString kHistoryHeader = QStringLiteral(
    "日期,股票代码,名称,收盘价,最高价,最低价,开盘价,前收盘,涨跌额,涨跌幅,换手率,成交金额,成交量,"
    "流通股本,总股本,成交笔数");

// A history line of 16 fields for the day with the given close.
QString historyLine(const QString& day, const QString& close) {
    return day + QStringLiteral(",'600036,招商银行,") + close +
           QStringLiteral(",2,1,1.5,1,0.1,1,0.5,1000,100,200,300,9");
}

// Header, then the given lines, then filler days numbered down from 26 until
// the reply holds `lines` lines in all (the filler lines come first, as the
// service lists the newest day first).
QString historyReply(const QStringList& given, int lines) {
    QStringList all{kHistoryHeader};
    for (int i = lines - 1 - given.size(); i >= 1; --i)
        all << historyLine(QStringLiteral("f%1").arg(i, 2, 10, QLatin1Char('0')),
                           QStringLiteral("10"));
    all << given;
    return all.join(QLatin1Char('\n'));
}

const QString kStockListHeader = QStringLiteral(
    "代码,名称,所属行业,地区,市盈率,总股本(亿),流通股本(亿),总资产(万),流动资产,固定资产,公积金,"
    "每股公积金,每股收益,每股净资产,市净率,上市日期,未分利润,每股未分配,收入同比(%),利润同比(%),"
    "毛利率(%),净利润率(%),股东人数");

// A stock-list line of 23 fields.
QString stockLine(const QString& code, const QString& name, const QString& total,
                  const QString& floating) {
    return code + QLatin1Char(',') + name + QStringLiteral(",银行,深圳,1,") + total +
           QLatin1Char(',') + floating +
           QStringLiteral(",7,8,9,10,11,12,13,14,20020409,16,17,18,19,20,21,22");
}

QStringList codesOf(const QVector<Stock>& stocks) {
    QStringList codes;
    for (const Stock& stock : stocks)
        codes << stock.code;
    return codes;
}

QStringList datesOf(const QVector<Stock>& stocks) {
    QStringList dates;
    for (const Stock& stock : stocks)
        dates << stock.date;
    return dates;
}

// Texts that no client should choke on.
QStringList makeHostileTexts() {
    QStringList texts{
        QString(),
        QStringLiteral("\n"),
        QString(40, QLatin1Char('\n')),
        QString(40, QLatin1Char('\n')).replace(QLatin1String("\n"), QLatin1String(",\n")),
        QString(60, QLatin1Char(',')),
        QStringLiteral("<html><body>404 Not Found</body></html>")};
    // Lines with the right number of fields but nothing readable in them.
    QStringList commaLines;
    for (int i = 0; i < 40; ++i)
        commaLines << QString(15 + i % 10, QLatin1Char(','));
    texts << commaLines.join(QLatin1Char('\n'));
    // Random bytes, decoded as the fetch decodes every reply.
    QRandomGenerator random(20171009);
    QTextCodec* gbk = QTextCodec::codecForName("GBK");
    for (int i = 0; i < 8; ++i) {
        QByteArray bytes(4096, Qt::Uninitialized);
        for (char& byte : bytes)
            byte = static_cast<char>(random.bounded(256));
        // Some of them rich in separators, so that lines of many fields occur.
        if (i % 2 == 1) {
            for (int j = 0; j < bytes.size(); j += 3)
                bytes[j] = (j % 7 == 0) ? '\n' : ',';
        }
        texts << gbk->toUnicode(bytes);
    }
    return texts;
}

} // namespace

class TestHistoryFiles final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void historyUrls_data();
    void historyUrls();
    void historyFetched();
    void historyShapes_data();
    void historyShapes();
    void historyFieldConversions();
    void historyReplyCopy();

    void qqKLinesRequest_data();
    void qqKLinesRequest();
    void qqKLinesReplyCopy();
    void qqKLinesFailedFetch();

    void kLineFile_data();
    void kLineFile();
    void kLineFileUnreadable();
    void kLineFileFixture();

    void stockListUrls();
    void stockListFetched();
    void stockListShapes_data();
    void stockListShapes();
    void stockListCopy_data();
    void stockListCopy();

    void hostileTexts();
    void foreignRealReplies();

private:
    TestHttpServer m_server;
};

void TestHistoryFiles::initTestCase() {
    QVERIFY(m_server.listenAsApplicationProxy());
}

void TestHistoryFiles::cleanupTestCase() {
    TestHttpServer::removeApplicationProxy();
}

// ---- Daily-history CSV ----------------------------------------------------

void TestHistoryFiles::historyUrls_data() {
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QStringList>("serviceCodes");
    QTest::newRow("Shanghai and Shenzhen")
        << QStringList{"600000", "000001"} << QStringList{"0600000", "1000001"};
    QTest::newRow("order kept") << QStringList{"300750", "601398", "002460"}
                                << QStringList{"1300750", "0601398", "1002460"};
    QTest::newRow("none") << QStringList() << QStringList();
}

void TestHistoryFiles::historyUrls() {
    QFETCH(QStringList, codes);
    QFETCH(QStringList, serviceCodes);
    // 1080 days back, written as the service reads its dates.
    const QString start = QDate::currentDate().addDays(-1080).toString(QStringLiteral("yyyyMMdd"));
    QStringList expected;
    for (const QString& code : serviceCodes)
        expected << QStringLiteral("http://quotes.money.163.com/service/chddata.html?code=") +
                        code + QStringLiteral("&start=") + start;
    StockHistoryCsvInterface client;
    QCOMPARE(client.urls(codes), expected);
}

void TestHistoryFiles::historyFetched() {
    StockHistoryCsvInterface client;
    const QString url = client.urls({QStringLiteral("600036")}).value(0);
    const QString fixture = fixtureText(QStringLiteral("providers/history-csv-600036.csv"));
    QVERIFY(fixture.contains(QStringLiteral("招商银行")));
    const QString text = fetchGbkViaProxy(m_server, url, fixture);
    QCOMPARE(text, fixture);

    const QVector<Stock> bars = client.parse(text);
    // 26 days, one of them suspended (close 0), oldest first.
    QCOMPARE(bars.size(), 25);
    QVERIFY(!datesOf(bars).contains(QStringLiteral("2017-09-15")));
    for (int i = 1; i < bars.size(); ++i)
        QVERIFY(bars.at(i - 1).date < bars.at(i).date);

    // 2017-08-28,'600036,招商银行,26.00,26.30,25.80,25.90,25.95,0.05,0.1927,
    // 0.2500,1500000000.0,58000000,20628944429,25219845601,60000
    const Stock& first = bars.first();
    QCOMPARE(first.date, QStringLiteral("2017-08-28"));
    QCOMPARE(first.code, QStringLiteral("600036"));
    QCOMPARE(first.name, QStringLiteral("招商银行"));
    QCOMPARE(first.close, 26.00f);
    QCOMPARE(first.high, 26.30f);
    QCOMPARE(first.low, 25.80f);
    QCOMPARE(first.open, 25.90f);
    QCOMPARE(first.change, 0.05f);
    QCOMPARE(first.changePercent, 0.1927f);
    QCOMPARE(first.turnoverRate, 0.25f);
    QCOMPARE(first.amount, 1500000000.0f);
    QCOMPARE(first.volume, 58000000.0f);
    // Share counts beyond the int range stay at its end, not wrapped.
    QCOMPARE(first.floatShares, kIntMax);
    QCOMPARE(first.totalShares, kIntMax);
    QCOMPARE(first.preClose, 0.0f); // field 7 is not read

    const Stock& last = bars.last();
    QCOMPARE(last.date, QStringLiteral("2017-10-09"));
    QCOMPARE(last.close, 27.25f);
    QCOMPARE(last.open, 27.15f);
    QCOMPARE(last.volume, 58250000.0f);
    // The day after the suspension.
    const int resumed = datesOf(bars).indexOf(QStringLiteral("2017-09-18"));
    QCOMPARE(bars.at(resumed - 1).date, QStringLiteral("2017-09-14"));
}

void TestHistoryFiles::historyShapes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("dates");
    const QString d1 = historyLine(QStringLiteral("d1"), QStringLiteral("10"));
    // The filler days as parsed: the reply's last line first.
    QStringList twentySix;
    for (int i = 1; i <= 26; ++i)
        twentySix << QStringLiteral("f%1").arg(i, 2, 10, QLatin1Char('0'));

    QTest::newRow("27 lines: 26 days") << historyReply({}, 27) << twentySix;
    QTest::newRow("26 lines: too short") << historyReply({}, 26) << QStringList();
    // Empty lines count as lines, and are skipped as rows.
    QTest::newRow("short reply padded with blank lines")
        << historyReply({d1}, 3) + QString(24, QLatin1Char('\n')) << QStringList{"d1", "f01"};
    QTest::newRow("close 0 and below 0.01 skipped")
        << historyReply({historyLine("z1", "0"), historyLine("z2", "0.009"),
                         historyLine("z3", "0.01"), historyLine("z4", "-5")},
                        30)
        << (twentySix.mid(0, 25) + QStringList{"z3"}); // in date order
    QTest::newRow("15 and 17 fields skipped")
        << historyReply({QStringLiteral("a,'600036,n,10,1,1,1,1,1,1,1,1,1,1,1"),
                         QStringLiteral("b,'600036,n,10,1,1,1,1,1,1,1,1,1,1,1,1,1"), d1},
                        30)
        << (QStringList{"d1"} + twentySix);
    QTest::newRow("CRLF line ends")
        << historyReply({d1}, 27).replace(QLatin1String("\n"), QLatin1String("\r\n")) + "\r\n"
        << (QStringList{"d1"} + twentySix.mid(0, 25));
    QTest::newRow("empty") << QString() << QStringList();
}

void TestHistoryFiles::historyShapes() {
    QFETCH(QString, text);
    QFETCH(QStringList, dates);
    StockHistoryCsvInterface client;
    QCOMPARE(datesOf(client.parse(text)), dates);
}

void TestHistoryFiles::historyFieldConversions() {
    // The walk runs from the reply's last line: "a" comes first, then "b".
    const QString text = historyReply(
        {QStringLiteral("b,X600519,贵州茅台, 12.5 ,abc,,1e2,9,-0.3,-2.34,0.7,1.5e9,2e5,123456789,"
                        "-3e10,x"),
         QStringLiteral("a,,短,7,1,1,1,1,1,1,1,1,1,2147483647.9,nan,")},
        27);
    StockHistoryCsvInterface client;
    const QVector<Stock> bars = client.parse(text);
    QCOMPARE(bars.size(), 26);

    const Stock& b = bars.at(1);
    QCOMPARE(b.date, QStringLiteral("b"));
    QCOMPARE(b.code, QStringLiteral("600519")); // without its first character
    QCOMPARE(b.name, QStringLiteral("贵州茅台"));
    QCOMPARE(b.close, 12.5f); // trimmed
    QVERIFY(std::isnan(b.high)); // not a number
    QVERIFY(std::isnan(b.low));  // empty
    QCOMPARE(b.open, 100.0f);
    QCOMPARE(b.change, -0.3f);
    QCOMPARE(b.changePercent, -2.34f);
    QCOMPARE(b.turnoverRate, 0.7f);
    QCOMPARE(b.amount, 1.5e9f);
    QCOMPARE(b.volume, 2e5f);
    // Nine digits survive whole (a float would give 123456792).
    QCOMPARE(b.floatShares, 123456789);
    QCOMPARE(b.totalShares, std::numeric_limits<int>::min());

    const Stock& a = bars.at(0);
    QCOMPARE(a.date, QStringLiteral("a"));
    QCOMPARE(a.code, QString());
    QCOMPARE(a.floatShares, kIntMax); // truncated toward zero
    QCOMPARE(a.totalShares, 0);       // not a number
}

void TestHistoryFiles::historyReplyCopy() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fixture = fixtureText(QStringLiteral("providers/history-csv-600036.csv"));
    StockHistoryCsvInterface client;
    QCOMPARE(client.parse(fixture).size(), 25);
    QVERIFY(QDir(dir.path()).isEmpty());

    // The folder is created when missing; the copy is named by the code.
    const QString folder = dir.filePath(QStringLiteral("csv/daily/"));
    client.setDirectory(folder);
    QCOMPARE(client.parse(fixture).size(), 25);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"600036"});
    QCOMPARE(readTextFile(folder + QStringLiteral("600036")), fixture);

    // No bars, no code: nothing is written.
    client.setDirectory(dir.filePath(QStringLiteral("none_")));
    QVERIFY(client.parse(historyReply({}, 10)).isEmpty());
    // A code that is a path must not lead the copy out of the folder.
    const QString hostile = historyReply(
        {historyLine("x", "10").replace(QLatin1String("'600036"), QLatin1String("'../../x"))}, 27);
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("deep/er")));
    client.setDirectory(dir.filePath(QStringLiteral("deep/er/")));
    QCOMPARE(client.parse(hostile).size(), 26);

    QStringList files;
    QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(dir.path()).relativeFilePath(it.next());
    QCOMPARE(files, QStringList{"csv/daily/600036"});
}

// ---- K-line history with period and adjustment ----------------------------

void TestHistoryFiles::qqKLinesRequest_data() {
    QTest::addColumn<QString>("period");
    QTest::addColumn<QString>("adjust");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("param");
    QTest::newRow("unknown values keep the defaults") << "minute"
                                                      << "none"
                                                      << "600036"
                                                      << "sh600036,day,,,480,hfq";
    QTest::newRow("week, forward adjusted") << "week"
                                            << "qfq"
                                            << "600036"
                                            << "sh600036,week,,,480,qfq";
    QTest::newRow("month, unadjusted") << "month"
                                       << "bfq"
                                       << "000001"
                                       << "sz000001,month,,,480,bfq";
    QTest::newRow("exact comparison") << "Week"
                                      << "QFQ"
                                      << "300750"
                                      << "sz300750,day,,,480,hfq";
    QTest::newRow("empty") << ""
                           << ""
                           << "600036"
                           << "sh600036,day,,,480,hfq";
}

void TestHistoryFiles::qqKLinesRequest() {
    SKIP_WITHOUT_REAL_REPLIES();
    QFETCH(QString, period);
    QFETCH(QString, adjust);
    QFETCH(QString, code);
    QFETCH(QString, param);
    // The real reply of the service for three days; the route answers the
    // path whatever the random number in the query.
    const QString reply = realReplyText(QStringLiteral("tencent-fqkline-2-qfq.json"));
    QVERIFY(!reply.isEmpty());
    m_server.clearRequests();
    m_server.setRoute(QStringLiteral("/appstock/app/fqkline/get"), toGbk(reply));

    const QVector<Stock> bars = fetchQQKLines(code, period, adjust, QString());

    const QStringList requests = m_server.requests();
    QCOMPARE(requests.size(), 1);
    const QUrl url(requests.first());
    QCOMPARE(url.host(), QStringLiteral("web.ifzq.gtimg.cn"));
    QCOMPARE(url.path(), QStringLiteral("/appstock/app/fqkline/get"));
    const QUrlQuery query(url);
    QCOMPARE(query.queryItemValue(QStringLiteral("p")), QStringLiteral("1"));
    QCOMPARE(query.queryItemValue(QStringLiteral("param")), param);

    // ["2026-09-28","40.670","40.640","41.080","40.380","543918.000"], ...
    QCOMPARE(datesOf(bars), (QStringList{"2026-09-28", "2026-09-29", "2026-09-30"}));
    QCOMPARE(bars.first().code, code);
    QCOMPARE(bars.first().open, 40.670f);
    QCOMPARE(bars.first().close, 40.640f);
    QCOMPARE(bars.first().high, 41.080f);
    QCOMPARE(bars.first().low, 40.380f);
    QCOMPARE(bars.first().volume, 543918.0f);
    QCOMPARE(bars.last().close, 41.260f);
}

void TestHistoryFiles::qqKLinesReplyCopy() {
    SKIP_WITHOUT_REAL_REPLIES();
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString reply = realReplyText(QStringLiteral("tencent-fqkline-3-day.json"));
    m_server.setRoute(QStringLiteral("/appstock/app/fqkline/get"), toGbk(reply));
    const QString prefix = dir.filePath(QStringLiteral("kl_"));
    QCOMPARE(fetchQQKLines(QStringLiteral("600036"), QStringLiteral("day"), QStringLiteral("bfq"),
                           prefix)
                 .size(),
             3);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"kl_600036"});
    QCOMPARE(readTextFile(prefix + QStringLiteral("600036")), reply);
}

void TestHistoryFiles::qqKLinesFailedFetch() {
    // An error page and a service that cannot be reached give no bars.
    m_server.setRoute(QStringLiteral("/appstock/app/fqkline/get"),
                      "<html><body>502 Bad Gateway, a,b,c,d,e,f</body></html>", 502);
    QVERIFY(fetchQQKLines(QStringLiteral("600036"), QStringLiteral("day"), QStringLiteral("hfq"),
                          QString())
                .isEmpty());
    TestHttpServer::removeApplicationProxy();
    QNetworkProxy unreachable(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), 1);
    QNetworkProxy::setApplicationProxy(unreachable);
    const QVector<Stock> bars = fetchQQKLines(QStringLiteral("600036"), QStringLiteral("day"),
                                              QStringLiteral("hfq"), QString());
    m_server.installAsApplicationProxy();
    QVERIFY(bars.isEmpty());
}

// ---- Local K-line file ----------------------------------------------------

void TestHistoryFiles::kLineFile_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("dates");
    const QByteArray three = "2017-10-09,66.0,67.5,66.4,65.8,12345678,987654321\n"
                             "2017-10-10,66.4,68.0,67.9,66.1,20000000,1350000000\n"
                             "2017-10-11,67.9,68.2,67.0,66.9,15000000,1010000000\n";
    QTest::newRow("three bars") << three << QStringList{"2017-10-09", "2017-10-10", "2017-10-11"};
    QTest::newRow("no final line break")
        << three.left(three.size() - 1) << QStringList{"2017-10-09", "2017-10-10", "2017-10-11"};
    QTest::newRow("CRLF") << QByteArray(three).replace("\n", "\r\n")
                          << QStringList{"2017-10-09", "2017-10-10", "2017-10-11"};
    QTest::newRow("third line of six fields ends the reading")
        << three.left(three.lastIndexOf("2017-10-11")) +
               "2017-10-11,1,2,3,4,5\n2017-10-12,1,2,3,4,5,6\n"
        << QStringList{"2017-10-09", "2017-10-10"};
    QTest::newRow("eight fields first") << "d,1,2,3,4,5,6,7\n" + three << QStringList();
    QTest::newRow("blank line ends the reading")
        << three.left(three.indexOf("2017-10-10")) + "\n" + three.mid(three.indexOf("2017-10-10"))
        << QStringList{"2017-10-09"};
    QTest::newRow("empty file") << QByteArray() << QStringList();
    // One bar per date, whatever the file repeats.
    QTest::newRow("fields of nothing") << QByteArray(",,,,,,\n,,,,,,\n") << QStringList{""};
}

void TestHistoryFiles::kLineFile() {
    QFETCH(QByteArray, content);
    QFETCH(QStringList, dates);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("600036.csv"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    const QVector<Stock> bars = loadKLineCsvFile(path, QStringLiteral("600036"));
    QCOMPARE(datesOf(bars), dates);
    for (const Stock& bar : bars)
        QCOMPARE(bar.code, QStringLiteral("600036"));
    if (dates.value(0) == QLatin1String("2017-10-09")) {
        // 2017-10-09,66.0,67.5,66.4,65.8,12345678,987654321: open, high,
        // close, low; volume and amount in units of ten thousand.
        const Stock& bar = bars.first();
        QCOMPARE(bar.open, 66.0f);
        QCOMPARE(bar.high, 67.5f);
        QCOMPARE(bar.close, 66.4f);
        QCOMPARE(bar.low, 65.8f);
        QCOMPARE(bar.volume, 1234.5678f);
        QCOMPARE(bar.amount, 98765.4321f);
        QCOMPARE(bar.change, 0.0f);
        QVERIFY(bar.name.isEmpty());
    }
}

void TestHistoryFiles::kLineFileUnreadable() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(loadKLineCsvFile(dir.filePath(QStringLiteral("missing.csv")), QStringLiteral("600036"))
                .isEmpty());
    QVERIFY(loadKLineCsvFile(dir.path(), QStringLiteral("600036")).isEmpty());
    QVERIFY(loadKLineCsvFile(QString(), QStringLiteral("600036")).isEmpty());

    // Figures beyond a float give an infinity, not an undefined conversion.
    const QString path = dir.filePath(QStringLiteral("huge.csv"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("d,1,1,1,1,1e300,-1e300\n");
    file.close();
    const QVector<Stock> bars = loadKLineCsvFile(path, QString());
    QCOMPARE(bars.size(), 1);
    QVERIFY(qIsInf(bars.first().volume) && bars.first().volume > 0);
    QVERIFY(qIsInf(bars.first().amount) && bars.first().amount < 0);
}

void TestHistoryFiles::kLineFileFixture() {
    const QVector<Stock> bars = loadKLineCsvFile(
        fixturePath(QStringLiteral("providers/kline-file-600036.csv")), QStringLiteral("600036"));
    QCOMPARE(bars.size(), 26);
    // 2017-08-28,26.00,26.40,26.10,25.80,58000000,1500000000
    QCOMPARE(bars.first().date, QStringLiteral("2017-08-28"));
    QCOMPARE(bars.first().open, 26.00f);
    QCOMPARE(bars.first().high, 26.40f);
    QCOMPARE(bars.first().close, 26.10f);
    QCOMPARE(bars.first().low, 25.80f);
    QCOMPARE(bars.first().volume, 5800.0f);
    QCOMPARE(bars.first().amount, 150000.0f);
    // 2017-10-09,27.25,27.65,27.35,27.05,58250000,1525000000
    QCOMPARE(bars.last().date, QStringLiteral("2017-10-09"));
    QCOMPARE(bars.last().close, 27.35f);
    QCOMPARE(bars.last().volume, 5825.0f);
    QCOMPARE(bars.last().amount, 152500.0f);
}

// ---- Stock list -----------------------------------------------------------

void TestHistoryFiles::stockListUrls() {
    StockListInterface client;
    const QStringList expected{QStringLiteral("http://218.244.146.57/static/all.csv")};
    QCOMPARE(client.urls(QStringList()), expected);
    QCOMPARE(client.urls({QStringLiteral("600036"), QStringLiteral("000001")}), expected);
}

void TestHistoryFiles::stockListFetched() {
    QDir(QStringLiteral("data")).removeRecursively();
    StockListInterface client;
    const QString url = client.urls(QStringList()).value(0);
    const QString fixture = fixtureText(QStringLiteral("providers/stocklist-all.csv"));
    const QString text = fetchGbkViaProxy(m_server, url, fixture);
    QCOMPARE(text, fixture);

    const QVector<Stock> stocks = client.parse(text, QString());
    // Dropped: *ST长油 and ST生化 (ST), 300001 (no tradable shares),
    // 300002 (no share capital), 300003 (0.00005 gives less than one), and
    // the lines of 22 and 24 fields.
    QCOMPARE(codesOf(stocks),
             (QStringList{"600036", "000002", "002460", "603999", "601398", "000006"}));

    // 600036,招商银行,银行,深圳,8.73,252.20,206.29,62979800.00,0.00,3264300.00,
    // 6752300.00,2.68,1.86,19.06,1.43,20020409,23469900.00,9.31,2.45,11.34,
    // 0.00,38.14,459238
    const Stock& cmb = stocks.at(0);
    QCOMPARE(cmb.name, QStringLiteral("招商银行"));
    QCOMPARE(cmb.industry, QStringLiteral("银行"));
    QCOMPARE(cmb.area, QStringLiteral("深圳"));
    QCOMPARE(cmb.totalShares, 2522000);
    QCOMPARE(cmb.floatShares, 2062900);
    QCOMPARE(cmb.listingDate, QStringLiteral("20020409"));
    const QList<float> values{8.73f, 62979800.0f, 0.0f,   3264300.0f, 6752300.0f,
                              2.68f, 1.86f,       19.06f, 1.43f,      23469900.0f,
                              9.31f, 2.45f,       11.34f, 0.0f,       38.14f};
    for (int i = 0; i < 15; ++i)
        QCOMPARE(cmb.csvValues[i], values.at(i));
    QCOMPARE(cmb.csvLastValue, 459238);
    QVERIFY(cmb.date.isEmpty() && cmb.close == 0.0f && !cmb.selected);

    QCOMPARE(stocks.at(1).name, QStringLiteral("万 科Ａ")); // inner blank kept
    QCOMPARE(stocks.at(4).totalShares, 35640600);
    QCOMPARE(stocks.at(4).floatShares, 26961200);
    // Empty number fields read as no figure (the share counts, ints, as 0).
    const Stock& empty = stocks.at(5);
    QCOMPARE(empty.totalShares, 135000);
    QCOMPARE(empty.floatShares, 134900);
    QCOMPARE(empty.csvValues[0], 19.33f);
    for (int i = 1; i < 15; ++i)
        QVERIFY(std::isnan(empty.csvValues[i]));
    QCOMPARE(empty.csvLastValue, 0);
    QCOMPARE(empty.listingDate, QStringLiteral("19920427"));

    // The reply is kept unchanged as the local copy, its folder created.
    QCOMPARE(readTextFile(QStringLiteral("data/all.csv")), fixture);
}

void TestHistoryFiles::stockListShapes_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("codes");
    QTest::newRow("ST anywhere, lower-case st kept")
        << QStringList{stockLine("1", "*ST中华", "1", "1"), stockLine("2", "中华ST", "1", "1"),
                       stockLine("3", "S*ST前锋", "1", "1"), stockLine("4", "st中华", "1", "1"),
                       stockLine("5", "中St华", "1", "1")}
        << QStringList{"4", "5"};
    QTest::newRow("share counts") << QStringList{stockLine("1", "a", "0", "1"),
                                                 stockLine("2", "b", "1", ""),
                                                 stockLine("3", "c", "0.00005", "1"),
                                                 stockLine("4", "d", "0.0001", "0.0001"),
                                                 stockLine("5", "e", "-1", "1"),
                                                 stockLine("6", "f", "x", "1")}
                                  << QStringList{"4"};
    QTest::newRow("field counts")
        << QStringList{stockLine("1", "a", "1", "1").section(QLatin1Char(','), 0, 21),
                       stockLine("2", "b", "1", "1") + QStringLiteral(",x"),
                       stockLine("3", "c", "1", "1")}
        << QStringList{"3"};
    // A header of the stock lines' own shape is not read as a stock.
    QTest::newRow("header skipped") << QStringList() << QStringList();
}

void TestHistoryFiles::stockListShapes() {
    QFETCH(QStringList, lines);
    QFETCH(QStringList, codes);
    StockListInterface client;
    const QString header = stockLine(QStringLiteral("0"), QStringLiteral("header"),
                                     QStringLiteral("1"), QStringLiteral("1"));
    const QString text = (QStringList{header} + lines).join(QStringLiteral("\r\n"));
    QCOMPARE(codesOf(client.parse(text, QString())), codes);
}

void TestHistoryFiles::stockListCopy_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("header only") << kStockListHeader + QStringLiteral("\r\n");
    QTest::newRow("empty") << QString();
}

void TestHistoryFiles::stockListCopy() {
    QFETCH(QString, text);
    QDir(QStringLiteral("data")).removeRecursively();
    StockListInterface client;
    QVERIFY(client.parse(text, QString()).isEmpty());
    QVERIFY(QFile::exists(QStringLiteral("data/all.csv")));
    QCOMPARE(readTextFile(QStringLiteral("data/all.csv")), text);
}

// ---- Hostile and foreign texts --------------------------------------------

void TestHistoryFiles::hostileTexts() {
    QStringList texts = makeHostileTexts();
    // The fixtures cut off anywhere.
    const QString history = fixtureText(QStringLiteral("providers/history-csv-600036.csv"));
    const QString list = fixtureText(QStringLiteral("providers/stocklist-all.csv"));
    for (int cut : {1, 17, 500, 1234, 2000})
        texts << history.left(cut) << list.left(cut);

    StockHistoryCsvInterface historyClient;
    StockListInterface listClient;
    for (const QString& text : texts) {
        for (const Stock& bar : historyClient.parse(text))
            QVERIFY(bar.close >= 0.01f);
        for (const Stock& stock : listClient.parse(text, QString())) {
            QVERIFY(stock.totalShares >= 1 && stock.floatShares >= 1);
            QVERIFY(!stock.name.contains(QLatin1String("ST")));
        }
    }

    // A history fixture cut after its 27th line break still reads whole days.
    int at = -1;
    for (int i = 0; i < 27; ++i)
        at = history.indexOf(QLatin1Char('\n'), at + 1);
    QCOMPARE(historyClient.parse(history.left(at + 1)).size(), 25);
    QVERIFY(historyClient.parse(history.left(at)).size() == 25);
    const int halfLine = history.lastIndexOf(QLatin1Char(','), at - 1);
    // The last (oldest) line cut inside its fields is skipped.
    QCOMPARE(historyClient.parse(history.left(halfLine)).first().date,
             QStringLiteral("2017-08-29"));
}

// None of the captured replies is of these services: none gives a record.
void TestHistoryFiles::foreignRealReplies() {
    SKIP_WITHOUT_REAL_REPLIES();
    const QStringList files = realReplyFiles();
    QVERIFY(files.size() >= 20);
    StockHistoryCsvInterface history;
    StockListInterface list;
    for (const QString& file : files) {
        const QString text = realReplyText(file);
        QVERIFY2(history.parse(text).isEmpty(), qPrintable(file));
        QVERIFY2(list.parse(text, QString()).isEmpty(), qPrintable(file));
        QVERIFY2(loadKLineCsvFile(realReplyPath(file), QStringLiteral("600036")).isEmpty(),
                 qPrintable(file));
    }
}

QTEST_GUILESS_MAIN(TestHistoryFiles)
#include "tst_historyfiles.moc"
