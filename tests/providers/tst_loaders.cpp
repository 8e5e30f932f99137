// The queue-driven loaders against a local server: the queue is fetched in
// order, one request at a time with the pause after each reply; every
// attached client parses the decoded reply and its records come out as
// signals; a failed request reaches the clients' error operations and the
// loader goes on; the iterating loader reports that it is done, the looping
// one cycles until it is destroyed.

#include "core/dataloader.h"
#include "core/iteratedataloader.h"
#include "core/loopdataloader.h"
#include "core/providers/loaderinterfaces.h"
#include "core/providers/providerinterfaces.h"
#include "core/providers/sinarealtimeinterface.h"

#include "tests/support/fixtures.h"
#include "tests/support/testhttpserver.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTest>

#include <memory>

namespace {

// The market centre's client, with its error reports kept.
class StockClient final : public StockInterface {
public:
    QStringList urls(const QStringList& params) override { return m_client.urls(params); }
    QVector<Stock> parse(const QString& text, const QString& param) override {
        return m_client.parse(text, param);
    }
    void onError(const QString& message) override { errors.append(message); }

    QStringList errors;

private:
    SinaRealtimeInterface m_client;
};

// The other clients hand the decoded text back in their records.
class DataClient final : public DataInterface {
public:
    QStringList urls(const QStringList& params) override { return params; }
    QVector<Data> parse(const QString& text, const QString&) override {
        Data data;
        data.name = text;
        return {data};
    }
    void onError(const QString& message) override { errors.append(message); }
    QStringList errors;
};

class SeatClient final : public LHBInterface {
public:
    QStringList urls(const QStringList& params) override { return params; }
    QVector<LHBUnit> parse(const QString& text, const QString&) override {
        LHBUnit unit;
        unit.name = text;
        return {unit};
    }
};

class ListClient final : public StringListInterface {
public:
    QStringList urls(const QStringList& params) override { return params; }
    QVector<QStringList> parse(const QString& text) override { return {QStringList{text}}; }
    void onError(const QString& message) override { errors.append(message); }
    QStringList errors;
};

class MapClient final : public StringMapInterface {
public:
    QStringList urls(const QStringList& params) override { return params; }
    StringMapRows parse(const QString& text, const QString&) override {
        return {{{QStringLiteral("text"), text}}};
    }
    void onError(const QString& message) override { errors.append(message); }
    QStringList errors;
};

QString quoteBody(int n, const QString& name) {
    return QStringLiteral("[{code:\"60000%1\",name:\"%2\",trade:\"%1.5\"}]").arg(n).arg(name);
}

// One client of every kind, attached to a loader in one go.
struct AllClients {
    StockClient stocks;
    DataClient datas;
    SeatClient seats;
    ListClient lists;
    MapClient maps;

    // The looping loader takes no seat client, so it can be left out.
    void attach(DataLoader& loader, bool withSeats = true) {
        loader.setStockInterface(&stocks);
        loader.setDataInterface(&datas);
        if (withSeats)
            loader.setLHBInterface(&seats);
        loader.setStringListInterface(&lists);
        loader.setStringMapInterface(&maps);
    }
};

// What a loader sent, in order, with the time and the number of requests
// the server had seen at that moment.
struct Recorder {
    struct Event {
        QString signal;
        qint64 ms;
        int requests;
    };

    explicit Recorder(const TestHttpServer& server) : m_server(server) { clock.start(); }

