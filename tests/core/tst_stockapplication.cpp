#include "core/stockapplication.h"

#include "core/inifile.h"
#include "core/providers/stockqqhistoryinterface.h"

#include "tests/support/testhttpserver.h"
#include "tests/support/unprivileged.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QThread>

#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// K-line reply of two daily bars, in the service's array-of-arrays shape.
const char kKLineReply[] = "kline_dayhfq={\"code\":0,\"data\":{\"sh600000\":{\"hfqday\":["
                           "[\"2017-01-03\",\"10.00\",\"10.50\",\"10.80\",\"9.90\",\"12345\"],"
                           "[\"2017-01-04\",\"10.50\",\"11.00\",\"11.20\",\"10.40\",\"23456\"]]}}}";

Stock listRow(const QString& date, const QString& code, const QString& name,
              const QString& typeText = QStringLiteral("日涨幅偏离值达7%")) {
    Stock s;
    s.date = date;
    s.code = code;
    s.name = name;
    s.typeText = typeText;
    return s;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

// Child mode: start the application in the working directory, report what
// it read, optionally change the list, and exit normally.
int runChild(int argc, char** argv) {
    QString newDays;
    bool setDays = false;
    for (int i = 2; i < argc; ++i) {
        if (std::strncmp(argv[i], "--set=", 6) == 0) {
            newDays = QString::fromUtf8(argv[i] + 6);
            setDays = true;
        }
    }
    int childArgc = 1;
    StockApplication app(childArgc, argv);
    QTextStream out(stdout);
    out << "days:" << app.nonTradeDays().join(QLatin1Char('|')) << '\n';
    out << "count:" << app.nonTradeDays().size() << '\n';
    out << "init:" << (app.isInitialized() ? 1 : 0) << '\n';
    QFile config(QString::fromLatin1(StockApplication::kConfigFile));
    out << "exists:" << (config.exists() ? 1 : 0) << '\n';
    if (config.open(QIODevice::ReadOnly))
        out << "startup:" << config.readAll().toHex() << '\n';
    if (setDays)
        app.setNonTradeDays(newDays.split(QLatin1Char(',')));
    out.flush();
    return 0;
}

} // namespace

class TestStockApplication final : public QObject {
    Q_OBJECT
private slots:
    // config.ini and the first-run marker, in child processes.
    void configFile_data();
    void configFile();
    void changedListWrittenAtExit();
    void firstRunMarker();
    void leftTemporariesRemovedAtStart();

    // The caches, in this process.
    void init();
    void dayStocksReplaceAndKeepNames();
    void detailPairsSkipConsecutiveListings();
    void lhbSeatsNested();
    void clearCachesKeepsLinksAndDays();
    void kLinesFetchedOncePerScan();
    void kLineFailuresRetriedChoicesCachedApart();
    void kLinesKeptAreBounded();
    void cachesGuardedAgainstWorker();

private:
    struct ChildResult {
        QMap<QString, QString> values;
        QByteArray finalConfig;
        int exitCode = -1;
    };
    ChildResult runChildIn(const QString& dir, const QStringList& extraArgs = {});
    QTemporaryDir m_home;
};

TestStockApplication::ChildResult TestStockApplication::runChildIn(const QString& dir,
                                                                   const QStringList& extraArgs) {
    QProcess child;
    child.setWorkingDirectory(dir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), m_home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral(".config")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                QStringList{QStringLiteral("--child")} + extraArgs);
    ChildResult result;
    if (!child.waitForFinished(30000))
        return result;
    result.exitCode = child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
    const QStringList lines =
        QString::fromUtf8(child.readAllStandardOutput()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const int colon = line.indexOf(QLatin1Char(':'));
        if (colon > 0)
            result.values.insert(line.left(colon), line.mid(colon + 1));
    }
    result.finalConfig = readAll(QDir(dir).filePath(QStringLiteral("config.ini")));
    return result;
}

