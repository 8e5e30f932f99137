#include "core/httpget.h"

#include "core/cancelflag.h"

#include "tests/support/fixtures.h"
#include "tests/support/testhttpserver.h"

#include <QElapsedTimer>
#include <QMetaMethod>
#include <QNetworkProxy>
#include <QTcpServer>
#include <QTest>
#include <QThread>
#include <QTimer>

class TestHttpGet final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void bodyDecodedAsGbk_data();
    void bodyDecodedAsGbk();
    void errorStatusReturnsBody();
    void refusedConnectionGivesEmptyText();
    void silentServerTimesOut();
    void stalledTransferReturnsWhatArrived();
    void nestedCallsUnwindInReverseOrder();
    void worksOnThreadWithoutEventLoop();
    void proxyCarriesTheRealHost();
    void statusTellsFailureFromEmptyAnswer_data();
    void statusTellsFailureFromEmptyAnswer();
    void cancelAbortsTheRequestInFlight();
    void cancelRaisedBeforeTheSendKeepsItUnsent();
    void overLongReplyIsRefused();

private:
    TestHttpServer m_server;
};

void TestHttpGet::initTestCase() {
    QVERIFY(m_server.listen());
    QVERIFY(m_server.port() != 0);
}

void TestHttpGet::init() {
    m_server.clearRoutes();
    m_server.clearRequests();
    m_server.setSilent(false);
    m_server.setResponseDelayMs(0);
}

void TestHttpGet::bodyDecodedAsGbk_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ascii") << QByteArray("var x=[{a:1}];\r\n") << QByteArray("text/html")
                           << QStringLiteral("var x=[{a:1}];\r\n");
    // 龙虎榜 in GBK.
    QTest::newRow("gbk") << QByteArray::fromHex("c1fabba2b0f1") << QByteArray("text/html")
                         << QStringLiteral("龙虎榜");
    // The UTF-8 bytes of two U+FFFD read as GBK: the well-known 锟斤拷, even
    // though the reply declares UTF-8.
    QTest::newRow("utf8 read as gbk")
        << QByteArray::fromHex("efbfbdefbfbd") << QByteArray("text/html; charset=utf-8")
        << QStringLiteral("锟斤拷");
    // 龙𠮷: the second lies outside GBK, in GB18030's four-byte range.
    QTest::newRow("gb18030") << QByteArray::fromHex("c1fa9534b235") << QByteArray("text/html")
                             << QStringLiteral("龙𠮷");
    QTest::newRow("empty") << QByteArray() << QByteArray("text/html") << QString();
}

void TestHttpGet::bodyDecodedAsGbk() {
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, contentType);
    QFETCH(QString, expected);
    m_server.setRoute(QStringLiteral("/list?date=2017-01-03"), body, 200, contentType);
    QCOMPARE(httpGet(m_server.baseUrl() + QStringLiteral("/list?date=2017-01-03")), expected);
    QCOMPARE(m_server.requests(), QStringList{QStringLiteral("/list?date=2017-01-03")});
}

void TestHttpGet::errorStatusReturnsBody() {
    m_server.setRoute(QStringLiteral("/broken"), toGbk(QStringLiteral("服务器错误")), 500);
    QCOMPARE(httpGet(m_server.baseUrl() + QStringLiteral("/broken")), QStringLiteral("服务器错误"));
    m_server.setDefaultResponse(toGbk(QStringLiteral("页面不存在")), 404);
    QCOMPARE(httpGet(m_server.baseUrl() + QStringLiteral("/missing")),
             QStringLiteral("页面不存在"));
}

void TestHttpGet::refusedConnectionGivesEmptyText() {
    // A port that was free a moment ago and has nobody listening now.
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();
    QElapsedTimer t;
    t.start();
    QCOMPARE(httpGet(QStringLiteral("http://127.0.0.1:%1/x").arg(port)), QString());
    QVERIFY(t.elapsed() < 5000);
    QCOMPARE(httpGet(QString()), QString());
    QCOMPARE(httpGet(QStringLiteral("not a url")), QString());
}

void TestHttpGet::silentServerTimesOut() {
    m_server.setSilent(true);
    QElapsedTimer t;
    t.start();
    const QString text = httpGet(m_server.baseUrl() + QStringLiteral("/slow"), 300);
    const qint64 elapsed = t.elapsed();
    QCOMPARE(text, QString());
    QVERIFY2(elapsed >= 300 && elapsed < 5000, qPrintable(QString::number(elapsed)));
    QVERIFY(m_server.waitForRequests(1));
}

void TestHttpGet::stalledTransferReturnsWhatArrived() {
    m_server.setPartialRoute(QStringLiteral("/partial"), toGbk(QStringLiteral("[{SName:机构")));
    QElapsedTimer t;
    t.start();
    const QString text = httpGet(m_server.baseUrl() + QStringLiteral("/partial"), 500);
    QCOMPARE(text, QStringLiteral("[{SName:机构"));
    QVERIFY(t.elapsed() < 5000);
}

