// The 320-bar daily K-line request: its URL, the bars of a reply fetched
// from a local stand-in for the service (through the proxy route, at the
// real URL) with the changes worked out between them, the saved copy, and
// texts of other shapes, the captured real K-line replies among them.

#include "core/providers/newkline.h"
#include "core/utils.h"

#include "tests/support/fixtures.h"
#include "tests/support/hostileinputs.h"
#include "tests/support/proxyfetch.h"
#include "tests/support/testhttpserver.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <limits>

namespace {

const QString kSaveDir = QStringLiteral("newkline-saved/");

// A reply for sh601318 with the given days, each a list of values.
QString reply(const QStringList& days, const QString& prefixedCode = QStringLiteral("sh601318")) {
    return QStringLiteral("{\"code\":0,\"msg\":\"\",\"data\":{\"%1\":{\"day\":[%2]}}}")
        .arg(prefixedCode, days.join(QLatin1Char(',')));
}

QString day(const QStringList& values) {
    return QStringLiteral("[\"") + values.join(QStringLiteral("\",\"")) + QStringLiteral("\"]");
}

} // namespace

class TestNewKLine final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void url_data();
    void url();
    void fetchedReply();
    void changes_data();
    void changes();
    void savedCopy_data();
    void savedCopy();
    void hostileTexts_data();
    void hostileTexts();
    void realReplies();

private:
    TestHttpServer m_server;
};

void TestNewKLine::initTestCase() {
    QVERIFY(m_server.listenAsApplicationProxy());
}

void TestNewKLine::cleanupTestCase() {
    TestHttpServer::removeApplicationProxy();
    QDir(kSaveDir).removeRecursively();
}

void TestNewKLine::init() {
    QDir(kSaveDir).removeRecursively();
    QVERIFY(QDir().mkpath(kSaveDir));
}

void TestNewKLine::url_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("symbol");
    QTest::newRow("Shanghai") << QStringLiteral("601318") << QStringLiteral("sh601318");
    QTest::newRow("Shenzhen") << QStringLiteral("002415") << QStringLiteral("sz002415");
}

void TestNewKLine::url() {
    QFETCH(QString, code);
    QFETCH(QString, symbol);
    const QRegularExpression shape(
        QStringLiteral("^http://web\\.ifzq\\.gtimg\\.cn/appstock/app/newkline/newkline\\?p=1&"
                       "param=%1,day,,,320&_appName=android&_net=4G&__random_suffix=(\\d+)$")
            .arg(symbol));
    // The suffix is a whole number below 2^31, drawn anew for every URL.
    QSet<QString> suffixes;
    for (int i = 0; i < 20; ++i) {
        const QRegularExpressionMatch match = shape.match(newKLineUrl(code));
        QVERIFY2(match.hasMatch(), qPrintable(newKLineUrl(code)));
        bool ok = false;
        QVERIFY(match.captured(1).toLongLong(&ok) < Q_INT64_C(2147483648));
        QVERIFY(ok);
        suffixes.insert(match.captured(1));
    }
    QVERIFY(suffixes.size() > 1);
}

void TestNewKLine::fetchedReply() {
    const QString url = newKLineUrl(QStringLiteral("601318"));
    const QByteArray fixture = readFixture(QStringLiteral("providers/newkline-sh601318.json"));
    QVERIFY(!fixture.isEmpty());
    const QString text =
        fetchGbkViaProxy(m_server, url, QString::fromUtf8(fixture), "application/json");
    QCOMPARE(m_server.requests(), QStringList{url});
    QVERIFY(text.contains(QStringLiteral("中国平安")));

    const QVector<Stock> bars = parseNewKLine(text, QString());
    QCOMPARE(bars.size(), 3);
    struct Expected {
        const char* date;
        float open, close, high, low, volume, turnover, change, changePercent;
    };
    // Values: date, open, close, high, low, volume, (unread), turnover.
    const Expected expected[] = {
        // The first bar has no bar before it.
        {"2017-09-27", 57.80f, 58.20f, 58.50f, 57.30f, 612345.0f, 0.34f, 0.0f, 0.0f},
        // 57.50 - 58.20 = -0.70; -0.70 * 100 / 58.20 = -1.20275
        {"2017-09-28", 58.20f, 57.50f, 58.60f, 57.20f, 543210.0f, 0.30f, -0.70f, -1.20275f},
        // 58.65 - 57.50 = 1.15; 1.15 * 100 / 57.50 = 2.0
        {"2017-09-29", 57.60f, 58.65f, 58.90f, 57.40f, 700001.0f, 0.39f, 1.15f, 2.0f},
    };
    for (int i = 0; i < 3; ++i) {
        const Stock& bar = bars.at(i);
        QCOMPARE(bar.code, QStringLiteral("601318"));
        QCOMPARE(bar.date, QLatin1String(expected[i].date));
        QCOMPARE(bar.open, expected[i].open);
        QCOMPARE(bar.close, expected[i].close);
        QCOMPARE(bar.high, expected[i].high);
        QCOMPARE(bar.low, expected[i].low);
        QCOMPARE(bar.volume, expected[i].volume);
        QCOMPARE(bar.turnoverRate, expected[i].turnover);
        QVERIFY(qAbs(bar.change - expected[i].change) < 1e-4f);
        QVERIFY(qAbs(bar.changePercent - expected[i].changePercent) < 1e-3f);
        QCOMPARE(bar.amount, 0.0f);
        QVERIFY(bar.name.isEmpty());
    }
}

