// The real-time quote clients: Tencent short quotes, Sina full quotes with
// the bid/ask screen, and the Sina market centre's quote list. URLs as the
// services take them, parses field by field on fixture replies (served
// GBK-encoded through a local proxy at the clients' own URLs), captured real
// replies and hostile texts.

#include "core/providers/realtimequotes.h"
#include "core/providers/sinarealtimeinterface.h"

#include "tests/support/fixtures.h"
#include "tests/support/hostileinputs.h"
#include "tests/support/proxyfetch.h"
#include "tests/support/testhttpserver.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <cmath>

namespace {

QStringList codeRange(int count) {
    QStringList codes;
    for (int i = 0; i < count; ++i)
        codes.append(QStringLiteral("%1").arg(600000 + i));
    return codes;
}

// Texts no parser may stumble over.
QStringList hostileTexts() {
    QStringList texts{
        QString(),
        QStringLiteral("\""),
        QStringLiteral("\"\""),
        QStringLiteral("="),
        QStringLiteral("=\"\""),
        QStringLiteral("\"=\""),
        QStringLiteral(";;;"),
        QStringLiteral("~~~~~~~~~"),
        QStringLiteral("~~~~~~~~~\n~~~~~~~~~"),
        QStringLiteral("[{"),
        QStringLiteral("}]"),
        QStringLiteral("[{}]"),
        QStringLiteral("[{:,:}]"),
        QStringLiteral("null"),
        QString(32, QLatin1Char(',')).prepend(QLatin1Char('"')).append(QLatin1Char('"')),
        QStringLiteral("<html><body>502 Bad Gateway</body></html>")};
    QRandomGenerator random(4242);
    for (int n = 0; n < 20; ++n) {
        const int length = static_cast<int>(random.bounded(400));
        texts.append(randomText(random, length));
    }
    return texts;
}

} // namespace

class TestQuoteClients final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void batches_data();
    void batches();

    void qqUrl();
    void qqUrls();
    void qqRandomTag();
    void qqFetched();
    void qqStopsAtForeignLine();
    void qqRealReplies_data();
    void qqRealReplies();

    void sinaUrls();
    void sinaLine();
    void sinaScreen_data();
    void sinaScreen();
    void sinaFetched();
    void sinaLineShapes_data();
    void sinaLineShapes();
    void sinaRealReplies_data();
    void sinaRealReplies();

    void nodeUrls();
    void nodeFetched();
    void nodeRealReplies_data();
    void nodeRealReplies();

    void hostileInputs();

private:
    TestHttpServer m_server;
};

void TestQuoteClients::initTestCase() {
    QVERIFY(m_server.listenAsApplicationProxy());
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    qsrand(20171009);
    QT_WARNING_POP
}

void TestQuoteClients::cleanupTestCase() {
    TestHttpServer::removeApplicationProxy();
}

// ---- Batches ----------------------------------------------------------------

void TestQuoteClients::batches_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("size");
    QTest::addColumn<QVector<QStringList>>("expected");
    const QStringList c130 = codeRange(130);
    QStringList tail130{c130.at(129), c130.at(128)};
    QTest::newRow("130 by 64") << 130 << 64
                               << QVector<QStringList>{c130.mid(0, 64), c130.mid(64, 64), tail130};
    const QStringList c128 = codeRange(128);
    QTest::newRow("128 by 64") << 128 << 64
                               << QVector<QStringList>{c128.mid(0, 64), c128.mid(64, 64)};
    QStringList reversed20 = codeRange(20);
    std::reverse(reversed20.begin(), reversed20.end());
    QTest::newRow("20 by 21") << 20 << 21 << QVector<QStringList>{reversed20};
    QTest::newRow("none") << 0 << 21 << QVector<QStringList>();
    QTest::newRow("one") << 1 << 64 << QVector<QStringList>{codeRange(1)};
}

void TestQuoteClients::batches() {
    QFETCH(int, count);
    QFETCH(int, size);
    QFETCH(QVector<QStringList>, expected);
    QCOMPARE(batchCodes(codeRange(count), size), expected);
}

// ---- Tencent short quotes ---------------------------------------------------

