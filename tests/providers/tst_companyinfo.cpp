// The company-information client: its URL, every member read from a reply
// fetched from a local stand-in for the service (through the proxy route,
// at the real URL), the two ways a reply fails, rows appended over two
// replies, the item rules of the four arrays, the value captures, the saved
// copy, and texts it was never meant to read.

#include "core/providers/companyinfo.h"
#include "core/providers/providerinterfaces.h"
#include "core/utils.h"

#include "tests/support/fixtures.h"
#include "tests/support/proxyfetch.h"
#include "tests/support/testhttpserver.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

namespace {

const QString kSaveDir = QStringLiteral("company-saved/");

QString fixture() {
    return fixtureText(QStringLiteral("providers/companyinfo-sh600519.json"));
}

template <std::size_t N> QStringList toList(const std::array<QString, N>& values) {
    return QStringList(values.begin(), values.end());
}

// A small reply: name, one concept, the share figures and the given arrays.
QString smallReply(const QString& arrays) {
    return QStringLiteral("{\"data\":{\"jianjie\":{\"gsmz\":\"测试公司\",\"hy\":\"银行\"},"
                          "\"concept\":[{\"name\":\"金融\"}],\"gbjg\":{\"ZGB\":100,"
                          "\"LTGB\":90},\"yysr\":") +
           arrays + QStringLiteral("}}");
}

} // namespace

class TestCompanyInfo final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void url_data();
    void url();
    void fetchedReply();
    void withoutName();
    void withoutConcepts();
    void rowsAppended();
    void arrayItems_data();
    void arrayItems();
    void captures_data();
    void captures();
    void savedCopy_data();
    void savedCopy();
    void hostileTexts_data();
    void hostileTexts();
    void realReplies();

private:
    TestHttpServer m_server;
};

void TestCompanyInfo::initTestCase() {
    QVERIFY(m_server.listenAsApplicationProxy());
}

void TestCompanyInfo::cleanupTestCase() {
    TestHttpServer::removeApplicationProxy();
    QDir(kSaveDir).removeRecursively();
}

void TestCompanyInfo::init() {
    QDir(kSaveDir).removeRecursively();
    QVERIFY(QDir().mkpath(kSaveDir));
}

void TestCompanyInfo::url_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("symbol");
    QTest::newRow("ChiNext") << QStringLiteral("300750") << QStringLiteral("sz300750");
    QTest::newRow("Shanghai") << QStringLiteral("600519") << QStringLiteral("sh600519");
}

void TestCompanyInfo::url() {
    QFETCH(QString, code);
    QFETCH(QString, symbol);
    const QRegularExpression shape(
        QStringLiteral("^http://web\\.ifzq\\.gtimg\\.cn/stock/corp/cwbb/search\\?symbol=%1&type="
                       "sum&jianjie=1&_appName=android&_net=WIFI&__random_suffix=(.+)$")
            .arg(symbol));
    // Six significant digits: small numbers whole, large ones in exponent form.
    const QRegularExpression number(QStringLiteral("^(\\d{1,6}|[1-9](\\.\\d{1,5})?e\\+0[6-9])$"));
    for (int i = 0; i < 20; ++i) {
        const QString url = CompanyInfo::url(code);
        const QRegularExpressionMatch match = shape.match(url);
        QVERIFY2(match.hasMatch(), qPrintable(url));
        QVERIFY2(number.match(match.captured(1)).hasMatch(), qPrintable(match.captured(1)));
        QVERIFY(match.captured(1).toDouble() < 2147483648.0);
    }
}