    void attach(DataLoader* loader) {
        QObject::connect(loader, &DataLoader::sendStock, [this](const QVector<Stock>& stocks) {
            add(QStringLiteral("stock"));
            this->stocks.append(stocks);
        });
        QObject::connect(loader, &DataLoader::sendData,
                         [this](const QVector<Data>& datas, const QString& url) {
                             add(QStringLiteral("data"));
                             this->datas.append(datas);
                             dataUrls.append(url);
                         });
        QObject::connect(loader, &DataLoader::sendLHB,
                         [this](const QVector<LHBUnit>& units, const QString& code) {
                             add(QStringLiteral("lhb"));
                             this->units.append(units);
                             codes.append(code);
                         });
        QObject::connect(loader, &DataLoader::sendStringList,
                         [this](const QVector<QStringList>& lists) {
                             add(QStringLiteral("list"));
                             this->lists.append(lists);
                         });
        QObject::connect(loader, &DataLoader::sendStringMap, [this](const StringMapRows& rows) {
            add(QStringLiteral("map"));
            maps.append(rows);
        });
        QObject::connect(loader, &DataLoader::sendOK, [this] { add(QStringLiteral("ok")); });
    }

    void add(const QString& signal) {
        events.append({signal, clock.elapsed(), m_server.requestCount()});
    }

    QVector<Event> of(const QString& signal) const {
        QVector<Event> result;
        for (const Event& event : events) {
            if (event.signal == signal)
                result.append(event);
        }
        return result;
    }

    QStringList names() const {
        QStringList result;
        for (const Event& event : events)
            result.append(event.signal);
        return result;
    }

    const TestHttpServer& m_server;
    QElapsedTimer clock;
    QVector<Event> events;
    QVector<QVector<Stock>> stocks;
    QVector<QVector<Data>> datas;
    QStringList dataUrls;
    QVector<QVector<LHBUnit>> units;
    QStringList codes;
    QVector<QVector<QStringList>> lists;
    QVector<StringMapRows> maps;
};

// Timers may fire a millisecond early on some clocks; the pause must hold
// apart from that.
constexpr int kSlackMs = 3;

} // namespace

class TestLoaders final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void iterateEmptyQueue();
    void iterateDrainsInOrder();
    void iterateSignalOrder();
    void iterateErrorGoesOn();
    void iterateAppendAfterDone();
    void iterateDefaultPause();

    void loopCycles();
    void loopErrorGoesOn();
    void loopEmptyQueue();
    void loopDefaultPause();
    void destroyWhileRunning();

private:
    QString url(const QString& path) const { return m_server.baseUrl() + path; }

    TestHttpServer m_server;
};

void TestLoaders::initTestCase() {
    QVERIFY(m_server.listen());
}

void TestLoaders::init() {
    m_server.clearRoutes();
    m_server.clearRequests();
    m_server.setDefaultResponse("not found", 404);
    // The iterating loader decodes GBK, the looping one UTF-8.
    m_server.setRoute(QStringLiteral("/q1"), toGbk(quoteBody(1, QStringLiteral("甲乙"))));
    m_server.setRoute(QStringLiteral("/q2"), toGbk(quoteBody(2, QStringLiteral("丙丁"))));
    m_server.setRoute(QStringLiteral("/q3"), toGbk(quoteBody(3, QStringLiteral("戊己"))));
    m_server.setRoute(QStringLiteral("/a"), quoteBody(1, QStringLiteral("子丑")).toUtf8());
    m_server.setRoute(QStringLiteral("/b"), quoteBody(2, QStringLiteral("寅卯")).toUtf8());
}

void TestLoaders::iterateEmptyQueue() {
    IterateDataLoader loader;
    Recorder recorder(m_server);
    recorder.attach(&loader);
    loader.startNextDownload();
    QCOMPARE(recorder.names(), QStringList{"ok"});
    QTest::qWait(100);
    QCOMPARE(m_server.requestCount(), 0);
    QCOMPARE(recorder.events.size(), 1);
}