void TestQuoteClients::qqUrl() {
    const QString url = qqRealtimeUrl({QStringLiteral("600036"), QStringLiteral("000001"),
                                       QStringLiteral("300059"), QStringLiteral("900901")});
    const QRegularExpression shape(
        QStringLiteral("^http://qt\\.gtimg\\.cn/r=(.{7})q=s_sh600036,s_sz000001,s_sz300059$"));
    const QRegularExpressionMatch match = shape.match(url);
    QVERIFY2(match.hasMatch(), qPrintable(url));
    QVERIFY(!match.captured(1).contains(QLatin1Char('q')));
    // Only foreign codes: nothing after "q=".
    QVERIFY(qqRealtimeUrl({QStringLiteral("900901")}).endsWith(QLatin1String("q=")));
}

void TestQuoteClients::qqUrls() {
    const QStringList urls = qqRealtimeUrls(codeRange(130));
    QCOMPARE(urls.size(), 3);
    QCOMPARE(urls.at(0).count(QLatin1String("s_sh")), 64);
    QCOMPARE(urls.at(1).count(QLatin1String("s_sh")), 64);
    QVERIFY(urls.at(2).endsWith(QLatin1String("q=s_sh600129,s_sh600128")));
    QVERIFY(qqRealtimeUrls({}).isEmpty());
}

void TestQuoteClients::qqRandomTag() {
    // The tag is the fraction in "g" form padded with underscores to seven
    // characters, so it never runs into the "q=" that follows.
    for (int i = 0; i < 200; ++i) {
        const QString url = qqRealtimeUrl({QStringLiteral("600036")});
        const QString tag = url.mid(url.indexOf(QLatin1String("r=")) + 2, 7);
        QCOMPARE(url.mid(url.indexOf(QLatin1String("r=")) + 9, 2), QStringLiteral("q="));
        QString number = tag;
        number.remove(QLatin1Char('_'));
        bool ok = false;
        const double value = number.toDouble(&ok);
        QVERIFY2(ok || number.contains(QLatin1Char('e')), qPrintable(tag));
        if (ok)
            QVERIFY(value >= 0.0 && value < 1.0);
        if (tag.contains(QLatin1Char('_')))
            QVERIFY(tag.endsWith(QLatin1Char('_')));
    }
}

void TestQuoteClients::qqFetched() {
    const QString fixture = fixtureText(QStringLiteral("providers/qq-shortquote.txt"));
    QVERIFY(fixture.contains(QStringLiteral("招商银行")));
    const QString url = qqRealtimeUrl(
        {QStringLiteral("600036"), QStringLiteral("000001"), QStringLiteral("300059")});
    const QString text = fetchGbkViaProxy(m_server, url, fixture);
    QCOMPARE(text, fixture);
    const QVector<Stock> stocks = parseQqRealtime(text);
    QCOMPARE(stocks.size(), 3);

    const Stock& cmb = stocks.at(0);
    QCOMPARE(cmb.name, QStringLiteral("招商银行"));
    QCOMPARE(cmb.code, QStringLiteral("600036"));
    QCOMPARE(cmb.close, 27.64f);
    QCOMPARE(cmb.change, 0.42f);
    QCOMPARE(cmb.changePercent, 1.54f);
    QCOMPARE(cmb.volume, 53.8927f);
    QCOMPARE(cmb.preClose, 27.22f);
    QCOMPARE(cmb.turnoverRate, 0.0f);
    QCOMPARE(cmb.amount, 0.0f);
    QVERIFY(cmb.date.isEmpty());

    QCOMPARE(stocks.at(1).code, QStringLiteral("000001"));
    QCOMPARE(stocks.at(1).change, -0.13f);
    QCOMPARE(stocks.at(1).preClose, 11.40f);
    QCOMPARE(stocks.at(1).volume, 100.2345f);
    QCOMPARE(stocks.at(2).name, QStringLiteral("东方财富"));
    QCOMPARE(stocks.at(2).preClose, 15.77f);
}

void TestQuoteClients::qqStopsAtForeignLine() {
    const QStringList good = fixtureText(QStringLiteral("providers/qq-shortquote.txt")).split('\n');
    // Two good lines, one of 9 fields, then a fourth good line.
    const QString text = good.at(0) + '\n' + good.at(1) + '\n' +
                         QStringLiteral("v_s_sz300059=\"51~东方财富~300059~17.35~1.58~10.02~"
                                        "2860012~483211\";") +
                         '\n' + good.at(2) + '\n';
    const QVector<Stock> stocks = parseQqRealtime(text);
    QCOMPARE(stocks.size(), 2);
    QCOMPARE(stocks.at(1).code, QStringLiteral("000001"));
}

