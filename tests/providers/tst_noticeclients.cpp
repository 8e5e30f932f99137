// The notices and suspensions clients of the data centre: URLs, the
// "defjson:" blocks, the records cut from them, and hostile pages.

#include "core/providers/noticeclients.h"

#include "tests/support/fixtures.h"
#include "tests/support/hostileinputs.h"
#include "tests/support/proxyfetch.h"
#include "tests/support/testhttpserver.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

QString noticePage(const QString& notices) {
    return QStringLiteral("<html><script>var x = {defjson: {\"data\":[") + notices +
           QStringLiteral("]}, charset: \"gb2312\"};</script></html>");
}

QString notice(const QString& code, const QString& title, const QString& time) {
    return QStringLiteral("{\"NOTICEDATE\":\"2017-10-09T00:00:00\",\"CDSY_SECUCODES\":[{"
                          "\"SECURITYCODE\":\"%1\",\"SECURITYSHORTNAME\":\"名称\"}],"
                          "\"COLUMNS\":[{\"COLUMNNAME\":\"栏目\"}],\"NOTICETITLE\":\"%2\","
                          "\"EUTIME\":\"%3\"}")
        .arg(code, title, time);
}

} // namespace

class TestNoticeClients final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void noticeUrlsByCode();
    void noticesFetched();
    void noticeFields_data();
    void noticeFields();
    void noticeBlock();
    void upperCaseMarkers();

    void suspensionUrl();
    void suspensionsFetched();
    void suspensionEntries_data();
    void suspensionEntries();

    void firstCaptureMatches_data();
    void firstCaptureMatches();

    void hostileInputs();
    void longPageWithoutClosingMarker();

private:
    TestHttpServer m_server;
};

void TestNoticeClients::initTestCase() {
    QVERIFY(m_server.listenAsApplicationProxy());
}

void TestNoticeClients::cleanupTestCase() {
    TestHttpServer::removeApplicationProxy();
}

void TestNoticeClients::noticeUrlsByCode() {
    QCOMPARE(noticeUrls({QStringLiteral("600036"), QStringLiteral("000001")}),
             (QStringList{QStringLiteral("http://data.eastmoney.com/notices/hsa/600036.html"),
                          QStringLiteral("http://data.eastmoney.com/notices/hsa/000001.html")}));
    QVERIFY(noticeUrls({}).isEmpty());
}

void TestNoticeClients::noticesFetched() {
    const QString fixture = fixtureText(QStringLiteral("providers/notices-600036.html"));
    const QString text =
        fetchGbkViaProxy(m_server, noticeUrls({QStringLiteral("600036")}).first(), fixture);
    QCOMPARE(text, fixture);
    const QVector<Data> notices = parseNotices(text);
    // The text before the first notice is no notice of its own.
    QCOMPARE(notices.size(), 3);

    QCOMPARE(notices.at(0).date, QStringLiteral("2017-10-09"));
    QCOMPARE(notices.at(0).code, QStringLiteral("600036"));
    QCOMPARE(notices.at(0).name, QStringLiteral("招商银行"));
    QCOMPARE(notices.at(0).attributes.value(QStringLiteral("title")),
             QStringLiteral("关于召开2017年第一次临时股东大会的通知"));
    // The first of the notice's columns.
    QCOMPARE(notices.at(0).attributes.value(QStringLiteral("type")), QStringLiteral("临时公告"));
    QCOMPARE(notices.at(0).attributes.size(), 2);
    QVERIFY(!notices.at(0).extra.isValid());

    // A title that does not start with the code stays whole; inner runs of
    // blanks become one.
    QCOMPARE(notices.at(1).date, QStringLiteral("2017-09-29"));
    QCOMPARE(notices.at(1).attributes.value(QStringLiteral("title")),
             QStringLiteral("招商银行H股公告：董事会 会议通知"));
    QCOMPARE(notices.at(1).attributes.value(QStringLiteral("type")), QStringLiteral("境外公告"));

    // Without columns the type is empty.
    QCOMPARE(notices.at(2).date, QStringLiteral("2017-09-20"));
    QCOMPARE(notices.at(2).attributes.value(QStringLiteral("title")),
             QStringLiteral("关于股票交易异常波动的公告"));
    QCOMPARE(notices.at(2).attributes.value(QStringLiteral("type")), QString());
}

