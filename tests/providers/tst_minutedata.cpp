// The minute-data client: the request URL, the minute series with its
// running average and the two percentages, the quote values of the same
// reply, the minute-line file reader and its threshold test.

#include "core/providers/minutedata.h"
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

#include <cmath>

namespace {

bool allFinite(const MinuteData& data) {
    if (!std::isfinite(data.abovePercent) || !std::isfinite(data.risingPercent))
        return false;
    for (float value : data.values) {
        if (!std::isfinite(value))
            return false;
    }
    for (const MinutePoint& point : data.points) {
        if (!std::isfinite(point.averagePrice))
            return false;
    }
    return true;
}

} // namespace

class TestMinuteData final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void url_data();
    void url();
    void defaults();
    void replyFetched();
    void replyQuoteSection();
    void shanghaiName();
    void quoteSectionByKey();
    void minuteParts_data();
    void minuteParts();
    void lines_data();
    void lines();
    void checkFile_data();
    void checkFile();
    void hostileInputs();

private:
    TestHttpServer m_server;
};

void TestMinuteData::initTestCase() {
    QVERIFY(m_server.listenAsApplicationProxy());
}

void TestMinuteData::cleanupTestCase() {
    TestHttpServer::removeApplicationProxy();
}

void TestMinuteData::url_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("symbol");
    QTest::newRow("Shanghai") << "600036"
                              << "sh600036";
    QTest::newRow("Shenzhen") << "000001"
                              << "sz000001";
    QTest::newRow("ChiNext") << "300059"
                             << "sz300059";
}

void TestMinuteData::url() {
    QFETCH(QString, code);
    QFETCH(QString, symbol);
    const QString url = qqMinuteUrl(code);
    const QRegularExpression shape(
        QStringLiteral("^http://web\\.ifzq\\.gtimg\\.cn/appstock/app/minute/query\\?code=") +
        symbol + QStringLiteral("&_appName=android&_net=WIFI&__random_suffix=(.+)$"));
    const QRegularExpressionMatch match = shape.match(url);
    QVERIFY2(match.hasMatch(), qPrintable(url));
    // Six significant digits: a large number is written in exponent form.
    QString random = match.captured(1);
    bool ok = false;
    const double value = random.toDouble(&ok);
    QVERIFY(ok);
    QVERIFY(value >= 0.0 && value < 2147483648.0);
    QVERIFY(random.remove(QRegularExpression(QStringLiteral("[^0-9]"))).size() <= 8);
}

void TestMinuteData::defaults() {
    const MinuteData data;
    QVERIFY(!data.valid);
    QVERIFY(data.code.isEmpty() && data.name.isEmpty() && data.date.isEmpty());
    QVERIFY(data.points.isEmpty() && data.volumes.isEmpty() && data.quotes.isEmpty());
    for (float value : data.values)
        QCOMPARE(value, 0.0f);
    for (const auto& level : data.levels) {
        QCOMPARE(level.first, 0.0f);
        QCOMPARE(level.second, 0);
    }
    QCOMPARE(data.abovePercent, 0.0f);
    QCOMPARE(data.risingPercent, 0.0f);
}