void TestQuoteClients::qqRealReplies_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<float>("firstClose");
    QTest::addColumn<float>("firstPreClose");
    QTest::addColumn<float>("firstVolume");
    QTest::newRow("shortquote-1") << "tencent-shortquote-1.txt" << QStringList{"000858"} << 18.10f
                                  << 18.09f << 9.4583f;
    QTest::newRow("shortquote-2") << "tencent-shortquote-2.txt" << QStringList{"600519"} << 358.74f
                                  << 361.29f << 2.7705f;
    QTest::newRow("shortquote-3") << "tencent-shortquote-3.txt" << QStringList{"000001", "399001"}
                                  << 3563.74f << 3533.78f << 18255.1923f;
    // Full quotes have 88 fields a line: not the short shape, so nothing.
    QTest::newRow("quote-full-1") << "tencent-quote-full-1.txt" << QStringList() << 0.0f << 0.0f
                                  << 0.0f;
    QTest::newRow("quote-full-2") << "tencent-quote-full-2.txt" << QStringList() << 0.0f << 0.0f
                                  << 0.0f;
    QTest::newRow("hkquote") << "tencent-hkquote-1.txt" << QStringList() << 0.0f << 0.0f << 0.0f;
}

void TestQuoteClients::qqRealReplies() {
    SKIP_WITHOUT_REAL_REPLIES();
    QFETCH(QString, file);
    QFETCH(QStringList, codes);
    QFETCH(float, firstClose);
    QFETCH(float, firstPreClose);
    QFETCH(float, firstVolume);
    const QString text = realReplyText(file);
    QVERIFY(!text.isEmpty());
    const QVector<Stock> stocks = parseQqRealtime(text);
    QStringList parsed;
    for (const Stock& stock : stocks)
        parsed.append(stock.code);
    QCOMPARE(parsed, codes);
    if (!stocks.isEmpty()) {
        QCOMPARE(stocks.first().close, firstClose);
        QCOMPARE(stocks.first().preClose, firstPreClose);
        QCOMPARE(stocks.first().volume, firstVolume);
        QVERIFY(!stocks.first().name.isEmpty());
    }
}

// ---- Sina full quotes -------------------------------------------------------

void TestQuoteClients::sinaUrls() {
    QCOMPARE(sinaRealtimeUrl({}), QString());
    QCOMPARE(sinaRealtimeUrl({QStringLiteral("600036"), QStringLiteral("000001")}),
             QStringLiteral("http://hq.sinajs.cn/list=sh600036,sz000001"));
    const QStringList urls = sinaRealtimeUrls(codeRange(43));
    QCOMPARE(urls.size(), 3);
    QCOMPARE(urls.at(0).count(QLatin1Char(',')), 20);
    QCOMPARE(urls.at(2), QStringLiteral("http://hq.sinajs.cn/list=sh600042"));
    QVERIFY(sinaRealtimeUrls({}).isEmpty());
}

void TestQuoteClients::sinaLine() {
    const QString line =
        fixtureText(QStringLiteral("providers/sina-hq-list.txt")).section(';', 0, 0);
    const Stock stock = parseSinaQuoteLine(line);
    QCOMPARE(stock.code, QStringLiteral("600036"));
    QCOMPARE(stock.name, QStringLiteral("招商银行"));
    QCOMPARE(stock.open, 27.30f);
    QCOMPARE(stock.preClose, 27.22f);
    QCOMPARE(stock.close, 27.64f);
    QCOMPARE(stock.high, 27.80f);
    QCOMPARE(stock.low, 27.10f);
    // 53892799 shares: whole lots of 100, the rest dropped.
    QCOMPARE(stock.volume, 538927.0f);
    QCOMPARE(stock.amount, 148926.0f);
    const int bids[5] = {300, 200, 100, 50, 50};
    const int asks[5] = {40, 30, 20, 5, 5};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(stock.bidVolumes[i], bids[i]);
        QCOMPARE(stock.askVolumes[i], asks[i]);
    }
    QCOMPARE(stock.date, QStringLiteral("2017-10-09"));
    QCOMPARE(stock.time, QStringLiteral("15:00:03"));
    QCOMPARE(stock.change, 0.42f);
    QCOMPARE(stock.changePercent, 0.42f * 100.0f / 27.22f);
    QCOMPARE(stock.bidAskRatio, 7.0f);
    QVERIFY(stock.selected);
    QCOMPARE(stock.score, 60);
    // No share count on the line: the ratio stays a finite 0.
    QCOMPARE(stock.bidShareRatio, 0.0f);
    QVERIFY(stock.turnoverRate == 0.0f);
}

