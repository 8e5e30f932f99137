#include "core/utils.h"

#include "core/cancelflag.h"

#include "tests/support/fixtures.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>
#include <QThread>
#include <QTimer>

#include <time.h>

using Row = QMap<QString, QString>;
using Rows = QVector<Row>;
Q_DECLARE_METATYPE(Rows)

namespace {

qint64 threadCpuNs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// The plain reading (quotes removed, cut at every marker), which the quote-aware
// parser must match on texts whose quoted values hold no marker.
Rows designedObjectList(QString body) {
    body.remove(QLatin1Char('"'));
    body = body.mid(body.indexOf(QLatin1String("[{")) + 2).trimmed();
    const int end = body.lastIndexOf(QLatin1String("}]"));
    if (end >= 0)
        body = body.left(end);
    Rows rows;
    for (const QString& object : body.split(QStringLiteral("},{"))) {
        Row row;
        for (const QString& piece : object.split(QLatin1Char(','))) {
            const int colon = piece.indexOf(QLatin1Char(':'));
            if (colon >= 0)
                row.insert(piece.left(colon), piece.mid(colon + 1));
        }
        if (!row.isEmpty())
            rows.append(row);
    }
    return rows;
}

// Whether a closed quoted string holds a marker or a backslash (which may move its end).
bool quotesHoldMarkers(const QString& text) {
    bool inString = false;
    bool holds = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"')) {
            if (inString && holds)
                return true;
            inString = !inString;
            holds = false;
        } else if (inString && QStringLiteral("[{}],:\\").contains(c)) {
            holds = true;
        }
    }
    return false;
}

class RecordingVisitor final : public FileVisitor {
public:
    void visit(const QString& path, int index, int count) override {
        names << QFileInfo(path).fileName();
        absolute << QFileInfo(path).isAbsolute();
        indexes << index;
        counts << count;
    }
    QStringList names;
    QList<bool> absolute;
    QList<int> indexes;
    QList<int> counts;
};

} // namespace

class TestUtils final : public QObject {
    Q_OBJECT
private slots:
    void delayZeroReturnsAtOnce();
    void delayKeepsEventsFlowing();
    void delayOnWorkerThreadSleeps();
    void delayEndsWhenCancelled();

    void textFileRoundTrip_data();
    void textFileRoundTrip();
    void textFileFailures();

    void parseObjectList_data();
    void parseObjectList();
    void parseObjectListSurvivesAnyText();
    void parseObjectListOnRealReplies();

    void serviceReplyShape();
    void splitLinesKeepsEmptyLines();
    void figuresNeverInExponentForm_data();
    void figuresNeverInExponentForm();
    void regexFirstCapture_data();
    void regexFirstCapture();
    void pointLineDistanceIsSigned();
    void forEachFileVisitsPlainFiles();
};

void TestUtils::figuresNeverInExponentForm_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("figure");
    QTest::addColumn<QString>("amount"); // the value as 万元
    QTest::newRow("ordinary") << 2508.33 << "2508.33" << "2508.33万";
    QTest::newRow("six digits") << 123456.7 << "123457" << "12.35亿";
    QTest::newRow("rounds to 1亿") << 9999.999 << "10000" << "1.00亿";
    QTest::newRow("below 1亿") << 9999.99 << "9999.99" << "9999.99万";
    QTest::newRow("123亿 turnover") << 1234567.89 << "1234568" << "123.46亿";
    QTest::newRow("negative") << -1234567.89 << "-1234568" << "-123.46亿";
    QTest::newRow("tiny") << 0.0000123 << "0.0000123" << "0.0000123万";
    QTest::newRow("not a number") << qQNaN() << "-" << "-万";
}

void TestUtils::figuresNeverInExponentForm() {
    QFETCH(double, value);
    QFETCH(QString, figure);
    QFETCH(QString, amount);
    QCOMPARE(figureText(value), figure);
    QCOMPARE(wanAmountText(value), amount);
}