void TestMinuteData::replyFetched() {
    const QString fixture = fixtureText(QStringLiteral("providers/qq-minute-sz000001.json"));
    QVERIFY(fixture.contains(QStringLiteral("平安银行")));
    const QString url = qqMinuteUrl(QStringLiteral("000001"));
    const QString text = fetchGbkViaProxy(m_server, url, fixture, "application/json");
    QCOMPARE(m_server.requests().size(), 1);
    QCOMPARE(QUrl(m_server.requests().first()), QUrl(url));
    QCOMPARE(text, fixture);

    const MinuteData data = parseMinuteJson(text);
    QVERIFY(data.valid);
    QCOMPARE(data.code, QStringLiteral("000001"));
    QCOMPARE(data.date, QStringLiteral("20171009"));
    QCOMPARE(data.name, QStringLiteral("平安银行"));

    // Cumulative volumes 100, 300, 300, 600 at 11.30, 11.40, 11.35, 11.20.
    QCOMPARE(data.points.size(), 4);
    const QStringList times{"0930", "0931", "0932", "0933"};
    const float prices[4] = {11.30f, 11.40f, 11.35f, 11.20f};
    const int volumes[4] = {100, 200, 0, 300};
    // Amount sums 1130, 3410, 3410, 6770 over 100, 300, 300, 600.
    const float averages[4] = {11.30f, 3410.0f / 300.0f, 3410.0f / 300.0f, 6770.0f / 600.0f};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(data.points.at(i).time, times.at(i));
        QCOMPARE(data.points.at(i).price, prices[i]);
        QCOMPARE(data.points.at(i).volume, volumes[i]);
        QCOMPARE(data.points.at(i).averagePrice, averages[i]);
    }
    // Price not below the average: minutes 1 and 2; average not falling:
    // minutes 1, 2 and 3 (unchanged).
    QCOMPARE(data.abovePercent, 50.0f);
    QCOMPARE(data.risingPercent, 75.0f);
}

void TestMinuteData::replyQuoteSection() {
    const MinuteData data =
        parseMinuteJson(fixtureText(QStringLiteral("providers/qq-minute-sz000001.json")));
    // The 27 items from the price on: price, previous close, open, volume,
    // outer and inner volume, then ten price/volume levels.
    QCOMPARE(data.values[7], 11.27f);
    QCOMPARE(data.values[2], 11.40f);
    QCOMPARE(data.values[1], 456789.0f);
    QCOMPARE(data.values[0], 545556.0f);
    const float levelPrices[10] = {11.26f, 11.25f, 11.24f, 11.23f, 11.22f,
                                   11.27f, 11.28f, 11.29f, 11.30f, 11.31f};
    const int levelVolumes[10] = {1200, 3400, 560, 780, 900, 150, 2600, 340, 5000, 60};
    for (int j = 0; j < 10; ++j) {
        QCOMPARE(data.levels[j].first, levelPrices[j]);
        QCOMPARE(data.levels[j].second, levelVolumes[j]);
    }
    // The recent trades between them.
    QCOMPARE(data.quotes.size(), 2);
    QCOMPARE(data.quotes.at(0).time, QStringLiteral("15:00:03"));
    QCOMPARE(data.quotes.at(0).price, 11.27f);
    QCOMPARE(data.quotes.at(0).volume, 2000);
    QCOMPARE(data.quotes.at(0).side, QStringLiteral("S"));
    QCOMPARE(data.quotes.at(0).amount, 2254000);
    QCOMPARE(data.quotes.at(0).number, 34567);
    QCOMPARE(data.quotes.at(1).time, QStringLiteral("14:59:57"));
    QCOMPARE(data.quotes.at(1).side, QStringLiteral("B"));
    QCOMPARE(data.quotes.at(1).number, 34560);
    // The 19 items after the trades (the first one empty): later writes
    // replace the open at 5 and the volume at 11.
    QCOMPARE(data.values[3], 0.0f);
    QCOMPARE(data.values[4], 20171009150003.0f);
    QCOMPARE(data.values[5], -1.14f);
    QCOMPARE(data.values[11], 1002345.0f);
    QCOMPARE(data.values[10], 113456.0f);
    QCOMPARE(data.values[14], 0.55f);
    QCOMPARE(data.values[9], 8.10f);
    QCOMPARE(data.values[15], 1.93f);
    for (int unset : {6, 8, 12, 13})
        QCOMPARE(data.values[unset], 0.0f);
    // The price distribution, the reply's last array.
    QCOMPARE(data.volumes.size(), 2);
    QCOMPARE(data.volumes.at(0).price, 11.27f);
    QCOMPARE(data.volumes.at(0).volumeA, 1200);
    QCOMPARE(data.volumes.at(0).volumeB, 800);
    QCOMPARE(data.volumes.at(0).share, 0.35f);
    QCOMPARE(data.volumes.at(1).price, 11.28f);
    QCOMPARE(data.volumes.at(1).share, 0.20f);
    QVERIFY(data.extra1.isEmpty() && data.extra2.isEmpty());
}