void TestNoticeClients::noticeFields_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("expectedCode");
    QTest::addColumn<QString>("expectedTitle");
    QTest::addColumn<QString>("expectedDate");
    QTest::newRow("code-prefixed title") << "600036"
                                         << "600036:年报"
                                         << "2017-10-09T19:04:15+08:00"
                                         << "600036"
                                         << "年报"
                                         << "2017-10-09";
    QTest::newRow("plain title") << "600036"
                                 << "年报600036"
                                 << "2017-10-09T19:04:15+08:00"
                                 << "600036"
                                 << "年报600036"
                                 << "2017-10-09";
    // A 10-character time has nothing left once its last 15 are gone.
    QTest::newRow("short time") << "600036"
                                << "年报"
                                << "2017-10-09"
                                << "600036"
                                << "年报"
                                << "";
    QTest::newRow("empty time") << "600036"
                                << "年报"
                                << ""
                                << "600036"
                                << "年报"
                                << "";
    // A notice without a code keeps its whole title.
    QTest::newRow("empty code") << ""
                                << "关于召开股东大会的通知"
                                << "2017-10-09T19:04:15+08:00"
                                << ""
                                << "关于召开股东大会的通知"
                                << "2017-10-09";
    // The code is the value's last six characters, never part of the key;
    // the prefix dropped from the title is the code and its colon.
    QTest::newRow("short code") << "36"
                                << "36:年报"
                                << "2017-10-09T19:04:15+08:00"
                                << "36"
                                << "年报"
                                << "2017-10-09";
    QTest::newRow("escaped title") << "600036"
                                   << "600036:\\u5e74\\u62a5\\/\\u4e2d"
                                   << "2017-10-09T19:04:15+08:00"
                                   << "600036"
                                   << "年报/中"
                                   << "2017-10-09";
    QTest::newRow("prefixed code") << "SH600036"
                                   << "年报"
                                   << "2017-10-09T19:04:15+08:00"
                                   << "600036"
                                   << "年报"
                                   << "2017-10-09";
}

void TestNoticeClients::noticeFields() {
    QFETCH(QString, code);
    QFETCH(QString, title);
    QFETCH(QString, time);
    QFETCH(QString, expectedCode);
    QFETCH(QString, expectedTitle);
    QFETCH(QString, expectedDate);
    const QVector<Data> notices = parseNotices(noticePage(notice(code, title, time)));
    QCOMPARE(notices.size(), 1);
    QCOMPARE(notices.first().code, expectedCode);
    QCOMPARE(notices.first().attributes.value(QStringLiteral("title")), expectedTitle);
    QCOMPARE(notices.first().date, expectedDate);
    QCOMPARE(notices.first().name, QStringLiteral("名称"));
    QCOMPARE(notices.first().attributes.value(QStringLiteral("type")), QStringLiteral("栏目"));
}

void TestNoticeClients::noticeBlock() {
    const QString page = fixtureText(QStringLiteral("providers/notices-600036.html"));
    const QString block = noticeJsonBlock(page);
    QVERIFY(block.startsWith(QLatin1String("defjson: {\"data\":[{\"NOTICEDATE\"")));
    QVERIFY(block.endsWith(QLatin1String("charset")));
    QVERIFY(!block.contains(QLatin1String("<script")));
    QCOMPARE(noticeJsonBlock(QStringLiteral("<html>charset defjson:</html>")), QString());
    QVERIFY(parseNotices(QStringLiteral("<html>no block</html>")).isEmpty());
    // A block with no notice in it yields none.
    QVERIFY(parseNotices(QStringLiteral("defjson: {\"data\":[]} charset")).isEmpty());
}