void TestUtils::delayZeroReturnsAtOnce() {
    QElapsedTimer t;
    t.start();
    delayMs(0);
    delayMs(-5);
    QVERIFY(t.elapsed() < 50);
}

void TestUtils::delayKeepsEventsFlowing() {
    int fired = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, this, [&fired] { ++fired; });
    timer.start(20);
    QElapsedTimer t;
    t.start();
    delayMs(300);
    QVERIFY2(t.elapsed() >= 300, qPrintable(QString::number(t.elapsed())));
    // The timer can only fire while delayMs delivers this thread's events.
    QVERIFY2(fired >= 5, qPrintable(QString::number(fired)));
}

void TestUtils::delayOnWorkerThreadSleeps() {
    qint64 wallMs = -1;
    qint64 cpuNs = -1;
    // A thread whose run() is the function itself: no event loop is running.
    QThread* thread = QThread::create([&] {
        QElapsedTimer t;
        const qint64 cpu0 = threadCpuNs();
        t.start();
        delayMs(500);
        wallMs = t.elapsed();
        cpuNs = threadCpuNs() - cpu0;
    });
    thread->start();
    QVERIFY(thread->wait(10000));
    delete thread;
    QVERIFY2(wallMs >= 500, qPrintable(QString::number(wallMs)));
    QVERIFY2(wallMs < 3000, qPrintable(QString::number(wallMs)));
    // A spinning wait burns about as much CPU as wall time.
    QVERIFY2(cpuNs < 100 * 1000000LL, qPrintable(QString::number(cpuNs)));
}

void TestUtils::delayEndsWhenCancelled() {
    // Raised from this thread while a worker pauses, as the window does when
    // it closes during a scan.
    CancelFlag stop;
    bool completed = true;
    qint64 wallMs = -1;
    QThread* thread = QThread::create([&] {
        QElapsedTimer t;
        t.start();
        completed = delayMs(10000, &stop);
        wallMs = t.elapsed();
    });
    thread->start();
    QTimer::singleShot(100, &stop, &CancelFlag::cancel);
    QTRY_VERIFY_WITH_TIMEOUT(thread->isFinished(), 5000);
    delete thread;
    QVERIFY(!completed);
    QVERIFY2(wallMs < 2000, qPrintable(QString::number(wallMs)));
    // Once raised, a pause does not even begin.
    QVERIFY(!delayMs(10000, &stop));
    QVERIFY(delayMs(1, nullptr));
}

void TestUtils::textFileRoundTrip_data() {
    QTest::addColumn<QByteArray>("codec");
    QTest::addColumn<QByteArray>("expectedBytes");
    // 龙虎榜 in each encoding, worked out from the code tables.
    QTest::newRow("gbk") << QByteArray("GBK") << QByteArray::fromHex("c1fabba2b0f1");
    QTest::newRow("utf8") << QByteArray("UTF-8") << QByteArray::fromHex("e9be99e8998ee6a69c");
}

void TestUtils::textFileRoundTrip() {
    QFETCH(QByteArray, codec);
    QFETCH(QByteArray, expectedBytes);
    QTextCodec* saved = QTextCodec::codecForLocale();
    QTextCodec::setCodecForLocale(QTextCodec::codecForName(codec));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("reply"));

    writeTextFile(path, QStringLiteral("龙虎榜"));
    QFile raw(path);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    raw.close();

    const QString text = QStringLiteral("机构专用,2017-01-03\n营业部 名称\n");
    writeTextFile(path, text); // truncates the earlier content
    const QString back = readTextFile(path);
    QTextCodec::setCodecForLocale(saved);

    QCOMPARE(bytes, expectedBytes);
    QCOMPARE(back, text);
}