void TestStockApplication::configFile_data() {
    QTest::addColumn<QByteArray>("initial"); // "<none>" for no file
    QTest::addColumn<QString>("days");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("afterStartup"); // "=" for the initial file unchanged
    QTest::addColumn<QByteArray>("afterExit");

    QTest::newRow("first start") << QByteArray("<none>") << "2017-10-01|2017-10-02" << 2
                                 << QByteArray() << QByteArray("[nontradedays]\nvalue=2017-10-01,2017-10-02\n");
    QTest::newRow("header in another spelling")
        << QByteArray("[Non Trade Days]\nValue = 2017-10-01\n") << "2017-10-01" << 1 << QByteArray("=")
        << QByteArray("[Non Trade Days]\nValue =2017-10-01\n");
    // Edited by hand: blanks part days and no day after one is lost.
    QTest::newRow("blanks around the commas")
        << QByteArray("[nontradedays]\nvalue=2017-10-01, 2017-10-02, 2018-02-15\n")
        << "2017-10-01|2017-10-02|2018-02-15" << 3 << QByteArray("=")
        << QByteArray("[nontradedays]\nvalue=2017-10-01,2017-10-02,2018-02-15\n");
    QTest::newRow("comment after the days kept, not read")
        << QByteArray("[nontradedays]\nvalue = 2018-01-01，2018-01-02 ; 元旦 # 2018-01-03\n")
        << "2018-01-01|2018-01-02" << 2 << QByteArray("=")
        << QByteArray("[nontradedays]\nvalue =2018-01-01,2018-01-02 ; 元旦 # 2018-01-03\n");
    QTest::newRow("empty part kept")
        << QByteArray("[nontradedays]\nvalue=2017-10-01,,2017-10-02\n") << "2017-10-01||2017-10-02"
        << 3 << QByteArray("=") << QByteArray("[nontradedays]\nvalue=2017-10-01,,2017-10-02\n");
    QTest::newRow("comments and other sections kept")
        << QByteArray("# settings\n[nontradedays]\n; dates\nvalue=2017-05-02\n\n[Other]\nk=v\n")
        << "2017-05-02" << 1 << QByteArray("=")
        << QByteArray("# settings\n[nontradedays]\n; dates\nvalue=2017-05-02\n\n[Other]\nk=v\n");
    // CRLF, GBK ("，" and "; 国庆节"), a plain line: only the days change at exit.
    QTest::newRow("hand-edited file in GBK with CRLF")
        << QByteArray("; \xB9\xFA\xC7\xEC\xBD\xDA\r\n[NonTradeDays]\r\nplain line\r\n"
                      "value=2017-10-01\xA3\xAC 2017-10-09 ; \xB9\xFA\xC7\xEC\xBD\xDA\r\n[Other]\r\nk=v\r\n")
        << "2017-10-01|2017-10-09" << 2 << QByteArray("=")
        << QByteArray("; \xB9\xFA\xC7\xEC\xBD\xDA\r\n[NonTradeDays]\r\nplain line\r\n"
                      "value=2017-10-01,2017-10-09 ; \xB9\xFA\xC7\xEC\xBD\xDA\r\n[Other]\r\nk=v\r\n");
    // Written back with "," and no blank; the day not in UTF-8 or GBK keeps its bytes.
    QTest::newRow("a Latin-1 day kept in a changed line")
        << QByteArray("[nontradedays]\nvalue=caf\xE9, 2017-10-01\n") << "caf\uFFFD|2017-10-01" << 2
        << QByteArray("=") << QByteArray("[nontradedays]\nvalue=caf\xE9,2017-10-01\n");
}

void TestStockApplication::configFile() {
    QFETCH(QByteArray, initial);
    QFETCH(QString, days);
    QFETCH(int, count);
    QFETCH(QByteArray, afterStartup);
    QFETCH(QByteArray, afterExit);

    QTemporaryDir dir;
    if (initial != "<none>")
        writeAll(dir.filePath(QStringLiteral("config.ini")), initial);
    const ChildResult r = runChildIn(dir.path());
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.values.value(QStringLiteral("days")), days);
    QCOMPARE(r.values.value(QStringLiteral("count")).toInt(), count);
    QCOMPARE(r.values.value(QStringLiteral("exists")), QStringLiteral("1"));
    QCOMPARE(QByteArray::fromHex(r.values.value(QStringLiteral("startup")).toLatin1()),
             afterStartup == "=" ? initial : afterStartup);
    QCOMPARE(r.finalConfig, afterExit);
}

