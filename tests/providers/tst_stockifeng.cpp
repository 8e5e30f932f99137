// The daily-bar client by code: its URLs, the bars of a reply fetched from
// a local stand-in for the service (through the proxy route, at the real
// URL), the day entries it must skip, the copies it saves, and texts it was
// never meant to read.

#include "core/providers/stockifenginterface.h"
#include "core/utils.h"

#include "tests/support/fixtures.h"
#include "tests/support/hostileinputs.h"
#include "tests/support/proxyfetch.h"
#include "tests/support/testhttpserver.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

namespace {

// One day of the service's seventeen values; extra values or fewer make
// entries of other lengths.
QString day(const QString& date, int valueCount = 17) {
    QStringList values{QStringLiteral("\"%1\"").arg(date)};
    for (int i = 1; i < valueCount; ++i)
        values.append(QStringLiteral("\"%1.5\"").arg(i));
    return QStringLiteral("[") + values.join(QLatin1Char(',')) + QStringLiteral("]");
}

QString reply(const QStringList& days) {
    return QStringLiteral("{\"record\":[") + days.join(QLatin1Char(',')) + QStringLiteral("]}");
}

const QString kSaveDir = QStringLiteral("ifeng-saved/");

} // namespace

class TestStockiFeng final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void urls_data();
    void urls();
    void fetchedReply();
    void entries_data();
    void entries();
    void savedCopy_data();
    void savedCopy();
    void hostileTexts_data();
    void hostileTexts();
    void realReplies();

private:
    TestHttpServer m_server;
};

void TestStockiFeng::initTestCase() {
    QVERIFY(m_server.listenAsApplicationProxy());
}

void TestStockiFeng::cleanupTestCase() {
    TestHttpServer::removeApplicationProxy();
    QDir(kSaveDir).removeRecursively();
}

void TestStockiFeng::init() {
    QDir(kSaveDir).removeRecursively();
    QVERIFY(QDir().mkpath(kSaveDir));
}

void TestStockiFeng::urls_data() {
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QStringList>("expected");
    const QString base = QStringLiteral("http://api.finance.ifeng.com/akdaily/?code=%1&type=last");
    QTest::newRow("Shanghai and Shenzhen")
        << QStringList{QStringLiteral("600519"), QStringLiteral("000002")}
        << QStringList{base.arg(QLatin1String("sh600519")), base.arg(QLatin1String("sz000002"))};
    QTest::newRow("order kept, ChiNext and SME")
        << QStringList{QStringLiteral("300750"), QStringLiteral("601318"), QStringLiteral("002415")}
        << QStringList{base.arg(QLatin1String("sz300750")), base.arg(QLatin1String("sh601318")),
                       base.arg(QLatin1String("sz002415"))};
    QTest::newRow("none") << QStringList() << QStringList();
}

void TestStockiFeng::urls() {
    QFETCH(QStringList, codes);
    QFETCH(QStringList, expected);
    StockiFengInterface client;
    QCOMPARE(client.urls(codes), expected);
}

void TestStockiFeng::fetchedReply() {
    StockiFengInterface client;
    const QString url = client.urls({QStringLiteral("600519")}).value(0);
    const QByteArray fixture = readFixture(QStringLiteral("providers/ifeng-akdaily-sh600519.json"));
    QVERIFY(!fixture.isEmpty());
    const QString text = fetchViaProxy(m_server, url, fixture, "application/json");
    QCOMPARE(m_server.requests(), QStringList{url});

    const QVector<Stock> bars = client.parse(text, QStringLiteral("600519"));
    QCOMPARE(bars.size(), 3);
    struct Expected {
        const char* date;
        float open, high, close, low, volume, change, changePercent;
    };
    // Values 1 to 7 are open, high, close, low, volume, change, change in %.
    const Expected expected[] = {
        {"2017-09-27", 520.00f, 528.50f, 526.30f, 518.80f, 23456.78f, 6.30f, 1.21f},
        {"2017-09-28", 526.00f, 530.00f, 524.10f, 521.00f, 19876.54f, -2.20f, -0.42f},
        {"2017-09-29", 525.00f, 535.88f, 532.50f, 523.60f, 31234.00f, 8.40f, 1.60f},
    };
    for (int i = 0; i < 3; ++i) {
        const Stock& bar = bars.at(i);
        QCOMPARE(bar.code, QStringLiteral("600519"));
        QCOMPARE(bar.date, QLatin1String(expected[i].date));
        QCOMPARE(bar.open, expected[i].open);
        QCOMPARE(bar.high, expected[i].high);
        QCOMPARE(bar.close, expected[i].close);
        QCOMPARE(bar.low, expected[i].low);
        QCOMPARE(bar.volume, expected[i].volume);
        QCOMPARE(bar.change, expected[i].change);
        QCOMPARE(bar.changePercent, expected[i].changePercent);
        // Values 8 to 16 (averages, turnover) are not read.
        QCOMPARE(bar.turnoverRate, 0.0f);
        QCOMPARE(bar.amount, 0.0f);
        QCOMPARE(bar.preClose, 0.0f);
        QVERIFY(bar.name.isEmpty());
    }
}