void TestUtils::textFileFailures() {
    QTemporaryDir dir;
    QCOMPARE(readTextFile(dir.filePath(QStringLiteral("missing"))), QString());
    const QString inMissingDir = dir.filePath(QStringLiteral("no/such/dir/file"));
    writeTextFile(inMissingDir, QStringLiteral("x"));
    QVERIFY(!QFile::exists(inMissingDir));
}

static Row row(std::initializer_list<std::pair<QString, QString>> pairs) {
    Row r;
    for (const auto& p : pairs)
        r.insert(p.first, p.second);
    return r;
}

void TestUtils::parseObjectList_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<Rows>("expected");

    QTest::newRow("empty") << QString() << Rows{};
    QTest::newRow("javascript assignment")
        << QStringLiteral("var data={\"rows\":[{\"a\":\"1\",\"b\":\"2\"},{\"a\":\"3\"}]};")
        << Rows{row({{"a", "1"}, {"b", "2"}}), row({{"a", "3"}})};
    QTest::newRow("no opening marker drops first character")
        << QStringLiteral("Xa:1,b:2}]tail") << Rows{row({{"a", "1"}, {"b", "2"}})};
    QTest::newRow("no markers at all") << QStringLiteral("xa:1") << Rows{row({{"a", "1"}})};
    QTest::newRow("no closing marker keeps the rest")
        << QStringLiteral("[{a:1,b:2") << Rows{row({{"a", "1"}, {"b", "2"}})};
    QTest::newRow("row without colons adds no map")
        << QStringLiteral("[{x,y},{a:1}]") << Rows{row({{"a", "1"}})};
    QTest::newRow("comma cuts a value")
        << QStringLiteral("[{a:1,2,b:x}]") << Rows{row({{"a", "1"}, {"b", "x"}})};
    QTest::newRow("time of day survives")
        << QStringLiteral("[{t:\"09:30:00\"}]") << Rows{row({{"t", "09:30:00"}})};
    QTest::newRow("blanks kept inside") << QStringLiteral("  [{ a : 1 },{b: 2 }]  ")
                                        << Rows{row({{"a ", " 1 "}}), row({{"b", " 2 "}})};
    QTest::newRow("later key replaces") << QStringLiteral("[{a:1,a:2}]") << Rows{row({{"a", "2"}})};
    QTest::newRow("empty object") << QStringLiteral("[{}]") << Rows{};
    QTest::newRow("only opening marker") << QStringLiteral("[{") << Rows{};
    QTest::newRow("closing before opening") << QStringLiteral("}][{a:1") << Rows{row({{"a", "1"}})};
    QTest::newRow("last closing marker counts")
        << QStringLiteral("[{a:x}]y,b:2}]") << Rows{row({{"a", "x}]y"}, {"b", "2"}})};
    QTest::newRow("quoted values keep commas, colons and brackets")
        << QStringLiteral("[{\"title\":\"甲股份: 净利润增长1,200%, 创新高\",\"t\":\"{x}],[{\"},{b:2}]")
        << Rows{row({{"title", "甲股份: 净利润增长1,200%, 创新高"}, {"t", "{x}],[{"}}),
                row({{"b", "2"}})};
    QTest::newRow("unclosed quote opens no string")
        << QStringLiteral("[{a:\"x,b:1}]") << Rows{row({{"a", "x"}, {"b", "1"}})};
    QTest::newRow("escaped quote stays inside")
        << QStringLiteral("[{a:\"x\\\",y\",b:2}]") << Rows{row({{"a", "x\",y"}, {"b", "2"}})};
    // String escapes are decoded, in JSON and in JavaScript with bare keys alike.
    QTest::newRow("json escapes")
        << QStringLiteral("var d={\"data\":[{\"SName\":\"\\u534e\\u4e1C\\ud842\\udfb7\",\"t\":"
                          "\"a\\\"b\\\\c\\/d\\ne\",\"n\":12.50,\"z\":null,\"v\":[1,\"x\"]}]}")
        << Rows{row({{"SName", "华东𠮷"},
                     {"t", "a\"b\\c/d\ne"},
                     {"n", "12.5"},
                     {"z", "null"},
                     {"v", "[1,\"x\"]"}})};
    QTest::newRow("javascript escapes")
        << QStringLiteral(
               "[{SName:\"\\u534e\\u4e1C\\ud842\\udfb7\",t:\"a\\\"b\\\\c\\/d\\ne\\x\\u12\"}]")
        << Rows{row({{"SName", "华东𠮷"}, {"t", "a\"b\\c/d\ne\\x\\u12"}})};
    QTest::newRow("chinese values")
        << QStringLiteral("[{\"SName\":\"平安银行\",\"Ctypedes\":\"日涨幅偏离值达7%\"}]")
        << Rows{row({{"SName", "平安银行"}, {"Ctypedes", "日涨幅偏离值达7%"}})};
}