void TestCompanyInfo::fetchedReply() {
    const QString url = CompanyInfo::url(QStringLiteral("600519"));
    const QString text = fetchGbkViaProxy(m_server, url, fixture(), "application/json");
    QCOMPARE(m_server.requests(), QStringList{url});

    CompanyInfo info;
    QVERIFY(info.parse(QStringLiteral("600519"), text, QString()));
    QCOMPARE(info.gsmz, QStringLiteral("贵州茅台酒股份有限公司"));
    QCOMPARE(info.riqi, QStringLiteral("2001-08-27"));
    QCOMPARE(info.jg, QStringLiteral("31.39"));
    QCOMPARE(info.fxs, QStringLiteral("7150.00"));
    QCOMPARE(info.dy, QStringLiteral("贵州"));
    QCOMPARE(info.yw, QStringLiteral("茅台酒及系列酒的生产与销售"));
    QCOMPARE(info.hy, QStringLiteral("酿酒行业"));
    QCOMPARE(info.conceptNames(), (QStringList{QStringLiteral("酿酒概念"), QStringLiteral("白酒"),
                                               QStringLiteral("上证50")}));

    QCOMPARE(info.yysr.size(), 3);
    QCOMPARE(toList(info.yysr.at(0).values), (QStringList{"茅台酒", "5011283.13", "89.59"}));
    QCOMPARE(toList(info.yysr.at(1).values), (QStringList{"系列酒", "578341.33", "10.34"}));
    // The last item's last value without the array's closing brackets.
    QCOMPARE(toList(info.yysr.at(2).values), (QStringList{"其他", "3911.72", "0.07"}));

    QCOMPARE(info.fenhong.size(), 2);
    // The announcement's time of day is cut off.
    QCOMPARE(toList(info.fenhong.at(0).values),
             (QStringList{"2016", "10派67.87元", "2017-07-06", "2017-07-07", "2017-07-07",
                          "2017-06-30"}));
    QCOMPARE(toList(info.fenhong.at(1).values),
             (QStringList{"2015", "10派61.71元", "2016-06-30", "2016-07-01", "2016-07-01",
                          "2016-06-24"}));

    QCOMPARE(info.cwbb.size(), 3);
    QCOMPARE(toList(info.cwbb.at(0).values), (QStringList{"2017-09-30", "4400522.46"}));
    QCOMPARE(toList(info.cwbb.at(1).values), (QStringList{"2017-06-30", "2820424.88"}));
    QCOMPARE(toList(info.cwbb.at(2).values), (QStringList{"2017-03-31", "1391311.17"}));

    QCOMPARE(info.gudong.size(), 2);
    QCOMPARE(toList(info.gudong.at(0).values),
             (QStringList{"2017-09-30", "中国贵州茅台酒厂(集团)有限责任公司", "77.6", "61.99",
                          "不变", "流通A股", "1", "国有法人", "0", "-"}));
    QCOMPARE(toList(info.gudong.at(1).values),
             (QStringList{"2017-09-30", "香港中央结算有限公司", "8.33", "6.63", "增加", "流通A股",
                          "2", "境外法人", "0.52", "-"}));
    QVERIFY(info.otherShareholders.isEmpty());

    // The unquoted share figures as numbers, not ":125619.78,".
    QCOMPARE(info.ZGB, QStringLiteral("125619.78"));
    QCOMPARE(info.LTGB, QStringLiteral("125619.78"));
    QCOMPARE(info.GDRS, QStringLiteral("61258"));
    QCOMPARE(info.RJCG, QStringLiteral("20506.5"));
    QCOMPARE(info.SQ_GDRS, QStringLiteral("62433"));
}

void TestCompanyInfo::withoutName() {
    CompanyInfo info;
    info.riqi = QStringLiteral("before");
    info.ZGB = QStringLiteral("before");
    info.gsmz = QStringLiteral("before");
    QString text = fixture();
    text.replace(QStringLiteral("贵州茅台酒股份有限公司"), QString());
    QVERIFY(!info.parse(QString(), text, QString()));
    QVERIFY(info.gsmz.isEmpty());
    QCOMPARE(info.riqi, QStringLiteral("before"));
    QCOMPARE(info.ZGB, QStringLiteral("before"));
    QVERIFY(info.hy.isEmpty());
    QVERIFY(info.conceptNames().isEmpty());
    QVERIFY(info.yysr.isEmpty() && info.fenhong.isEmpty() && info.cwbb.isEmpty() &&
            info.gudong.isEmpty());
}

void TestCompanyInfo::withoutConcepts() {
    CompanyInfo info;
    QString text = fixture();
    text.replace(QStringLiteral("\"concept\""), QStringLiteral("\"themes\""));
    QVERIFY(!info.parse(QString(), text, QString()));
    // What stands before the concepts is read, nothing after them.
    QCOMPARE(info.gsmz, QStringLiteral("贵州茅台酒股份有限公司"));
    QCOMPARE(info.hy, QStringLiteral("酿酒行业"));
    QVERIFY(info.conceptNames().isEmpty());
    QVERIFY(info.yysr.isEmpty() && info.fenhong.isEmpty() && info.cwbb.isEmpty() &&
            info.gudong.isEmpty());
    QVERIFY(info.ZGB.isEmpty());
}