void TestStockApplication::changedListWrittenAtExit() {
    QTemporaryDir dir;
    ChildResult r = runChildIn(dir.path(), {QStringLiteral("--set=2018-02-15,2018-02-16")});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.finalConfig, QByteArray("[nontradedays]\nvalue=2018-02-15,2018-02-16\n"));
    r = runChildIn(dir.path());
    QCOMPARE(r.values.value(QStringLiteral("days")), QStringLiteral("2018-02-15|2018-02-16"));

    // A file that a change would take past the size a start reads stays as it was.
    QByteArray full = "[nontradedays]\nvalue=2018-02-15\n#";
    full += QByteArray(int(IniFile::kMaxFileBytes) - full.size() - 1, 'x') + '\n';
    writeAll(QDir(dir.path()).filePath(QStringLiteral("config.ini")), full);
    r = runChildIn(dir.path(), {QStringLiteral("--set=2018-02-15,2018-02-16")});
    QCOMPARE(r.finalConfig, full);
}

void TestStockApplication::firstRunMarker() {
    const QString store = m_home.filePath(QStringLiteral(".config/vesk/lhb.conf"));
    QFile::remove(store);
    QTemporaryDir dir;
    ChildResult r = runChildIn(dir.path());
    QCOMPARE(r.values.value(QStringLiteral("init")), QStringLiteral("0"));
    r = runChildIn(dir.path());
    QCOMPARE(r.values.value(QStringLiteral("init")), QStringLiteral("1"));

    // Only the exact text "TRUE" ends the first run.
    QVERIFY(QFile::exists(store));
    writeAll(store, "[General]\ninit=true\n");
    r = runChildIn(dir.path());
    QCOMPARE(r.values.value(QStringLiteral("init")), QStringLiteral("0"));
    r = runChildIn(dir.path());
    QCOMPARE(r.values.value(QStringLiteral("init")), QStringLiteral("1"));
}

void TestStockApplication::leftTemporariesRemovedAtStart() {
    QTemporaryDir dir;
    const QDir folder(dir.path());
    const QString left = folder.filePath(QStringLiteral(".config.ini.4321.0.tmp"));
    // A save still running holds its temporary file locked.
    const QString running = folder.filePath(QStringLiteral(".config.ini.4322.0.tmp"));
    QStringList others{QStringLiteral(".config.ini.tmp"), QStringLiteral(".config.ini.1.x.tmp"),
                       QStringLiteral("config.ini.1.0.tmp"), QStringLiteral(".other.ini.1.0.tmp")};
    // Another user's leftover in a shared folder is not ours to remove;
    // only root can make one here.
    const QString foreign = QStringLiteral(".config.ini.4323.0.tmp");
    for (const QString& name : QStringList{left, running, foreign} + others)
        writeAll(folder.filePath(name), "[nontradedays]\nvalue=2018-01-01\n");
    if (::geteuid() == 0) {
        QVERIFY(handToUnprivileged(folder.filePath(foreign)));
        others << foreign;
    }
    const int fd = ::open(QFile::encodeName(running).constData(), O_RDONLY);
    QVERIFY(fd >= 0);
    QCOMPARE(::flock(fd, LOCK_EX), 0);
    const ChildResult r = runChildIn(dir.path());
    ::close(fd);
    QCOMPARE(r.exitCode, 0);
    QVERIFY(!QFile::exists(left));
    QVERIFY(QFile::exists(running));
    for (const QString& name : others)
        QVERIFY2(QFile::exists(folder.filePath(name)), qPrintable(name));
}

void TestStockApplication::init() {
    StockApplication::instance()->clearCaches();
    StockApplication::instance()->setNonTradeDays(
        QStringList{QStringLiteral("2017-10-01"), QStringLiteral("2017-10-02")});
}