void TestMinuteData::shanghaiName() {
    // Shanghai quotes begin with the market number "1", Shenzhen ones with
    // "51"; the name is read whole either way.
    QString text = fixtureText(QStringLiteral("providers/qq-minute-sz000001.json"));
    text.replace(QStringLiteral("sz000001"), QStringLiteral("sh600036"));
    text.replace(QStringLiteral("\"51\",\"平安银行\",\"000001\""),
                 QStringLiteral("\"1\",\"招商银行\",\"600036\""));
    const MinuteData data = parseMinuteJson(text);
    QVERIFY(data.valid);
    QCOMPARE(data.code, QStringLiteral("600036"));
    QCOMPARE(data.name, QStringLiteral("招商银行"));
    QCOMPARE(data.values[7], 11.27f);
    QCOMPARE(data.quotes.size(), 2);
    QCOMPARE(data.volumes.size(), 2);
}

void TestMinuteData::quoteSectionByKey() {
    const QString fixture = fixtureText(QStringLiteral("providers/qq-minute-sz000001.json"));
    const MinuteData expected = parseMinuteJson(fixture);
    QVERIFY(expected.valid);

    // Today's replies put the stock's array before "market"
    // (tencent-fqkline-1.js): the same record.
    const QRegularExpression market(QStringLiteral("\"market\":\\[[^\\]]*\\],"));
    const QString marketItem = market.match(fixture).captured();
    QVERIFY(!marketItem.isEmpty());
    QString swapped = fixture;
    swapped.remove(marketItem);
    const QString marketLast = QLatin1Char(',') + marketItem.chopped(1) + QLatin1Char('}');
    swapped.replace(QStringLiteral("\"]},\"mx_price\""),
                    QStringLiteral("\"]") + marketLast + QStringLiteral(",\"mx_price\""));
    QVERIFY(swapped.indexOf(QLatin1String("\"market\"")) >
            swapped.indexOf(QLatin1String("\"51\"")));
    const MinuteData data = parseMinuteJson(swapped);
    QVERIFY(data.valid);
    QCOMPARE(data.name, expected.name);
    for (int i = 0; i < 16; ++i)
        QCOMPARE(data.values[i], expected.values[i]);
    for (int j = 0; j < 10; ++j)
        QCOMPARE(data.levels[j], expected.levels[j]);
    QCOMPARE(data.quotes.size(), expected.quotes.size());
    QCOMPARE(data.volumes.size(), expected.volumes.size());

    // A section without the stock's own array cannot be read: not valid.
    QString noStock = fixture;
    noStock.replace(QStringLiteral("\"sz000001\":[\"51\""), QStringLiteral("\"sz000002\":[\"51\""));
    const MinuteData unread = parseMinuteJson(noStock);
    QVERIFY(!unread.valid);
    QVERIFY(unread.name.isEmpty());
}

void TestMinuteData::minuteParts_data() {
    QTest::addColumn<QString>("array");
    QTest::addColumn<QStringList>("times");
    QTest::addColumn<QList<int>>("volumes");
    QTest::addColumn<float>("lastAverage");
    QTest::addColumn<float>("above");
    QTest::addColumn<float>("rising");
    QTest::newRow("two minutes") << "\"0930 10.00 100\",\"0931 10.10 300\""
                                 << QStringList{"0930", "0931"} << QList<int>{100, 200}
                                 << 3020.0f / 300.0f << 100.0f << 100.0f;
    // The two-item part is skipped and leaves the volume total alone.
    QTest::newRow("short part skipped")
        << "\"0930 10.00\",\"0931 10.10 300\"" << QStringList{"0931"} << QList<int>{300} << 10.10f
        << 100.0f << 100.0f;
    QTest::newRow("four items skipped")
        << "\"0930 10.00 100 5\",\"0931 10.10 300\"" << QStringList{"0931"} << QList<int>{300}
        << 10.10f << 100.0f << 100.0f;
    // Nothing traded in the first minute: the price stands in for the
    // average, which keeps every later test meaningful.
    QTest::newRow("first minute without volume")
        << "\"0930 10.00 0\",\"0931 10.10 100\"" << QStringList{"0930", "0931"}
        << QList<int>{0, 100} << 10.10f << 100.0f << 100.0f;
    QTest::newRow("falling") << "\"0930 10.00 100\",\"0931 9.00 200\""
                             << QStringList{"0930", "0931"} << QList<int>{100, 100}
                             << 1900.0f / 200.0f << 50.0f << 50.0f;
    // A minute without a readable price is skipped, not priced at 0.
    QTest::newRow("price no number")
        << "\"0930 -- 100\",\"0931 10.10 300\"" << QStringList{"0931"} << QList<int>{300}
        << 10.10f << 100.0f << 100.0f;
    QTest::newRow("empty array") << "" << QStringList() << QList<int>() << 0.0f << 0.0f << 0.0f;
}