void TestNoticeClients::upperCaseMarkers() {
    QString page = fixtureText(QStringLiteral("providers/notices-600036.html"));
    page.replace(QStringLiteral("defjson:"), QStringLiteral("DEFJSON:"));
    page.replace(QStringLiteral("charset: "), QStringLiteral("CHARSET: "));
    // The key patterns ignore case too; the notice split does not.
    page.replace(QStringLiteral("\"EUTIME\""), QStringLiteral("\"eutime\""));
    const QVector<Data> notices = parseNotices(page);
    QCOMPARE(notices.size(), 3);
    QCOMPARE(notices.at(0).date, QStringLiteral("2017-10-09"));
    QCOMPARE(notices.at(2).date, QStringLiteral("2017-09-20"));

    page.replace(QStringLiteral("\"NOTICEDATE\":"), QStringLiteral("\"noticedate\":"));
    const QVector<Data> unsplit = parseNotices(page);
    QCOMPARE(unsplit.size(), 1);
    QCOMPARE(unsplit.first().date, QStringLiteral("2017-10-09"));
}

void TestNoticeClients::suspensionUrl() {
    const QStringList expected{QStringLiteral("http://data.eastmoney.com/tfpxx/")};
    QCOMPARE(suspensionUrls(), expected);
    QCOMPARE(suspensionUrls(QStringLiteral("600036")), expected);
    QCOMPARE(suspensionUrls(QStringLiteral("2017-10-09")), expected);
}

void TestNoticeClients::suspensionsFetched() {
    const QString fixture = fixtureText(QStringLiteral("providers/suspensions.html"));
    const QString text = fetchGbkViaProxy(m_server, suspensionUrls().first(), fixture);
    QCOMPARE(text, fixture);
    const QVector<Data> list = parseSuspensionList(text);
    // The column-name entry mentions "type" and is skipped.
    QCOMPARE(list.size(), 3);

    QCOMPARE(list.at(0).code, QStringLiteral("600868"));
    QCOMPARE(list.at(0).name, QStringLiteral("梅雁吉祥"));
    QCOMPARE(list.at(0).date, QStringLiteral("2017-10-16"));
    QCOMPARE(list.at(0).attributes.value(QStringLiteral("stopDate")), QStringLiteral("2017-09-29"));
    QCOMPARE(list.at(0).attributes.value(QStringLiteral("span")), QStringLiteral("2017-09-29"));
    QCOMPARE(list.at(0).attributes.value(QStringLiteral("desc")), QStringLiteral("重大事项"));
    QCOMPARE(list.at(0).attributes.size(), 3);

    // No expected resumption; a span shorter than ten characters stays whole.
    QCOMPARE(list.at(1).code, QStringLiteral("000002"));
    QCOMPARE(list.at(1).name, QStringLiteral("万科Ａ"));
    QCOMPARE(list.at(1).date, QString());
    QCOMPARE(list.at(1).attributes.value(QStringLiteral("span")), QStringLiteral("连续停牌"));
    QCOMPARE(list.at(1).attributes.value(QStringLiteral("desc")), QStringLiteral("重大资产重组"));

    // The last entry keeps its own items although the array's end follows.
    QCOMPARE(list.at(2).code, QStringLiteral("002460"));
    QCOMPARE(list.at(2).date, QStringLiteral("2017-10-09"));
    QCOMPARE(list.at(2).attributes.value(QStringLiteral("span")), QStringLiteral("停牌1小时"));
}

void TestNoticeClients::suspensionEntries_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("codes");
    QTest::newRow("no block") << "<html></html>" << QStringList();
    QTest::newRow("no closing marker")
        << "defjson: {data:[\"1,2,3,4,5,6,7,8,9\"]}" << QStringList();
    QTest::newRow("no quote") << "defjson: {data:[]}, maketr:" << QStringList();
    QTest::newRow("nine items") << "defjson:{data:[\"a,b,c,d,e,f,g,h,i\"]},maketr:"
                                << QStringList{"a"};
    // Fewer than nine items: skipped rather than read out of range.
    QTest::newRow("eight items") << "defjson:{data:[\"a,b,c,d,e,f,g,h\",\"x,b,c,d,e,f,g,h,i\"]},"
                                    "maketr:"
                                 << QStringList{"x"};
    QTest::newRow("upper-case markers")
        << "DEFJSON:{data:[\"a,b,c,d,e,f,g,h,i\"]},MAKETR:" << QStringList{"a"};
    QTest::newRow("type skipped") << "defjson:{data:[\"a,b,c,d,type,f,g,h,i\",\"z,b,c,d,e,f,g,h,"
                                     "i\"]},maketr:"
                                  << QStringList{"z"};
}