void TestStockApplication::dayStocksReplaceAndKeepNames() {
    StockApplication* app = StockApplication::instance();
    app->setDayStocks(QStringLiteral("2017-01-03"), {listRow("2017-01-03", "600000", "浦发银行"),
                                                     listRow("2017-01-03", "000001", "平安银行")});
    app->setDayStocks(QStringLiteral("2017-01-03"), {listRow("2017-01-03", "300750", "宁德时代")});
    app->setDayStocks(QStringLiteral("2017-01-04"), {});

    const auto days = app->dayStocks();
    QCOMPARE(days.keys(), (QStringList{"2017-01-03", "2017-01-04"}));
    QCOMPARE(days.value(QStringLiteral("2017-01-03")).size(), 1);
    QCOMPARE(days.value(QStringLiteral("2017-01-03")).first().code, QStringLiteral("300750"));
    QVERIFY(days.value(QStringLiteral("2017-01-04")).isEmpty());

    const auto names = app->stockNames();
    QCOMPARE(names.size(), 3);
    QCOMPARE(names.value(QStringLiteral("600000")), QStringLiteral("浦发银行"));
    QCOMPARE(names.value(QStringLiteral("300750")), QStringLiteral("宁德时代"));
}

void TestStockApplication::detailPairsSkipConsecutiveListings() {
    StockApplication* app = StockApplication::instance();
    // Stored out of order; the map key differs from the records' own date.
    app->setDayStocks(QStringLiteral("2017-01-04"),
                      {listRow("2017-01-04", "000002", "万科A"),
                       listRow("2017-01-04", "000003", "x",
                               QStringLiteral("连续三个交易日内涨幅偏离值累计达20%"))});
    app->setDayStocks(QStringLiteral("2017-01-03"), {listRow("2017/01/03", "600000", "浦发银行"),
                                                     listRow("2017/01/03", "000001", "平安银行")});

    using Pair = QPair<QString, QString>;
    const QVector<Pair> expected{Pair("2017/01/03", "600000"), Pair("2017/01/03", "000001"),
                                 Pair("2017-01-04", "000002")};
    QCOMPARE(app->detailPairs(), expected);
}

void TestStockApplication::lhbSeatsNested() {
    StockApplication* app = StockApplication::instance();
    LHBUnit a;
    a.name = QStringLiteral("机构专用");
    a.side = 1;
    LHBUnit b;
    b.name = QStringLiteral("某证券营业部");
    b.side = 2;
    app->setLhbSeats(QStringLiteral("2017-01-03"), QStringLiteral("600000"), {a});
    app->setLhbSeats(QStringLiteral("2017-01-03"), QStringLiteral("000001"), {a, b});
    app->setLhbSeats(QStringLiteral("2017-01-03"), QStringLiteral("600000"), {b});
    const auto seats = app->lhbSeats();
    QCOMPARE(seats.size(), 1);
    const DaySeats day = seats.value(QStringLiteral("2017-01-03"));
    QCOMPARE(day.size(), 2);
    QCOMPARE(day.value(QStringLiteral("600000")).size(), 1);
    QCOMPARE(day.value(QStringLiteral("600000")).first().name, QStringLiteral("某证券营业部"));
    QCOMPARE(day.value(QStringLiteral("000001")).size(), 2);
}

void TestStockApplication::clearCachesKeepsLinksAndDays() {
    StockApplication* app = StockApplication::instance();
    app->setDayStocks(QStringLiteral("2017-01-03"), {listRow("2017-01-03", "600000", "浦发银行")});
    app->setLhbSeats(QStringLiteral("2017-01-03"), QStringLiteral("600000"), {LHBUnit()});
    app->setSeatPageUrl(QStringLiteral("机构专用"), QStringLiteral("http://example.com/seat/1"));
    app->setRecommendation(QStringLiteral("600000"), QStringLiteral("关注"));
    app->setNonTradeDays({QStringLiteral("2018-01-01")});
    app->clearCaches();

    QVERIFY(app->dayStocks().isEmpty());
    QVERIFY(app->lhbSeats().isEmpty());
    QVERIFY(app->stockNames().isEmpty());
    QVERIFY(app->recommendations().isEmpty());
    QCOMPARE(app->seatPageUrls().value(QStringLiteral("机构专用")),
             QStringLiteral("http://example.com/seat/1"));
    QCOMPARE(app->nonTradeDays(), QStringList{QStringLiteral("2018-01-01")});
}