void TestQuoteClients::sinaScreen_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("code");
    QTest::addColumn<float>("ratio");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<float>("change");
    QTest::newRow("ratio 7") << 0 << "600036" << 7.0f << true << 0.42f;
    QTest::newRow("ratio 700/117") << 1 << "000001" << 700.0f / 117.0f << false << -0.13f;
    QTest::newRow("ratio exactly 6") << 2 << "300059" << 6.0f << false << 1.58f;
    QTest::newRow("empty quote") << 3 << "000002" << 0.0f << false << 0.0f;
    // Asks below 100 shares each: an ask sum of 0, nothing computed.
    QTest::newRow("no asks") << 4 << "002460" << 0.0f << false << 0.0f;
}

void TestQuoteClients::sinaScreen() {
    QFETCH(int, line);
    QFETCH(QString, code);
    QFETCH(float, ratio);
    QFETCH(bool, selected);
    QFETCH(float, change);
    const QStringList lines = fixtureText(QStringLiteral("providers/sina-hq-list.txt")).split(';');
    const Stock stock = parseSinaQuoteLine(lines.at(line));
    QCOMPARE(stock.code, code);
    QCOMPARE(stock.bidAskRatio, ratio);
    QCOMPARE(stock.selected, selected);
    QCOMPARE(stock.score, selected ? 60 : 0);
    QCOMPARE(stock.change, change);
    if (change == 0.0f)
        QCOMPARE(stock.changePercent, 0.0f);
}

void TestQuoteClients::sinaFetched() {
    const QString fixture = fixtureText(QStringLiteral("providers/sina-hq-list.txt"));
    const QString url = sinaRealtimeUrl({QStringLiteral("600036"), QStringLiteral("000001"),
                                         QStringLiteral("300059"), QStringLiteral("000002"),
                                         QStringLiteral("002460")});
    const QString text = fetchGbkViaProxy(m_server, url, fixture);
    QCOMPARE(text, fixture);
    const QVector<Stock> flagged = parseSinaRealtime(text);
    QCOMPARE(flagged.size(), 1);
    QCOMPARE(flagged.first().code, QStringLiteral("600036"));
    QCOMPARE(flagged.first().name, QStringLiteral("招商银行"));
}

void TestQuoteClients::sinaLineShapes_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<float>("changePercent");
    const QString fields = QStringLiteral(
        ",10.00,%1,11.00,11.00,10.00,11.00,11.00,100000,1100000.000,"
        "70000,11.00,0,0,0,0,0,0,0,0,10000,11.01,0,0,0,0,0,0,0,0,2017-10-09,15:00:03,00");
    QTest::newRow("no quotes") << "var hq_str_sh600036=abc"
                               << ""
                               << "" << 0.0f;
    QTest::newRow("one quote") << "var hq_str_sh600036=\"abc"
                               << ""
                               << "" << 0.0f;
    QTest::newRow("32 fields") << "var hq_str_sh600036=\"" + QStringLiteral("x") +
                                      fields.arg(QStringLiteral("10.00")).section(',', 0, 31) + "\""
                               << "600036"
                               << "" << 0.0f;
    // Today's lines end in a 34th field: read by their first 33.
    QTest::newRow("34 fields") << "var hq_str_sh600036=\"x" + fields.arg(QStringLiteral("10.00")) +
                                      ",\""
                               << "600036"
                               << "x" << 10.0f;
    QTest::newRow("no equals") << "var hq_str_sh600036\"x" + fields.arg(QStringLiteral("10.00")) +
                                      "\""
                               << ""
                               << "x" << 10.0f;
    QTest::newRow("short name before equals")
        << "ab=\"x" + fields.arg(QStringLiteral("10.00")) + "\""
        << "ab"
        << "x" << 10.0f;
    // A flagged stock without a previous close: no infinite change in percent.
    QTest::newRow("no previous close")
        << "var hq_str_sh600036=\"x" + fields.arg(QStringLiteral("0.00")) + "\""
        << "600036"
        << "x" << 0.0f;
}