void TestHttpGet::nestedCallsUnwindInReverseOrder() {
    // The outer reply is quick, the inner one slow: the outer call still
    // cannot return before the inner call started during its wait.
    TestHttpServer slow;
    QVERIFY(slow.listen());
    slow.setResponseDelayMs(600);
    slow.setRoute(QStringLiteral("/inner"), QByteArray("inner"));
    m_server.setResponseDelayMs(100);
    m_server.setRoute(QStringLiteral("/outer"), QByteArray("outer"));

    QStringList order;
    QString innerText;
    QTimer::singleShot(20, this, [&] {
        innerText = httpGet(slow.baseUrl() + QStringLiteral("/inner"));
        order << QStringLiteral("inner");
    });
    QElapsedTimer t;
    t.start();
    const QString outerText = httpGet(m_server.baseUrl() + QStringLiteral("/outer"));
    order << QStringLiteral("outer");

    QCOMPARE(order, (QStringList{"inner", "outer"}));
    QCOMPARE(outerText, QStringLiteral("outer"));
    QCOMPARE(innerText, QStringLiteral("inner"));
    QVERIFY(t.elapsed() >= 600);
}

void TestHttpGet::worksOnThreadWithoutEventLoop() {
    m_server.setRoute(QStringLiteral("/a"), toGbk(QStringLiteral("甲")));
    m_server.setRoute(QStringLiteral("/b"), toGbk(QStringLiteral("乙")));
    const QString base = m_server.baseUrl();
    QString a, b;
    QThread* ta = QThread::create([&] { a = httpGet(base + QStringLiteral("/a")); });
    QThread* tb = QThread::create([&] { b = httpGet(base + QStringLiteral("/b")); });
    ta->start();
    tb->start();
    QVERIFY(ta->wait(10000));
    QVERIFY(tb->wait(10000));
    delete ta;
    delete tb;
    QCOMPARE(a, QStringLiteral("甲"));
    QCOMPARE(b, QStringLiteral("乙"));
}

void TestHttpGet::proxyCarriesTheRealHost() {
    m_server.setRoute(QStringLiteral("/path-only"), QByteArray("by path"));
    m_server.setRoute(QStringLiteral("/q?x=1"), QByteArray("by path and query"));
    m_server.setRoute(QStringLiteral("http://data.example.com/q?x=1"), QByteArray("by full url"));
    m_server.installAsApplicationProxy();
    const QString full = httpGet(QStringLiteral("http://data.example.com/q?x=1"));
    const QString pathQuery = httpGet(QStringLiteral("http://other.example.com/q?x=1"));
    const QString path = httpGet(QStringLiteral("http://other.example.com/path-only?r=0.5"));
    // Requests to 127.0.0.1 bypass the proxy and arrive as plain paths.
    const QString direct = httpGet(m_server.baseUrl() + QStringLiteral("/q?x=1"));
    TestHttpServer::removeApplicationProxy();

    QCOMPARE(full, QStringLiteral("by full url"));
    QCOMPARE(pathQuery, QStringLiteral("by path and query"));
    QCOMPARE(path, QStringLiteral("by path"));
    QCOMPARE(direct, QStringLiteral("by path and query"));
    QCOMPARE(m_server.requests(),
             (QStringList{"http://data.example.com/q?x=1", "http://other.example.com/q?x=1",
                          "http://other.example.com/path-only?r=0.5", "/q?x=1"}));
    QCOMPARE(QNetworkProxy::applicationProxy().type(), QNetworkProxy::NoProxy);
}

void TestHttpGet::statusTellsFailureFromEmptyAnswer_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("httpStatus");
    QTest::addColumn<QString>("reason"); // the user's words for it
    QTest::newRow("empty answer") << "/empty" << true << 200 << "";
    QTest::newRow("error status with a page") << "/missing" << false << 404 << "服务器返回错误 404";
    QTest::newRow("redirect, not followed") << "/moved" << false << 302 << "服务器返回错误 302";
    QTest::newRow("refused") << "refused" << false << 0 << "无法连接";
    QTest::newRow("no answer within the bound") << "/silent" << false << 0 << "超时";
    QTest::newRow("cut off before its announced length")
        << "/cut" << false << 200 << "回复不完整";
    QTest::newRow("an answer that is not HTTP") << "/garbage" << false << 0 << "回复不是预期的格式";
}