void TestStockApplication::kLinesFetchedOncePerScan() {
    TestHttpServer server;
    QVERIFY(server.listen());
    server.setDefaultResponse(QByteArray(kKLineReply), 200);
    server.installAsApplicationProxy();
    StockApplication* app = StockApplication::instance();

    const QVector<Stock> first = app->getKLines(QStringLiteral("600000"));
    const QVector<Stock> second = app->getKLines(QStringLiteral("600000"));
    const int afterTwoCalls = server.requestCount();
    app->clearCaches();
    app->getKLines(QStringLiteral("600000"));
    const int afterClear = server.requestCount();
    app->getKLines(QStringLiteral("000001"));
    const int afterOtherCode = server.requestCount();
    const QStringList requests = server.requests();
    TestHttpServer::removeApplicationProxy();

    QCOMPARE(afterTwoCalls, 1);
    QCOMPARE(afterClear, 2);
    QCOMPARE(afterOtherCode, 3);
    // The requests name the code with its exchange prefix.
    QVERIFY2(requests.value(0).contains(QStringLiteral("sh600000")), qPrintable(requests.value(0)));
    QVERIFY2(requests.value(2).contains(QStringLiteral("sz000001")), qPrintable(requests.value(2)));

    QCOMPARE(first.size(), 2);
    QCOMPARE(first.at(0).code, QStringLiteral("600000"));
    QCOMPARE(first.at(0).date, QStringLiteral("2017-01-03"));
    QCOMPARE(first.at(1).date, QStringLiteral("2017-01-04"));
    QCOMPARE(first.at(1).close, 11.0f);
    QCOMPARE(second.size(), 2);
    QCOMPARE(second.at(1).close, 11.0f);
}

void TestStockApplication::kLineFailuresRetriedChoicesCachedApart() {
    TestHttpServer server;
    QVERIFY(server.listen());
    server.setDefaultResponse(QByteArray(), 404);
    server.installAsApplicationProxy();
    StockApplication* app = StockApplication::instance();
    app->clearCaches();
    const QString code = QStringLiteral("000002");
    const QByteArray whole(kKLineReply);

    // An error status, a reply cut off half-way, a portal's page with a script
    // of its own, whole replies without a bar that can be drawn: failures,
    // said and not kept, so the next call asks again.
    QStringList takenAsBars;
    for (const QByteArray& reply : {QByteArray(), whole.left(whole.size() / 2),
                                    QByteArray("<html><script>var cfg={\"a\":[1,2]};</script></html>"),
                                    QByteArray("{\"code\":0,\"data\":{\"sz000002\":{\"hfqday\":[]}}}"),
                                    QByteArray(whole).replace("\"10.50\"", "\"nan\"").replace("\"11.00\"", "\"nan\"")}) {
        server.setDefaultResponse(reply, reply.isEmpty() ? 404 : 200);
        bool fetched = true;
        if (!app->getKLines(code, &fetched).isEmpty() || fetched)
            takenAsBars << QString::fromLatin1(reply);
    }
    server.setDefaultResponse(whole, 200);
    bool fetched = false;
    const QVector<Stock> bars = app->getKLines(code, &fetched);

    // Each period and adjustment is an entry of its own, fetched once.
    app->getKLines(code, QStringLiteral("week"), QStringLiteral("qfq"));
    app->getKLines(code, QStringLiteral("week"), QStringLiteral("qfq"));
    app->getKLines(code);
    const QStringList requests = server.requests();
    TestHttpServer::removeApplicationProxy();

    QVERIFY2(takenAsBars.isEmpty(), qPrintable(takenAsBars.join(QStringLiteral(" | "))));
    QVERIFY(fetched);
    QCOMPARE(bars.size(), 2);
    QCOMPARE(requests.size(), 7);
    QVERIFY2(requests.at(5).contains(QStringLiteral(",day,,,480,hfq")), qPrintable(requests.at(5)));
    QVERIFY2(requests.at(6).contains(QStringLiteral(",week,,,480,qfq")), qPrintable(requests.at(6)));
}