void TestQuoteClients::sinaLineShapes() {
    QFETCH(QString, line);
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(float, changePercent);
    const Stock stock = parseSinaQuoteLine(line);
    QCOMPARE(stock.code, code);
    QCOMPARE(stock.name, name);
    QCOMPARE(stock.changePercent, changePercent);
    QVERIFY(std::isfinite(stock.changePercent) && std::isfinite(stock.bidAskRatio) &&
            std::isfinite(stock.bidShareRatio));
    if (!name.isEmpty()) {
        QCOMPARE(stock.bidVolumes[0], 700);
        QCOMPARE(stock.askVolumes[0], 100);
        QCOMPARE(stock.bidAskRatio, 7.0f);
        QVERIFY(stock.selected);
    } else {
        QVERIFY(!stock.selected);
        QCOMPARE(stock.close, 0.0f);
    }
}

void TestQuoteClients::sinaRealReplies_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<float>("close");
    QTest::addColumn<float>("volume");
    QTest::addColumn<int>("bidSum");
    QTest::addColumn<int>("askSum");
    QTest::addColumn<QString>("time");
    QTest::newRow("hq-1") << "sina-hq-1.txt"
                          << "162411"
                          << "华宝油气" << 0.491f << 1338198.0f << 113304 << 268814 << "15:00:03";
    QTest::newRow("hq-2 first") << "sina-hq-2.txt"
                                << "160922"
                                << "恒生中小" << 0.0f << 0.0f << 495 << 181 << "09:41:45";
    QTest::newRow("hq-4") << "sina-hq-4.txt"
                          << "600036"
                          << "招商银行" << 18.65f << 5247746.0f << 1239 << 10263 << "15:04:01";
    QTest::newRow("hq-6") << "sina-hq-6.txt"
                          << "000001"
                          << "平安银行" << 16.57f << 976970.0f << 8019 << 12271 << "15:00:03";
    // Later captures carry a 34th field (empty, or "D|36500|330325.00"):
    // read by their first 33.
    QTest::newRow("hq-3") << "sina-hq-3.txt"
                          << "600036"
                          << "招商银行" << 37.86f << 359535.0f << 633 << 5165 << "15:00:00";
    QTest::newRow("hq-5 index") << "sina-hq-5.txt"
                                << "000001"
                                << "上证指数" << 3005.0355f << 2471027.0f << 0 << 0 << "15:01:59";
    QTest::newRow("hq-7") << "sina-hq-7.txt"
                          << "600000"
                          << "浦发银行" << 9.05f << 512702.0f << 31139 << 14023 << "15:34:58";
    QTest::newRow("hq-8") << "sina-hq-8.txt"
                          << "600036"
                          << "招商银行" << 41.68f << 91587.0f << 1030 << 3201 << "09:49:29";
}

void TestQuoteClients::sinaRealReplies() {
    SKIP_WITHOUT_REAL_REPLIES();
    QFETCH(QString, file);
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(float, close);
    QFETCH(float, volume);
    QFETCH(int, bidSum);
    QFETCH(int, askSum);
    QFETCH(QString, time);
    const QString text = realReplyText(file);
    QVERIFY(!text.isEmpty());
    const Stock stock = parseSinaQuoteLine(text.section(';', 0, 0));
    QCOMPARE(stock.code, code);
    QCOMPARE(stock.name, name);
    QCOMPARE(stock.close, close);
    QCOMPARE(stock.volume, volume);
    int bids = 0;
    int asks = 0;
    for (int i = 0; i < 5; ++i) {
        bids += stock.bidVolumes[i];
        asks += stock.askVolumes[i];
    }
    QCOMPARE(bids, bidSum);
    QCOMPARE(asks, askSum);
    QCOMPARE(stock.time, time);
    if (askSum > 0 && bidSum > 0)
        QCOMPARE(stock.bidAskRatio, float(bidSum) / float(askSum));
    // None of the captured stocks has six times more bids than asks.
    QVERIFY(parseSinaRealtime(text).isEmpty());
}

// ---- Sina market centre -----------------------------------------------------

void TestQuoteClients::nodeUrls() {
    SinaRealtimeInterface client;
    const QString base = QStringLiteral(
        "http://vip.stock.finance.sina.com.cn/quotes_service/api/json_v2.php/"
        "Market_Center.getHQNodeData?num=80&sort=0&node=hs_a&symbol=&_s_r_a=page&page=");
    QCOMPARE(client.urls({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("x"),
                          QStringLiteral("33")}),
             (QStringList{base + "1", base + "2", base + "0", base + "33"}));
    QVERIFY(client.urls({}).isEmpty());
}