void TestNoticeClients::suspensionEntries() {
    QFETCH(QString, page);
    QFETCH(QStringList, codes);
    QStringList parsed;
    for (const Data& entry : parseSuspensionList(page))
        parsed.append(entry.code);
    QCOMPARE(parsed, codes);
}

void TestNoticeClients::firstCaptureMatches_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");
    QTest::newRow("minimal") << "\"A\":\"1\",\"A\":\"2\""
                             << "\"A\":\"(.*)\""
                             << "\"A\":\"1\"";
    QTest::newRow("case ignored") << "\"a\":\"1\""
                                  << "\"A\":\"(.*)\""
                                  << "\"a\":\"1\"";
    QTest::newRow("no match") << "\"B\":\"1\""
                              << "\"A\":\"(.*)\""
                              << "";
    QTest::newRow("empty text") << ""
                                << "x"
                                << "";
}

void TestNoticeClients::firstCaptureMatches() {
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(firstCapture(text, pattern), expected);
}

void TestNoticeClients::hostileInputs() {
    QStringList texts{
        QString(),
        QStringLiteral("defjson:"),
        QStringLiteral("defjson:charset"),
        QStringLiteral("defjson:maketr:"),
        QStringLiteral("defjson:\"maketr:"),
        QStringLiteral("defjson:\"\",\"maketr:"),
        QStringLiteral("defjson:\"NOTICEDATE\":charset"),
        QStringLiteral("defjson:\"NOTICEDATE\":\"SECURITYCODE\":\"charset"),
        QStringLiteral("defjson:\"SECURITYCODE\":\"\"\"EUTIME\":\"\"charset"),
        QStringLiteral("defjson:\"NOTICETITLE\":\"\"\"SECURITYSHORTNAME\":\"charset")};
    for (const QString& name :
         {QStringLiteral("notices-600036.html"), QStringLiteral("suspensions.html")})
        texts << truncations(fixtureText(QStringLiteral("providers/") + name), 2);
    QRandomGenerator random(77);
    for (int n = 0; n < 30; ++n) {
        static const QString alphabet = QStringLiteral("\",:{}[] abcNOTICEDATE0123456789type");
        const int length = static_cast<int>(random.bounded(300));
        texts.append(QStringLiteral("defjson:") +
                     randomText(random, length, n % 3 ? alphabet : QString()) +
                     (n % 2 ? QStringLiteral("charset") : QStringLiteral("maketr:")));
    }
    texts << realReplyTexts();

    for (const QString& text : qAsConst(texts)) {
        for (const Data& notice : parseNotices(text)) {
            QVERIFY(notice.code.size() <= 6);
            QCOMPARE(notice.attributes.size(), 2);
        }
        for (const Data& entry : parseSuspensionList(text)) {
            QVERIFY(!entry.code.contains(QLatin1String("type")));
            QVERIFY(entry.attributes.value(QStringLiteral("span")).size() <= 10);
        }
        if (!text.contains(QLatin1String("defjson:"), Qt::CaseInsensitive)) {
            QVERIFY(parseNotices(text).isEmpty());
            QVERIFY(parseSuspensionList(text).isEmpty());
        }
    }
}

void TestNoticeClients::longPageWithoutClosingMarker() {
    // Many opening markers and no closing one (a page cut off early): no
    // block, no records, and no search that retries from every marker.
    const QString page = QStringLiteral("defjson:\"SECURITYCODE\":\"x ").repeated(20000);
    QVERIFY(noticeJsonBlock(page).isEmpty());
    QVERIFY(parseNotices(page).isEmpty());
    QVERIFY(parseSuspensionList(page).isEmpty());
}

QTEST_GUILESS_MAIN(TestNoticeClients)
#include "tst_noticeclients.moc"