void TestUtils::parseObjectList() {
    QFETCH(QString, text);
    QFETCH(Rows, expected);
    QCOMPARE(::parseObjectList(text), expected);
}

void TestUtils::parseObjectListSurvivesAnyText() {
    // Texts built from the parser's own marker characters, so that every
    // odd ordering of brackets, quotes, commas and colons turns up.
    const QString alphabet = QStringLiteral("[{}],:\"a1 \n");
    QRandomGenerator rng(20170103);
    for (int i = 0; i < 20000; ++i) {
        const int length = rng.bounded(24);
        QString text;
        for (int j = 0; j < length; ++j)
            text += alphabet.at(rng.bounded(alphabet.size()));
        const Rows rows = ::parseObjectList(text);
        // Quoted values may keep the markers now; all other texts read as designed.
        if (!quotesHoldMarkers(text))
            QCOMPARE(rows, designedObjectList(text));
        for (const Row& r : rows) {
            QVERIFY2(!r.isEmpty(), qPrintable(text));
            for (auto it = r.cbegin(); it != r.cend(); ++it)
                QVERIFY2(!it.value().contains(QLatin1Char('"')), qPrintable(text));
        }
    }
}

void TestUtils::parseObjectListOnRealReplies() {
    SKIP_WITHOUT_REAL_REPLIES();
    const QDir dir(realReplyPath(QString()));
    QTextCodec* gbk = QTextCodec::codecForName("GBK");
    const QStringList files = dir.entryList(QDir::Files);
    QVERIFY(files.size() > 5);
    for (const QString& name : files) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const bool isGbk =
            name.contains(QLatin1String(".gbk")) || name.contains(QLatin1String(".gb2312"));
        const Rows rows =
            ::parseObjectList(isGbk ? gbk->toUnicode(bytes) : QString::fromUtf8(bytes));
        for (const Row& r : rows)
            QVERIFY2(!r.isEmpty(), qPrintable(name));
    }

    // The node list: an array of 80 row objects with unquoted keys.
    QFile nodes(dir.filePath(QStringLiteral("sina-hqnodedata-1.js")));
    QVERIFY(nodes.open(QIODevice::ReadOnly));
    const Rows rows = ::parseObjectList(QString::fromUtf8(nodes.readAll()));
    QCOMPARE(rows.size(), 80);
    QCOMPARE(rows.first().value(QStringLiteral("symbol")), QStringLiteral("sh601588"));
    QCOMPARE(rows.first().value(QStringLiteral("name")), QStringLiteral("北辰实业"));
    QCOMPARE(rows.first().value(QStringLiteral("ticktime")), QStringLiteral("15:03:06"));

    // A lone row object without the array brackets still gives its fields.
    QFile record(dir.filePath(QStringLiteral("eastmoney-tradedetail-1.record.json")));
    QVERIFY(record.open(QIODevice::ReadOnly));
    const Rows one = ::parseObjectList(QString::fromUtf8(record.readAll()));
    QCOMPARE(one.size(), 1);
    QCOMPARE(one.first().value(QStringLiteral("SCode")), QStringLiteral("000591"));
    QCOMPARE(one.first().value(QStringLiteral("SName")), QStringLiteral("太阳能"));

    QVERIFY(::parseObjectList(QStringLiteral("null")).isEmpty());
}