void TestMinuteData::minuteParts() {
    QFETCH(QString, array);
    QFETCH(QStringList, times);
    QFETCH(QList<int>, volumes);
    QFETCH(float, lastAverage);
    QFETCH(float, above);
    QFETCH(float, rising);
    const MinuteData data =
        parseMinuteJson(QStringLiteral("{\"code\":0,\"data\":{\"sz000001\":{\"data\":{\"data\":[") +
                        array + QStringLiteral("],\"date\":\"20171009\"}}}}"));
    QCOMPARE(data.points.size(), times.size());
    for (int i = 0; i < times.size(); ++i) {
        QCOMPARE(data.points.at(i).time, times.at(i));
        QCOMPARE(data.points.at(i).volume, volumes.at(i));
    }
    if (!times.isEmpty())
        QCOMPARE(data.points.last().averagePrice, lastAverage);
    QCOMPARE(data.abovePercent, above);
    QCOMPARE(data.risingPercent, rising);
    QVERIFY(allFinite(data));
    // The date entry is found, but without a quote section the record is
    // not valid.
    QVERIFY(!data.valid);
    QCOMPARE(data.date, QStringLiteral("20171009"));
    QVERIFY(data.name.isEmpty());
    QVERIFY(data.quotes.isEmpty() && data.volumes.isEmpty());
}

void TestMinuteData::lines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("times");
    QTest::addColumn<QList<int>>("volumes");
    QTest::addColumn<float>("above");
    QTest::addColumn<float>("rising");
    QTest::newRow("one line") << "a,0930,10.0,x,100,y,z" << QStringList{"0930"} << QList<int>{100}
                              << 100.0f << 100.0f;
    // Written oldest first, read newest first: 10.10 (200) then 10.00 (100),
    // whose average 3020/300 is below the first and above the price.
    QTest::newRow("newest first") << "x,0930,10.00,x,100,x,x\nx,0931,10.10,x,200,x,x"
                                  << QStringList{"0931", "0930"} << QList<int>{200, 100} << 50.0f
                                  << 50.0f;
    QTest::newRow("wrong item counts")
        << "a,0930,10.0,x,100,y\na,0931,10.0,x,100,y,z,w\na,0932,10.0,x,100,y,z\n"
        << QStringList{"0932"} << QList<int>{100} << 100.0f << 100.0f;
    QTest::newRow("price no number") << "x,0930,N/A,x,100,x,x\nx,0931,10.10,x,200,x,x"
                                     << QStringList{"0931"} << QList<int>{200} << 100.0f << 100.0f;
    QTest::newRow("empty") << "" << QStringList() << QList<int>() << 0.0f << 0.0f;
}

void TestMinuteData::lines() {
    QFETCH(QString, text);
    QFETCH(QStringList, times);
    QFETCH(QList<int>, volumes);
    QFETCH(float, above);
    QFETCH(float, rising);
    const MinuteData data = parseMinuteLines(text);
    QCOMPARE(data.points.size(), times.size());
    for (int i = 0; i < times.size(); ++i) {
        QCOMPARE(data.points.at(i).time, times.at(i));
        QCOMPARE(data.points.at(i).volume, volumes.at(i));
    }
    QCOMPARE(data.abovePercent, above);
    QCOMPARE(data.risingPercent, rising);
    QVERIFY(!data.valid);
    QVERIFY(data.code.isEmpty());
}