void TestQuoteClients::nodeFetched() {
    SinaRealtimeInterface client;
    const QString fixture = fixtureText(QStringLiteral("providers/sina-hqnodedata-page1.js"));
    const QString text =
        fetchGbkViaProxy(m_server, client.urls({QStringLiteral("1")}).first(), fixture);
    QCOMPARE(text, fixture);
    const QVector<Stock> stocks = client.parse(text, QString());
    QCOMPARE(stocks.size(), 3);
    const Stock& cmb = stocks.at(0);
    QCOMPARE(cmb.name, QStringLiteral("招商银行"));
    QCOMPARE(cmb.code, QStringLiteral("600036"));
    QCOMPARE(cmb.close, 27.64f);
    QCOMPARE(cmb.changePercent, 1.543f);
    QCOMPARE(cmb.change, 0.42f);
    QCOMPARE(cmb.turnoverRate, 0.2612f);
    QCOMPARE(cmb.open, 27.3f);
    QCOMPARE(cmb.low, 27.1f);
    QCOMPARE(cmb.preClose, 27.22f);
    QCOMPARE(cmb.high, 27.8f);
    QCOMPARE(cmb.volume, 0.0f);
    QCOMPARE(cmb.amount, 0.0f);
    QCOMPARE(stocks.at(1).change, -0.13f);
    QCOMPARE(stocks.at(2).turnoverRate, 5.7612f);
}

void TestQuoteClients::nodeRealReplies_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("firstCode");
    QTest::addColumn<QString>("firstName");
    QTest::addColumn<float>("firstClose");
    QTest::addColumn<float>("firstPreClose");
    QTest::newRow("page 1") << "sina-hqnodedata-1.js" << 80 << "601588"
                            << "北辰实业" << 6.23f << 5.66f;
    QTest::newRow("page 2, GBK") << "sina-hqnodedata-2.gbk.js" << 80 << "000972"
                                 << "新中基" << 9.60f << 8.79f;
    QTest::newRow("page 33, GBK") << "sina-hqnodedata-3.gbk.js" << 77 << "600436"
                                  << "片仔癀" << 144.99f << 151.19f;
    QTest::newRow("past the end") << "sina-hqnodedata-4-null.js" << 0 << ""
                                  << "" << 0.0f << 0.0f;
}

void TestQuoteClients::nodeRealReplies() {
    SKIP_WITHOUT_REAL_REPLIES();
    QFETCH(QString, file);
    QFETCH(int, rows);
    QFETCH(QString, firstCode);
    QFETCH(QString, firstName);
    QFETCH(float, firstClose);
    QFETCH(float, firstPreClose);
    SinaRealtimeInterface client;
    const QVector<Stock> stocks = client.parse(realReplyText(file), QString());
    QCOMPARE(stocks.size(), rows);
    if (rows == 0)
        return;
    QCOMPARE(stocks.first().code, firstCode);
    QCOMPARE(stocks.first().name, firstName);
    QCOMPARE(stocks.first().close, firstClose);
    QCOMPARE(stocks.first().preClose, firstPreClose);
    for (const Stock& stock : stocks) {
        QCOMPARE(stock.code.size(), 6);
        QVERIFY(stock.close > 0.0f);
        // These captures name the turnover "turnoverratio", not "turnover":
        // no figure, not 0.
        QVERIFY(std::isnan(stock.turnoverRate));
    }
}

// ---- Hostile texts ----------------------------------------------------------

void TestQuoteClients::hostileInputs() {
    QStringList texts = hostileTexts();
    for (const QString& name :
         {QStringLiteral("qq-shortquote.txt"), QStringLiteral("sina-hq-list.txt"),
          QStringLiteral("sina-hqnodedata-page1.js")})
        texts << truncations(fixtureText(QStringLiteral("providers/") + name), 3);
    // The captured replies too, where they are present.
    texts << realReplyTexts();

    SinaRealtimeInterface node;
    for (const QString& text : qAsConst(texts)) {
        const QVector<Stock> qq = parseQqRealtime(text);
        QVERIFY(qq.size() <= text.count(QLatin1Char('\n')) + 1);
        const QVector<Stock> sina = parseSinaRealtime(text);
        for (const Stock& stock : sina) {
            QVERIFY(stock.selected);
            QVERIFY(stock.bidAskRatio > 6.0f);
            QVERIFY(std::isfinite(stock.changePercent));
        }
        const Stock line = parseSinaQuoteLine(text);
        QVERIFY(line.code.size() <= 6);
        const QVector<Stock> rows = node.parse(text, QString());
        if (!text.contains(QLatin1String("[{")))
            QVERIFY(rows.isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestQuoteClients)
#include "tst_quoteclients.moc"