void TestUtils::serviceReplyShape() {
    for (const char* text : {"var data_tab_1={\"data\":[{\"a\":\"]}\\\"[\"}]};\n",
                             " kline_dayqfq = {\"code\":0} ; ", "{\"code\":0,\"data\":[]}", "[]"})
        QVERIFY2(isServiceReply(QString::fromUtf8(text)), text);
    for (const char* text : {"<html><script>var cfg={\"a\":[1,2]};</script></html>", "ok {\"a\":1}",
                             "var cfg={\"a\":[1,2]}; location.href=1", "{}{}", "{};;", "{\"a\":[1}]",
                             "var \"x\"={}", "{\"a\":\"}\"", "null", ""})
        QVERIFY2(!isServiceReply(QString::fromUtf8(text)), text);
    // Every cut of a whole reply is no reply, wherever it falls.
    for (const char* name : {"scan/kline.json", "scan/list-2017-10-09.js", "scan/news.json"}) {
        const QString whole = fixtureText(QLatin1String(name));
        QVERIFY2(isServiceReply(whole), name);
        for (int cut = 0; cut < whole.trimmed().size(); cut += 7)
            QVERIFY2(!isServiceReply(whole.left(cut)), qPrintable(QString::number(cut)));
    }
}

void TestUtils::splitLinesKeepsEmptyLines() {
    QCOMPARE(splitLines(QStringLiteral("a\n\n b \n")),
             (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b"), QString()}));
    QCOMPARE(splitLines(QString()), QStringList{QString()});
}

void TestUtils::regexFirstCapture_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole match, not the group")
        << QStringLiteral("x<td>1</td><td>2</td>") << QStringLiteral("<td>(.*)</td>")
        << QStringLiteral("<td>1</td>");
    QTest::newRow("case-insensitive")
        << QStringLiteral("<TD>1</TD>") << QStringLiteral("<td>.*</td>")
        << QStringLiteral("<TD>1</TD>");
    QTest::newRow("no match") << QStringLiteral("abc") << QStringLiteral("x+") << QString();
}

void TestUtils::regexFirstCapture() {
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(::regexFirstCapture(text, pattern), expected);
}

void TestUtils::pointLineDistanceIsSigned() {
    const QLineF diagonal(0, 0, 1, 1);
    QVERIFY(qAbs(pointLineDistance(diagonal, 0, 1) - 0.70710678f) < 1e-5f);
    QVERIFY(qAbs(pointLineDistance(diagonal, 1, 0) + 0.70710678f) < 1e-5f);
    // y = 2x + 1; the point (1, 0) lies 3 below it: -3 / sqrt(5).
    QVERIFY(qAbs(pointLineDistance(QLineF(0, 1, 2, 5), 1, 0) + 1.3416408f) < 1e-5f);
}

void TestUtils::forEachFileVisitsPlainFiles() {
    RecordingVisitor none;
    forEachFile(QStringLiteral("/no/such/directory"), &none);
    QVERIFY(none.names.isEmpty());

    QTemporaryDir dir;
    for (const char* name : {"b.txt", "A.txt", "c", ".hidden"}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("c")), dir.filePath(QStringLiteral("link"))));

    RecordingVisitor visitor;
    forEachFile(dir.path(), &visitor);
    QCOMPARE(visitor.names, (QStringList{"A.txt", "b.txt", "c"}));
    QCOMPARE(visitor.indexes, (QList<int>{0, 1, 2}));
    QCOMPARE(visitor.counts, (QList<int>{3, 3, 3}));
    QCOMPARE(visitor.absolute, (QList<bool>{true, true, true}));
}

QTEST_GUILESS_MAIN(TestUtils)
#include "tst_utils.moc"