void TestCompanyInfo::rowsAppended() {
    CompanyInfo info;
    QVERIFY(info.parse(QString(), fixture(), QString()));
    QString second = fixture();
    second.replace(QStringLiteral("茅台酒\""), QStringLiteral("酱香酒\""));
    second.replace(QStringLiteral("白酒"), QStringLiteral("消费"));
    QVERIFY(info.parse(QString(), second, QString()));
    QCOMPARE(info.yysr.size(), 6);
    QCOMPARE(info.yysr.at(0).values[0], QStringLiteral("茅台酒"));
    QCOMPARE(info.yysr.at(3).values[0], QStringLiteral("酱香酒"));
    QCOMPARE(info.fenhong.size(), 4);
    QCOMPARE(info.cwbb.size(), 6);
    QCOMPARE(info.gudong.size(), 4);
    // The concept names are the last reply's.
    QCOMPARE(info.conceptNames().value(1), QStringLiteral("消费"));
    QCOMPARE(info.conceptNames().size(), 3);
}

void TestCompanyInfo::arrayItems_data() {
    QTest::addColumn<QString>("arrays");
    QTest::addColumn<int>("revenue");
    QTest::addColumn<int>("dividends");
    QTest::addColumn<int>("reports");
    QTest::addColumn<int>("shareholders");
    QTest::addColumn<QString>("firstRevenue");
    QTest::newRow("revenue item of two pairs skipped")
        << QStringLiteral("[{\"a\":\"x\",\"b\":\"1\"},{\"a\":\"y\",\"b\":\"2\",\"c\":\"3\"}]") << 1
        << 0 << 0 << 0 << QStringLiteral("y,2,3");
    QTest::newRow("empty arrays") << QStringLiteral(
                                         "[],\"fenhong\":[],\"cwbb\":[[[[]]]],\"gudong\":[{}]")
                                  << 0 << 0 << 0 << 0 << QString();
    QTest::newRow("dividend of five pairs skipped")
        << QStringLiteral("[],\"fenhong\":[{\"a\":\"1\",\"b\":\"2\",\"c\":\"3\",\"d\":\"4\","
                          "\"e\":\"5\"}]")
        << 0 << 0 << 0 << 0 << QString();
    QTest::newRow("report of three values skipped")
        << QStringLiteral("[],\"cwbb\":[[[[\"2017-12-31\",\"x\",\"1\"]]],[[[\"2017-09-30\",\"y\","
                          "\"2\",\"3\"]]]]")
        << 0 << 0 << 1 << 0 << QString();
    QTest::newRow("shareholder of nine pairs skipped")
        << QStringLiteral("[],\"gudong\":[{\"a\":1,\"b\":2,\"c\":3,\"d\":4,\"e\":5,\"f\":6,"
                          "\"g\":7,\"h\":8,\"i\":9}]")
        << 0 << 0 << 0 << 0 << QString();
}

void TestCompanyInfo::arrayItems() {
    QFETCH(QString, arrays);
    QFETCH(int, revenue);
    QFETCH(int, dividends);
    QFETCH(int, reports);
    QFETCH(int, shareholders);
    QFETCH(QString, firstRevenue);
    CompanyInfo info;
    QVERIFY(info.parse(QString(), smallReply(arrays), QString()));
    QCOMPARE(info.yysr.size(), revenue);
    QCOMPARE(info.fenhong.size(), dividends);
    QCOMPARE(info.cwbb.size(), reports);
    QCOMPARE(info.gudong.size(), shareholders);
    if (revenue > 0)
        QCOMPARE(toList(info.yysr.first().values).join(QLatin1Char(',')), firstRevenue);
    if (reports > 0)
        QCOMPARE(toList(info.cwbb.first().values), (QStringList{"2017-09-30", "2"}));
    QCOMPARE(info.ZGB, QStringLiteral("100"));
    QCOMPARE(info.LTGB, QStringLiteral("90"));
}

void TestCompanyInfo::captures_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("values");
    const QString names =
        QStringLiteral("[{\"name\":\"甲\"},{\"NAME\":\"乙\"},{\"name\":\"\"},{\"nick\":\"丙\"}]");
    QTest::newRow("names, any case") << names << QStringLiteral("\"name\":\"(.*)\"")
                                     << QStringLiteral("甲") << QStringList{"甲", "乙", ""};
    QTest::newRow("no match") << names << QStringLiteral("\"title\":\"(.*)\"") << QString()
                              << QStringList();
    QTest::newRow("no closing quote")
        << QStringLiteral("{\"name\":\"甲") << QStringLiteral("\"name\":\"(.*)\"") << QString()
        << QStringList();
    // Unquoted: from the key's colon to the next quote.
    QTest::newRow("unquoted figure")
        << QStringLiteral("{\"ZGB\":12.5,\"LTGB\":10}") << QStringLiteral("\"ZGB\":(.*)\"")
        << QStringLiteral(":12.5,") << QStringList{":12.5,"};
    // A pattern that is more than two markers is still a regular expression.
    QTest::newRow("regular expression")
        << QStringLiteral("{\"id\":\"x\",\"id\":\"42\"}") << QStringLiteral("\"id\":\"[0-9]+\"")
        << QStringLiteral("42") << QStringList{"42"};
    QTest::newRow("empty text") << QString() << QStringLiteral("\"name\":\"(.*)\"") << QString()
                                << QStringList();
}