void TestStockiFeng::entries_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("dates");
    const QString a = QStringLiteral("2017-10-09");
    const QString b = QStringLiteral("2017-10-10");
    QTest::newRow("first date without bracket")
        << QStringLiteral("[[\"2017-10-09\",") + day(QString()).mid(6) << QStringList{a};
    QTest::newRow("16 values skipped") << reply({day(a, 16), day(b)}) << QStringList{b};
    QTest::newRow("18 values skipped") << reply({day(a), day(b, 18)}) << QStringList{a};
    QTest::newRow("unquoted values")
        << QStringLiteral("[[2017-10-09,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16]]")
        << QStringList{a};
    QTest::newRow("no closing brackets: to the end")
        << QStringLiteral("{\"record\":[") + day(a) + QStringLiteral(",") + day(b)
        << QStringList{a, b};
    QTest::newRow("no opening brackets: no days") << day(a) << QStringList();
    // A "]]" before the days does not close them: they run to the end.
    QTest::newRow("closing only before opening")
        << QStringLiteral("]]") + reply({day(a)}).replace(QLatin1String("]]"), QLatin1String("]"))
        << QStringList{a};
    QTest::newRow("newest first, a day twice")
        << reply({day(b), day(a), day(b)}) << QStringList{a, b};
    QTest::newRow("empty array") << QStringLiteral("{\"record\":[[]]}") << QStringList();
    QTest::newRow("empty text") << QString() << QStringList();
}

void TestStockiFeng::entries() {
    QFETCH(QString, text);
    QFETCH(QStringList, dates);
    StockiFengInterface client;
    const QVector<Stock> bars = client.parse(text, QStringLiteral("000002"));
    QStringList got;
    for (const Stock& bar : bars) {
        got.append(bar.date);
        QCOMPARE(bar.code, QStringLiteral("000002"));
    }
    QCOMPARE(got, dates);
}

void TestStockiFeng::savedCopy_data() {
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("file");
    const QString bars = reply({day(QStringLiteral("2017-10-09"))});
    QTest::newRow("saved as directory + code")
        << kSaveDir << QStringLiteral("600519") << bars << kSaveDir + QStringLiteral("600519");
    QTest::newRow("saved without bars")
        << kSaveDir << QStringLiteral("000001") << QStringLiteral("<html>404</html>")
        << kSaveDir + QStringLiteral("000001");
    QTest::newRow("prefix used as given")
        << kSaveDir + QStringLiteral("day-") << QStringLiteral("600000") << bars
        << kSaveDir + QStringLiteral("day-600000");
    QTest::newRow("empty directory") << QString() << QStringLiteral("600519") << bars << QString();
    QTest::newRow("empty code") << kSaveDir << QString() << bars << QString();
}

void TestStockiFeng::savedCopy() {
    QFETCH(QString, directory);
    QFETCH(QString, code);
    QFETCH(QString, text);
    QFETCH(QString, file);
    StockiFengInterface client;
    client.setParam(1, QStringLiteral("elsewhere/")); // only index 0 names the directory
    client.setParam(0, directory);
    QCOMPARE(client.directory(), directory);
    client.parse(text, code);
    const QStringList saved = QDir(kSaveDir).entryList(QDir::Files);
    if (file.isEmpty()) {
        QVERIFY2(saved.isEmpty(), qPrintable(saved.join(QLatin1Char(' '))));
        QVERIFY(!QFile::exists(code));
    } else {
        QCOMPARE(saved.size(), 1);
        // The reply as received, quotes and all.
        QCOMPARE(readTextFile(file), text);
    }
    QVERIFY(!QDir(QStringLiteral("elsewhere")).exists());
}

void TestStockiFeng::hostileTexts_data() {
    QTest::addColumn<QString>("text");
    const QString fixture = fixtureText(QStringLiteral("providers/ifeng-akdaily-sh600519.json"));
    QTest::newRow("markers only") << QStringLiteral("[[],[]]");
    QTest::newRow("separators only") << QStringLiteral("],[").repeated(5000);
    QTest::newRow("brackets only") << QStringLiteral("[[]]").repeated(5000);
    QTest::newRow("commas only") << QStringLiteral("[[") + QStringLiteral(",").repeated(16) +
                                        QStringLiteral("]]");
    QTest::newRow("cut in a value") << fixture.left(fixture.indexOf(QLatin1String("530.00")) + 3);
    QTest::newRow("cut after brackets") << fixture.left(fixture.indexOf(QLatin1String("[[")) + 2);
    QTest::newRow("quotes only") << QStringLiteral("\"").repeated(1000);
    QRandomGenerator random(20171009);
    for (int n = 0; n < 4; ++n)
        QTest::newRow(qPrintable(QStringLiteral("random %1").arg(n))) << randomText(random, 4000);
}

void TestStockiFeng::hostileTexts() {
    QFETCH(QString, text);
    StockiFengInterface client;
    const QVector<Stock> bars = client.parse(text, QStringLiteral("600519"));
    // Whatever was read is a day of seventeen values: never more entries
    // than separators allow.
    QVERIFY(bars.size() <= text.count(QLatin1String("],[")) + 1);
    if (text.startsWith(QLatin1String("[[,")))
        QCOMPARE(bars.size(), 1); // seventeen empty values are a day of zeros
}

void TestStockiFeng::realReplies() {
    SKIP_WITHOUT_REAL_REPLIES();
    // None of the captured services answers with days of seventeen values;
    // each must still be survived and read as holding no days.
    const QStringList files = realReplyFiles();
    QVERIFY(files.size() >= 20);
    StockiFengInterface client;
    for (const QString& file : files)
        QVERIFY2(client.parse(realReplyText(file), QStringLiteral("600036")).isEmpty(),
                 qPrintable(file));
}

QTEST_GUILESS_MAIN(TestStockiFeng)
#include "tst_stockifeng.moc"