void TestStockApplication::kLinesKeptAreBounded() {
    // A reply with more bars than asked for keeps the latest asked for.
    const int asked = StockQQHistoryInterface::kBarsAsked;
    const auto day = [](int i) { return QDate(2000, 1, 1).addDays(i).toString(Qt::ISODate); };
    QStringList rows;
    for (int i = 0; i < asked + 100; ++i)
        rows << QStringLiteral("[\"%1\",\"10\",\"%2\",\"12\",\"9\",\"1000\"]").arg(day(i)).arg(i);
    TestHttpServer server;
    QVERIFY(server.listen());
    server.setDefaultResponse("{\"data\":{\"sh600000\":{\"hfqday\":[" + rows.join(',').toLatin1()
                                  + "]}}}",
                              200);
    server.installAsApplicationProxy();
    StockApplication* app = StockApplication::instance();
    app->clearCaches();
    const QVector<Stock> bars = app->getKLines(QStringLiteral("600000"));

    // The cache keeps the latest choices: the one used longest ago goes.
    const QStringList periods{QStringLiteral("day"), QStringLiteral("week"), QStringLiteral("month")};
    const QStringList adjusts{QStringLiteral("bfq"), QStringLiteral("qfq"), QStringLiteral("hfq")};
    for (int i = 0; i < StockApplication::kKLineCacheEntries; ++i)
        app->getKLines(QString::number(600001 + i / 9), periods.at(i % 3), adjusts.at(i / 3 % 3));
    const int filled = server.requestCount();
    app->getKLines(QStringLiteral("600001"), periods.at(0), adjusts.at(0)); // a hit, now the latest
    app->getKLines(QStringLiteral("600000")); // evicted by the last choice
    const int afterOldest = server.requestCount();
    app->getKLines(QStringLiteral("600001"), periods.at(0), adjusts.at(0));
    const int afterLatest = server.requestCount();
    TestHttpServer::removeApplicationProxy();

    QCOMPARE(bars.size(), asked);
    QCOMPARE(bars.first().date, day(100));
    QCOMPARE(bars.last().date, day(asked + 99));
    QCOMPARE(filled, 1 + StockApplication::kKLineCacheEntries);
    QCOMPARE(afterOldest, filled + 1);
    QCOMPARE(afterLatest, afterOldest);
}

void TestStockApplication::cachesGuardedAgainstWorker() {
    // The worker writes seats while this thread takes snapshots; each
    // snapshot must be a whole map, never a half-updated one.
    StockApplication* app = StockApplication::instance();
    const int total = 3000;
    QAtomicInt done(0);
    QThread* worker = QThread::create([&] {
        for (int i = 0; i < total; ++i) {
            app->setLhbSeats(QStringLiteral("2017-01-03"), QString::number(i),
                             {LHBUnit(), LHBUnit()});
            app->setSeatPageUrl(QString::number(i), QStringLiteral("link"));
        }
        done.storeRelease(1);
    });
    worker->start();
    int previous = 0;
    while (!done.loadAcquire()) {
        const DaySeats day = app->lhbSeats().value(QStringLiteral("2017-01-03"));
        QVERIFY(day.size() >= previous);
        previous = day.size();
        for (auto it = day.cbegin(); it != day.cend(); ++it)
            QCOMPARE(it.value().size(), 2);
        QVERIFY(app->seatPageUrls().size() >= previous - 1);
    }
    QVERIFY(worker->wait(30000));
    delete worker;
    QCOMPARE(app->lhbSeats().value(QStringLiteral("2017-01-03")).size(), total);
}

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0)
        return runChild(argc, argv);

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    StockApplication app(argc, argv);
    TestStockApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_stockapplication.moc"