void TestLoaders::iterateDrainsInOrder() {
    const int pause = 300;
    IterateDataLoader loader;
    StockClient stocks;
    DataClient datas;
    SeatClient seats;
    loader.setStockInterface(&stocks);
    loader.setDataInterface(&datas);
    loader.setLHBInterface(&seats);
    loader.setPause(pause);
    QCOMPARE(loader.pause(), pause);
    Recorder recorder(m_server);
    recorder.attach(&loader);

    // Three URLs, two codes: the third reply carries the second code again.
    loader.setUrls({url("/q1"), url("/q2"), url("/q3")}, {"c1", "c2"});
    QCOMPARE(m_server.requestCount(), 0);
    loader.startNextDownload();
    QTRY_COMPARE_WITH_TIMEOUT(recorder.of("ok").size(), 1, 10000);

    QCOMPARE(m_server.requests(), (QStringList{"/q1", "/q2", "/q3"}));
    const auto replies = recorder.of("stock");
    QCOMPARE(replies.size(), 3);
    for (int i = 0; i < 3; ++i) {
        // Each reply is handled before the next request goes out.
        QCOMPARE(replies.at(i).requests, i + 1);
        if (i > 0)
            QVERIFY2(replies.at(i).ms - replies.at(i - 1).ms >= pause - kSlackMs,
                     qPrintable(QString::number(replies.at(i).ms - replies.at(i - 1).ms)));
    }
    QVERIFY(recorder.of("ok").first().ms - replies.last().ms >= pause - kSlackMs);

    QCOMPARE(recorder.stocks.size(), 3);
    const QStringList names{"甲乙", "丙丁", "戊己"};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(recorder.stocks.at(i).size(), 1);
        QCOMPARE(recorder.stocks.at(i).first().code, QStringLiteral("60000%1").arg(i + 1));
        QCOMPARE(recorder.stocks.at(i).first().name, names.at(i));
        QCOMPARE(recorder.stocks.at(i).first().close, float(i + 1) + 0.5f);
    }
    QCOMPARE(recorder.dataUrls, (QStringList{url("/q1"), url("/q2"), url("/q3")}));
    QCOMPARE(recorder.datas.at(1).first().name, quoteBody(2, QStringLiteral("丙丁")));
    QCOMPARE(recorder.codes, (QStringList{"c1", "c2", "c2"}));
    QCOMPARE(recorder.units.at(2).first().name, quoteBody(3, QStringLiteral("戊己")));
    QVERIFY(stocks.errors.isEmpty() && datas.errors.isEmpty());
}

void TestLoaders::iterateSignalOrder() {
    IterateDataLoader loader;
    AllClients clients;
    clients.attach(loader);
    [[maybe_unused]] auto& [stocks, datas, seats, lists, maps] = clients;
    loader.setPause(50);
    Recorder recorder(m_server);
    recorder.attach(&loader);
    loader.setUrls({url("/q2")}, {});
    loader.startNextDownload();
    QTRY_COMPARE_WITH_TIMEOUT(recorder.of("ok").size(), 1, 5000);
    // The clients in member order; a URL without a code carries "".
    QCOMPARE(recorder.names(), (QStringList{"stock", "data", "lhb", "list", "map", "ok"}));
    QCOMPARE(recorder.codes, QStringList{QString()});
    const QString body = quoteBody(2, QStringLiteral("丙丁"));
    QCOMPARE(recorder.lists.first(), QVector<QStringList>{QStringList{body}});
    QCOMPARE(recorder.maps.first().first().value(QStringLiteral("text")), body);
}

void TestLoaders::iterateErrorGoesOn() {
    IterateDataLoader loader;
    AllClients clients;
    clients.attach(loader);
    [[maybe_unused]] auto& [stocks, datas, seats, lists, maps] = clients;
    loader.setPause(50);
    Recorder recorder(m_server);
    recorder.attach(&loader);

    // A missing page, then a port where nothing listens.
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const QString refused = QStringLiteral("http://127.0.0.1:%1/gone").arg(probe.serverPort());
    probe.close();
    loader.setUrls({url("/q1"), url("/missing"), refused, url("/q3")}, {"c1", "c2", "c3", "c4"});
    loader.startNextDownload();
    QTRY_COMPARE_WITH_TIMEOUT(recorder.of("ok").size(), 1, 10000);

    QCOMPARE(m_server.requests(), (QStringList{"/q1", "/missing", "/q3"}));
    for (const QStringList* errors : {&stocks.errors, &datas.errors, &lists.errors, &maps.errors}) {
        QCOMPARE(errors->size(), 2);
        QVERIFY2(errors->at(0).contains(QLatin1String("/missing")), qPrintable(errors->at(0)));
        QVERIFY(!errors->at(1).isEmpty());
    }
    // Nothing is sent for the failed replies; the codes stay paired.
    QCOMPARE(recorder.of("stock").size(), 2);
    QCOMPARE(recorder.of("lhb").size(), 2);
    QCOMPARE(recorder.codes, (QStringList{"c1", "c4"}));
    QCOMPARE(recorder.stocks.at(1).first().code, QStringLiteral("600003"));
}