void TestHttpGet::statusTellsFailureFromEmptyAnswer() {
    QFETCH(QString, path);
    QFETCH(bool, ok);
    QFETCH(int, httpStatus);
    m_server.setRoute(QStringLiteral("/empty"), QByteArray());
    m_server.setRoute(QStringLiteral("/moved"), QByteArray("elsewhere"), 302);
    m_server.setCutOffRoute(QStringLiteral("/cut"), QByteArray("[{\"a\":1},"), 4096);
    m_server.setRawRoute(QStringLiteral("/garbage"), QByteArray("SSH-2.0-OpenSSH_9.2\r\n\x01\x02"));
    m_server.setDefaultResponse(QByteArray("not here"), 404);
    m_server.setSilent(path == QLatin1String("/silent"));
    QString url = m_server.baseUrl() + path;
    if (path == QLatin1String("refused")) {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        url = QStringLiteral("http://127.0.0.1:%1/x").arg(probe.serverPort());
        probe.close();
    }
    HttpGetStatus status;
    httpGet(url, &status, nullptr, 300);
    QCOMPARE(status.ok, ok);
    QCOMPARE(status.httpStatus, httpStatus);
    QCOMPARE(status.error.isEmpty(), ok);
    QFETCH(QString, reason);
    QCOMPARE(fetchFailureText(status.failure, status.httpStatus), reason);
}

void TestHttpGet::cancelAbortsTheRequestInFlight() {
    m_server.setSilent(true);
    CancelFlag stop;
    QTimer::singleShot(100, &stop, &CancelFlag::cancel);
    QElapsedTimer t;
    t.start();
    HttpGetStatus status;
    // No bound of its own: only the cancel can end this wait.
    QCOMPARE(httpGet(m_server.baseUrl() + QStringLiteral("/slow"), &status, &stop, 0), QString());
    QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
    QVERIFY(!status.ok);
    QVERIFY(m_server.waitForRequests(1));
    // Once raised, nothing more goes out.
    m_server.clearRequests();
    httpGet(m_server.baseUrl() + QStringLiteral("/next"), &status, &stop);
    QVERIFY(!status.ok);
    QTest::qWait(200);
    QCOMPARE(m_server.requestCount(), 0);
}

namespace {

// Raised as a wait starts watching it: after the fetch began, before its send.
class RaisedWhenWatched final : public CancelFlag {
protected:
    void connectNotify(const QMetaMethod& signal) override {
        if (signal == QMetaMethod::fromSignal(&CancelFlag::cancelled))
            cancel();
    }
};

// Proxies every request to the test server, counting those sent (Qt asks as it sends).
class CountingProxyFactory final : public QNetworkProxyFactory {
public:
    CountingProxyFactory(quint16 port, int* count) : m_port(port), m_count(count) {}
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery&) override {
        ++*m_count;
        return {QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), m_port)};
    }

private:
    quint16 m_port;
    int* m_count;
};

} // namespace

void TestHttpGet::cancelRaisedBeforeTheSendKeepsItUnsent() {
    m_server.setRoute(QStringLiteral("http://data.example.com/q"), QByteArray("answer"));
    int sent = 0;
    QNetworkProxyFactory::setApplicationProxyFactory(
        new CountingProxyFactory(m_server.port(), &sent));
    // The way through the proxy works.
    HttpGetStatus status;
    QCOMPARE(httpGet(QStringLiteral("http://data.example.com/q"), &status),
             QStringLiteral("answer"));
    QCOMPARE(sent, 1);
    QCOMPARE(m_server.requestCount(), 1);

    RaisedWhenWatched stop;
    const QString text = httpGet(QStringLiteral("http://data.example.com/q"), &status, &stop);
    QNetworkProxyFactory::setApplicationProxyFactory(nullptr);
    QCOMPARE(text, QString());
    QVERIFY(!status.ok);
    QVERIFY(stop.isCancelled());
    QCOMPARE(sent, 1);
    QTest::qWait(100);
    QCOMPARE(m_server.requestCount(), 1);
}

void TestHttpGet::overLongReplyIsRefused() {
    // A chunked list that never ends: refused at the size bound, not the time bound.
    const QString url = m_server.baseUrl() + QStringLiteral("/endless");
    m_server.setEndlessRoute(QStringLiteral("/endless"), QByteArray("var data_tab_1={\"data\":["),
                             QByteArray("{\"SCode\":\"600001\",\"SName\":\"abc\"},"));
    HttpGetStatus status;
    QCOMPARE(httpGet(url, &status), QString());
    QVERIFY(!status.ok);
    QCOMPARE(status.httpStatus, 200);
    QVERIFY2(status.error.contains(QString::number(kHttpGetMaxBodyBytes / (1024 * 1024))),
             qPrintable(status.error));
    QCOMPARE(fetchFailureText(status.failure), QStringLiteral("回复过长"));
    QCOMPARE(httpGet(url), QString());
    QCOMPARE(m_server.requestCount(), 2);
}

QTEST_GUILESS_MAIN(TestHttpGet)
#include "tst_httpget.moc"