void TestCompanyInfo::captures() {
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(QString, value);
    QFETCH(QStringList, values);
    QCOMPARE(captureQuotedValue(text, pattern), value);
    QCOMPARE(captureQuotedValues(text, pattern), values);
    // The marker search gives what the regular expression gives.
    QCOMPARE(captureQuotedValues(text, pattern).size(), regexCaptureAll(text, pattern).size());
}

void TestCompanyInfo::savedCopy_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("saved");
    QTest::newRow("reply") << QStringLiteral("600519") << kSaveDir << fixture() << true;
    QTest::newRow("saved before the name is checked")
        << QStringLiteral("000001") << kSaveDir << QStringLiteral("<html>error</html>") << true;
    QTest::newRow("no code") << QString() << kSaveDir << fixture() << false;
    QTest::newRow("no directory") << QStringLiteral("600519") << QString() << fixture() << false;
}

void TestCompanyInfo::savedCopy() {
    QFETCH(QString, code);
    QFETCH(QString, directory);
    QFETCH(QString, text);
    QFETCH(bool, saved);
    CompanyInfo info;
    info.parse(code, text, directory);
    const QStringList files = QDir(kSaveDir).entryList(QDir::Files);
    QCOMPARE(files, saved ? QStringList{code} : QStringList());
    if (saved)
        QCOMPARE(readTextFile(kSaveDir + code), text);
    QVERIFY(!QFile::exists(code));
}

void TestCompanyInfo::hostileTexts_data() {
    QTest::addColumn<QString>("text");
    const QString reply = fixture();
    QTest::newRow("empty") << QString();
    QTest::newRow("keys without values")
        << QStringLiteral("\"gsmz\":\"x\",\"concept\":\"yysr\"yysr\"]\"fenhong\"]\"cwbb\":]]]]"
                          "\"gudong\"}]");
    QTest::newRow("short array matches")
        << QStringLiteral("\"gsmz\":\"x\"\"concept\":\"yysr\"]\"fenhong\"]\"cwbb\":]]]]"
                          "\"gudong\"}]\"ZGB\":\"");
    // Opening markers without their closing ones, many times over: the
    // searches must stay linear on them.
    QTest::newRow("concepts without end")
        << QStringLiteral("\"gsmz\":\"x\",") + QStringLiteral("\"concept\":[").repeated(20000);
    QTest::newRow("arrays without end")
        << QStringLiteral("\"gsmz\":\"x\",\"concept\":[],\"yysr\":[") +
               QStringLiteral("\"yysr\"\"fenhong\"\"cwbb\":[[[\"gudong\"").repeated(10000);
    QTest::newRow("names without end") << QStringLiteral("\"gsmz\":\"x\",\"concept\":") +
                                              QStringLiteral("\"name\":").repeated(20000) +
                                              QStringLiteral("\"yysr");
    for (int cut : {30, 200, 400, 600, 800, 1000}) {
        QTest::newRow(qPrintable(QStringLiteral("cut at %1").arg(cut))) << reply.left(cut);
    }
    QRandomGenerator random(600519);
    for (int n = 0; n < 4; ++n) {
        QString noise = reply;
        for (int i = 0; i < 60; ++i)
            noise[random.bounded(noise.size())] = QChar(static_cast<ushort>(random.bounded(128)));
        QTest::newRow(qPrintable(QStringLiteral("damaged %1").arg(n))) << noise;
    }
}

void TestCompanyInfo::hostileTexts() {
    QFETCH(QString, text);
    CompanyInfo info;
    const bool ok = info.parse(QStringLiteral("600519"), text, QString());
    if (!text.contains(QLatin1String("\"concept\":"), Qt::CaseInsensitive))
        QVERIFY(!ok);
    QVERIFY(info.otherShareholders.isEmpty());
}

void TestCompanyInfo::realReplies() {
    SKIP_WITHOUT_REAL_REPLIES();
    // No captured reply is a company summary; none may pass for one.
    const QStringList files = realReplyFiles();
    QVERIFY(files.size() >= 20);
    for (const QString& file : files) {
        CompanyInfo info;
        QVERIFY2(!info.parse(QString(), realReplyText(file), QString()), qPrintable(file));
        QVERIFY(info.yysr.isEmpty() && info.gudong.isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestCompanyInfo)
#include "tst_companyinfo.moc"