void TestMinuteData::checkFile_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("aboveThreshold");
    QTest::addColumn<int>("risingThreshold");
    QTest::addColumn<bool>("expected");
    // The file's percentages are 50 (above) and 75 (rising).
    QTest::newRow("below both") << "minute-lines.txt" << 49 << 74 << true;
    QTest::newRow("above equal") << "minute-lines.txt" << 50 << 74 << false;
    QTest::newRow("rising equal") << "minute-lines.txt" << 49 << 75 << false;
    QTest::newRow("negative thresholds") << "minute-lines.txt" << -1 << -1 << true;
    // No minutes pass no test, whatever the thresholds.
    QTest::newRow("missing file") << "no-such-file.txt" << -1 << -1 << false;
    QTest::newRow("empty file") << "empty" << -1 << -1 << false;
}

void TestMinuteData::checkFile() {
    QFETCH(QString, file);
    QFETCH(int, aboveThreshold);
    QFETCH(int, risingThreshold);
    QFETCH(bool, expected);
    QString path = fixturePath(QStringLiteral("providers/") + file);
    if (file == QLatin1String("empty")) {
        path = QDir::current().absoluteFilePath(QStringLiteral("empty-minutes.txt"));
        writeTextFile(path, QString());
        QVERIFY(QFile::exists(path));
    } else if (file == QLatin1String("minute-lines.txt")) {
        const MinuteData data = parseMinuteLines(readTextFile(path));
        QCOMPARE(data.points.size(), 4);
        QCOMPARE(data.points.first().time, QStringLiteral("0930"));
        QCOMPARE(data.abovePercent, 50.0f);
        QCOMPARE(data.risingPercent, 75.0f);
    }
    QCOMPARE(checkMinuteFile(QFile::encodeName(path).constData(), aboveThreshold, risingThreshold),
             expected);
}

void TestMinuteData::hostileInputs() {
    QVERIFY(!checkMinuteFile(nullptr, 0, 0));
    QStringList texts{
        QString(),
        QStringLiteral("]"),
        QStringLiteral("["),
        QStringLiteral("[]"),
        QStringLiteral("]["),
        QStringLiteral("data"),
        QStringLiteral("]\"date\":\""),
        QStringLiteral("]\"date\":\"\""),
        QStringLiteral("[\"0930 1 1\"]\"date\":\"20171009\"xxxxxxxxxxxxxxxxxxxxxx]"),
        QStringLiteral("[\"0930 1 1\"]\"date\":\"20171009\"},\"qt\":{]xx\"abcdef\":["),
        QStringLiteral("[] \"date\":\"2\" ] [ : \" ] [ \" \"")};
    const QString fixture = fixtureText(QStringLiteral("providers/qq-minute-sz000001.json"));
    texts << truncations(fixture, 1);
    QRandomGenerator random(1009);
    for (int n = 0; n < 30; ++n) {
        const int length = static_cast<int>(random.bounded(300));
        static const QString alphabet = QStringLiteral("[]\":,|^~\\/ 0123456789.datesh");
        texts.append(randomText(random, length, n % 2 ? QString() : alphabet));
    }
    texts << realReplyTexts();

    for (const QString& text : qAsConst(texts)) {
        const MinuteData json = parseMinuteJson(text);
        QVERIFY(allFinite(json));
        QVERIFY(json.code.size() <= 6);
        QVERIFY(json.date.size() <= 8);
        if (!text.contains(QLatin1String("\"date\":\"")))
            QVERIFY(!json.valid);
        const MinuteData lines = parseMinuteLines(text);
        QVERIFY(allFinite(lines));
        QVERIFY(lines.abovePercent >= 0.0f && lines.abovePercent <= 100.0f);
    }
}

QTEST_GUILESS_MAIN(TestMinuteData)
#include "tst_minutedata.moc"