void TestNewKLine::changes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("dates");
    QTest::addColumn<QList<float>>("changes");
    QTest::addColumn<QList<float>>("percents");
    QTest::addColumn<QList<float>>("turnovers");
    const auto d = [](const char* date, const char* close, int extra = 2) {
        QStringList values{QLatin1String(date), QStringLiteral("1"), QLatin1String(close),
                           QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("100")};
        if (extra >= 1)
            values.append(QString());
        if (extra >= 2)
            values.append(QStringLiteral("0.5"));
        return day(values);
    };
    QTest::newRow("10 then 11") << reply({d("a", "10.0"), d("b", "11.0")}) << QStringList{"a", "b"}
                                << QList<float>{0, 1} << QList<float>{0, 10}
                                << QList<float>{0.5f, 0.5f};
    QTest::newRow("six values keep the turnover at 0")
        << reply({d("a", "10.0", 0), d("b", "9.0", 1)}) << QStringList{"a", "b"}
        << QList<float>{0, -1} << QList<float>{0, -10} << QList<float>{0, 0};
    QTest::newRow("five values skipped, chain kept")
        << reply(
               {d("a", "10.0"), QStringLiteral("[\"x\",\"1\",\"50\",\"1\",\"1\"]"), d("c", "12.0")})
        << QStringList{"a", "c"} << QList<float>{0, 2} << QList<float>{0, 20}
        << QList<float>{0.5f, 0.5f};
    // A close that is no number leaves the next change unknown, not 5 from 0.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("close of no number before")
        << reply({d("a", "n/a"), d("b", "5.0")}) << QStringList{"a", "b"} << QList<float>{0, nan}
        << QList<float>{0, nan} << QList<float>{0.5f, 0.5f};
    // Bars stand in date order, one per date, the change against the day before.
    QTest::newRow("newest first, a day twice")
        << reply({d("c", "12.0"), d("b", "11.0"), d("a", "10.0"), d("b", "11.0")})
        << QStringList{"a", "b", "c"} << QList<float>{0, 1, 1} << QList<float>{0, 10, 100.0f / 11}
        << QList<float>{0.5f, 0.5f, 0.5f};
    QTest::newRow("unquoted values")
        << QStringLiteral("{\"data\":{\"sh601318\":{\"day\":[[a,1,10,1,1,1],[b,1,15,1,1,1]]}}}")
        << QStringList{"a", "b"} << QList<float>{0, 5} << QList<float>{0, 50} << QList<float>{0, 0};
    QTest::newRow("no marker") << QStringLiteral("{\"day\":[") + d("a", "1") + QStringLiteral("]}")
                               << QStringList() << QList<float>() << QList<float>()
                               << QList<float>();
    QTest::newRow("marker without quote")
        << QStringLiteral("{data:{sh601318:{day:[") + d("a", "1") + QStringLiteral("]}}}")
        << QStringList() << QList<float>() << QList<float>() << QList<float>();
    QTest::newRow("marker without bars")
        << QStringLiteral("{\"data\":{\"sh601318\":{\"day\":[]}}}") << QStringList()
        << QList<float>() << QList<float>() << QList<float>();
}

void TestNewKLine::changes() {
    QFETCH(QString, text);
    QFETCH(QStringList, dates);
    QFETCH(QList<float>, changes);
    QFETCH(QList<float>, percents);
    QFETCH(QList<float>, turnovers);
    const QVector<Stock> bars = parseNewKLine(text, QString());
    QCOMPARE(bars.size(), dates.size());
    for (int i = 0; i < bars.size(); ++i) {
        QCOMPARE(bars.at(i).date, dates.at(i));
        QCOMPARE(bars.at(i).code, QStringLiteral("601318"));
        QCOMPARE(bars.at(i).change, changes.at(i));
        QCOMPARE(bars.at(i).changePercent, percents.at(i));
        QCOMPARE(bars.at(i).turnoverRate, turnovers.at(i));
    }
}

void TestNewKLine::savedCopy_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("code");
    const QString bars = reply({day({"2017-10-09", "1", "2", "3", "0.5", "100"})});
    QTest::newRow("saved under the reply's code")
        << bars << kSaveDir << kSaveDir + QStringLiteral("601318") << QStringLiteral("601318");
    QTest::newRow("no directory") << bars << QString() << QString() << QStringLiteral("601318");
    QTest::newRow("no marker, not saved")
        << QStringLiteral("{\"day\":[[\"2017-10-09\",\"1\",\"2\",\"3\",\"0.5\",\"100\"]]}")
        << kSaveDir << QString() << QString();
    QTest::newRow("saved without bars")
        << QStringLiteral("{\"data\":{\"sz002415\":{\"day\":[]}}}") << kSaveDir
        << kSaveDir + QStringLiteral("002415") << QString();
    // The code names the file, so the reply cannot choose a path with it.
    QTest::newRow("path in place of the code")
        << reply({day({"2017-10-09", "1", "2", "3", "0.5", "100"})}, QStringLiteral("sh/../zz"))
        << kSaveDir << QString() << QString();
    QTest::newRow("short code of another market")
        << reply({day({"2018-04-09", "1", "2", "3", "0.5", "100"})}, QStringLiteral("hk00001"))
        << kSaveDir << QString() << QString();
}