void TestLoaders::iterateAppendAfterDone() {
    IterateDataLoader loader;
    StockClient stocks;
    loader.setStockInterface(&stocks);
    loader.setPause(50);
    Recorder recorder(m_server);
    recorder.attach(&loader);
    loader.setUrls({url("/q1")}, {});
    loader.startNextDownload();
    QTRY_COMPARE_WITH_TIMEOUT(recorder.of("ok").size(), 1, 5000);

    // Nothing is scheduled after the end: a later URL waits for a new start.
    loader.setUrls({url("/q2")}, {});
    QTest::qWait(300);
    QCOMPARE(m_server.requestCount(), 1);
    loader.startNextDownload();
    QTRY_COMPARE_WITH_TIMEOUT(recorder.of("ok").size(), 2, 5000);
    QCOMPARE(m_server.requests(), (QStringList{"/q1", "/q2"}));
    QCOMPARE(recorder.stocks.at(1).first().code, QStringLiteral("600002"));
}

void TestLoaders::iterateDefaultPause() {
    auto loader = std::make_unique<IterateDataLoader>();
    QCOMPARE(loader->pause(), 1500);
    StockClient stocks;
    loader->setStockInterface(&stocks);
    Recorder recorder(m_server);
    recorder.attach(loader.get());
    loader->setUrls({url("/q1"), url("/q2")}, {});
    loader->startNextDownload();
    QTRY_COMPARE_WITH_TIMEOUT(recorder.of("stock").size(), 2, 10000);
    const auto replies = recorder.of("stock");
    QVERIFY2(replies.at(1).ms - replies.at(0).ms >= 1500 - kSlackMs,
             qPrintable(QString::number(replies.at(1).ms - replies.at(0).ms)));
}

void TestLoaders::loopCycles() {
    const int pause = 100;
    LoopDataLoader loader;
    StockClient stocks;
    DataClient datas;
    SeatClient seats;
    loader.setStockInterface(&stocks);
    loader.setDataInterface(&datas);
    // The loop does not use the seat client.
    loader.setLHBInterface(&seats);
    loader.setPause(pause);
    Recorder recorder(m_server);
    recorder.attach(&loader);
    loader.setUrls(QStringList{url("/a"), url("/b")});
    loader.startNextDownload();
    QTRY_VERIFY_WITH_TIMEOUT(recorder.of("stock").size() >= 5, 10000);

    const QStringList requests = m_server.requests();
    for (int i = 0; i < 5; ++i)
        QCOMPARE(requests.at(i), i % 2 ? QStringLiteral("/b") : QStringLiteral("/a"));
    const auto replies = recorder.of("stock");
    for (int i = 1; i < 5; ++i) {
        QCOMPARE(replies.at(i).requests, i + 1);
        QVERIFY(replies.at(i).ms - replies.at(i - 1).ms >= pause - kSlackMs);
    }
    // UTF-8 replies read as UTF-8.
    QCOMPARE(recorder.stocks.at(0).first().name, QStringLiteral("子丑"));
    QCOMPARE(recorder.stocks.at(1).first().name, QStringLiteral("寅卯"));
    QCOMPARE(recorder.stocks.at(2).first().code, QStringLiteral("600001"));
    QCOMPARE(recorder.datas.at(1).first().name, quoteBody(2, QStringLiteral("寅卯")));
    QVERIFY(recorder.dataUrls.at(0).isEmpty());
    QVERIFY(recorder.of("lhb").isEmpty());
    QVERIFY(recorder.of("ok").isEmpty());
}