void TestNewKLine::savedCopy() {
    QFETCH(QString, text);
    QFETCH(QString, directory);
    QFETCH(QString, file);
    QFETCH(QString, code);
    const QVector<Stock> bars = parseNewKLine(text, directory);
    for (const Stock& bar : bars)
        QCOMPARE(bar.code, code);
    const QStringList saved =
        QDir(kSaveDir).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    if (file.isEmpty()) {
        QVERIFY2(saved.isEmpty(), qPrintable(saved.join(QLatin1Char(' '))));
        QVERIFY(!QFile::exists(QStringLiteral("zz")));
    } else {
        QCOMPARE(saved.size(), 1);
        QCOMPARE(readTextFile(file), text);
    }
}

void TestNewKLine::hostileTexts_data() {
    QTest::addColumn<QString>("text");
    const QString fixture = fixtureText(QStringLiteral("providers/newkline-sh601318.json"));
    QTest::newRow("empty") << QString();
    QTest::newRow("marker at the end") << QStringLiteral("data\"");
    QTest::newRow("marker and brackets") << QStringLiteral("data\"[[]]");
    QTest::newRow("brackets before marker") << QStringLiteral("[[1,2,3,4,5,6]]data\":{\"sh6");
    QTest::newRow("separators only")
        << QStringLiteral("data\"") + QStringLiteral("],[").repeated(5000);
    QTest::newRow("cut in the bars") << fixture.left(fixture.indexOf(QLatin1String("543210")));
    QTest::newRow("cut in the code") << fixture.left(fixture.indexOf(QLatin1String("601318")) + 3);
    QRandomGenerator random(601318);
    for (int n = 0; n < 4; ++n)
        QTest::newRow(qPrintable(QStringLiteral("random %1").arg(n)))
            << QStringLiteral("\"data\":{\"sh601318\":[[") + randomText(random, 4000);
}

void TestNewKLine::hostileTexts() {
    QFETCH(QString, text);
    const QVector<Stock> bars = parseNewKLine(text, kSaveDir);
    QVERIFY(bars.size() <= text.count(QLatin1String("],[")) + 1);
    for (const Stock& bar : bars) {
        QVERIFY(qIsFinite(bar.change));
        QVERIFY(qIsFinite(bar.changePercent));
    }
}

void TestNewKLine::realReplies() {
    SKIP_WITHOUT_REAL_REPLIES();
    // The captured K-line replies have the same frame: "data", the prefixed
    // code and the days as an array of arrays of six values.
    struct Expected {
        const char* file;
        const char* code;
        int count;
        float lastClose, lastChange, lastPercent;
    };
    const Expected expected[] = {
        // 41.260 - 40.510 = 0.75; 0.75 * 100 / 40.51 = 1.85140
        {"tencent-fqkline-2-qfq.json", "600036", 3, 41.26f, 0.75f, 1.85140f},
        // 41.570 - 40.820 = 0.75; 0.75 * 100 / 40.82 = 1.83733
        {"tencent-fqkline-3-day.json", "600036", 3, 41.57f, 0.75f, 1.83733f},
        // A Hong Kong code of five digits is no code of this market.
        {"tencent-fqkline-1.js", "", 1, 91.85f, 0.0f, 0.0f},
    };
    for (const Expected& e : expected) {
        const QVector<Stock> bars = parseNewKLine(realReplyText(QLatin1String(e.file)), QString());
        QCOMPARE(bars.size(), e.count);
        QCOMPARE(bars.constFirst().code, QLatin1String(e.code));
        QVERIFY(!bars.constFirst().date.startsWith(QLatin1Char('[')));
        QCOMPARE(bars.constLast().close, e.lastClose);
        QVERIFY2(qAbs(bars.constLast().change - e.lastChange) < 1e-4f, e.file);
        QVERIFY2(qAbs(bars.constLast().changePercent - e.lastPercent) < 1e-3f, e.file);
        QCOMPARE(bars.constLast().turnoverRate, 0.0f);
    }
    const QStringList files = realReplyFiles();
    QVERIFY(files.size() >= 20);
    for (const QString& file : files) {
        if (file.startsWith(QLatin1String("tencent-fqkline")))
            continue;
        const QString text = realReplyText(file);
        if (!text.contains(QLatin1String("data\"")))
            QVERIFY2(parseNewKLine(text, kSaveDir).isEmpty(), qPrintable(file));
        else
            parseNewKLine(text, QString()); // survived is enough
    }
    QVERIFY(QDir(kSaveDir).entryList(QDir::Files).isEmpty());
}

QTEST_GUILESS_MAIN(TestNewKLine)
#include "tst_newkline.moc"