void TestLoaders::loopErrorGoesOn() {
    LoopDataLoader loader;
    AllClients clients;
    clients.attach(loader, /*withSeats=*/false);
    [[maybe_unused]] auto& [stocks, datas, seats, lists, maps] = clients;
    loader.setPause(50);
    Recorder recorder(m_server);
    recorder.attach(&loader);
    loader.setUrls(QStringList{url("/a"), url("/missing")});
    loader.startNextDownload();
    QTRY_VERIFY_WITH_TIMEOUT(m_server.requestCount() >= 4 && stocks.errors.size() >= 2, 10000);

    QCOMPARE(m_server.requests().mid(0, 4), (QStringList{"/a", "/missing", "/a", "/missing"}));
    QVERIFY(recorder.of("stock").size() >= 2);
    QVERIFY(stocks.errors.first().contains(QLatin1String("/missing")));
    QVERIFY(datas.errors.size() >= 2);
    // Only the stock and data clients take part in the loop.
    QVERIFY(lists.errors.isEmpty());
    QVERIFY(maps.errors.isEmpty());
    QVERIFY(recorder.of("list").isEmpty());
    QVERIFY(recorder.of("map").isEmpty());
}

void TestLoaders::loopEmptyQueue() {
    auto loop = std::make_unique<LoopDataLoader>();
    // Reached through the common base like any other loader.
    DataLoader* loader = loop.get();
    StockClient stocks;
    loader->setStockInterface(&stocks);
    loader->setPause(50);
    Recorder recorder(m_server);
    recorder.attach(loader);
    loader->startNextDownload();
    QTest::qWait(200);
    QCOMPARE(m_server.requestCount(), 0);
    QVERIFY(recorder.events.isEmpty());

    loader->setUrls({url("/b")}, {"ignored"});
    loader->startNextDownload();
    QTRY_VERIFY_WITH_TIMEOUT(recorder.of("stock").size() >= 2, 5000);
    QCOMPARE(m_server.requests().mid(0, 2), (QStringList{"/b", "/b"}));
}

void TestLoaders::loopDefaultPause() {
    auto loader = std::make_unique<LoopDataLoader>();
    QCOMPARE(loader->pause(), 1500);
    StockClient stocks;
    loader->setStockInterface(&stocks);
    Recorder recorder(m_server);
    recorder.attach(loader.get());
    loader->setUrls(QStringList{url("/a"), url("/b")});
    loader->startNextDownload();
    QTRY_COMPARE_WITH_TIMEOUT(recorder.of("stock").size(), 2, 10000);
    const auto replies = recorder.of("stock");
    QVERIFY(replies.at(1).ms - replies.at(0).ms >= 1500 - kSlackMs);
    QCOMPARE(m_server.requests(), (QStringList{"/a", "/b"}));
}

void TestLoaders::destroyWhileRunning() {
    // A slow server keeps a reply open when the loader goes away.
    m_server.setResponseDelayMs(200);
    auto* loop = new LoopDataLoader;
    QPointer<LoopDataLoader> guard(loop);
    StockClient stocks;
    loop->setStockInterface(&stocks);
    loop->setPause(20);
    loop->setUrls(QStringList{url("/a")});
    loop->startNextDownload();
    QVERIFY(m_server.waitForRequests(2, 5000));
    delete loop;
    QVERIFY(guard.isNull());
    const int seen = m_server.requestCount();
    QTest::qWait(500);
    QCOMPARE(m_server.requestCount(), seen);
    // The open reply was dropped, not reported as a failure.
    QVERIFY(stocks.errors.isEmpty());
    m_server.setResponseDelayMs(0);
}

QTEST_GUILESS_MAIN(TestLoaders)
#include "tst_loaders.moc"
