#include "tests/support/testhttpserver.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QHostAddress>
#include <QMutex>
#include <QMutexLocker>
#include <QNetworkProxy>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QUrl>

namespace {

struct Route {
    QByteArray body;
    int status = 200;
    QByteArray contentType;
    bool partial = false; // body is only the start of a longer answer
    int declared = -1;    // Content-Length when it is not the body's size
    QByteArray filler{};  // set: a chunked body that repeats it for ever
    bool raw = false;     // body is sent as it is, with no HTTP around it
    std::function<QByteArray(const QString&)> build{}; // set: makes the body
};

QByteArray chunk(const QByteArray& data) {
    return QByteArray::number(data.size(), 16) + "\r\n" + data + "\r\n";
}

QString matchKey(const QString& target) {
    return QUrl::fromPercentEncoding(target.toUtf8());
}

QByteArray reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    case 501:
        return "Not Implemented";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

} // namespace

struct TestHttpServer::State {
    mutable QMutex mutex;
    QHash<QString, Route> routes;
    Route fallback{QByteArray("not found"), 404, QByteArray("text/html")};
    bool silent = false;
    int delayMs = 0;
    QVector<int> delays;
    int delayTurn = 0;
    QStringList requests;
    quint16 port = 0;

    Route lookup(const QString& target) const {
        QString pathQuery = target;
        QStringList candidates;
        const int scheme = target.indexOf(QLatin1String("://"));
        if (scheme > 0 && !target.startsWith(QLatin1Char('/'))) {
            candidates << target;
            const int slash = target.indexOf(QLatin1Char('/'), scheme + 3);
            pathQuery = slash < 0 ? QStringLiteral("/") : target.mid(slash);
        }
        candidates << pathQuery;
        const int question = pathQuery.indexOf(QLatin1Char('?'));
        if (question >= 0)
            candidates << pathQuery.left(question);

        QMutexLocker lock(&mutex);
        for (const QString& candidate : qAsConst(candidates)) {
            auto it = routes.constFind(matchKey(candidate));
            if (it != routes.constEnd())
                return it.value();
        }
        return fallback;
    }
};

// Lives in the server thread; owns the listening socket and the connections.
class HttpServerCore final : public QObject {
public:
    explicit HttpServerCore(std::shared_ptr<TestHttpServer::State> state)
        : m_state(std::move(state)), m_server(new QTcpServer(this)) {
        QObject::connect(m_server, &QTcpServer::newConnection, this, [this] { acceptAll(); });
    }

    bool listen() {
        if (m_server->isListening())
            return true;
        if (!m_server->listen(QHostAddress::LocalHost, 0))
            return false;
        QMutexLocker lock(&m_state->mutex);
        m_state->port = m_server->serverPort();
        return true;
    }

private:
    void acceptAll() {
        while (QTcpSocket* socket = m_server->nextPendingConnection()) {
            socket->setParent(this);
            QObject::connect(socket, &QTcpSocket::readyRead, this,
                             [this, socket] { readFrom(socket); });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QObject::destroyed, this,
                             [this, socket] { m_buffers.remove(socket); });
        }
    }

    void readFrom(QTcpSocket* socket) {
        // Works on a copy: answering may end the connection.
        QByteArray buffer = m_buffers.take(socket) + socket->readAll();
        QPointer<QTcpSocket> guard(socket);
        // Requests may be pipelined; each answer closes the connection, so
        // only the first one is answered, but all are recorded.
        for (;;) {
            const int headEnd = buffer.indexOf("\r\n\r\n");
            if (headEnd < 0)
                break;
            const QByteArray head = buffer.left(headEnd);
            int contentLength = 0;
            const QList<QByteArray> lines = head.split('\n');
            for (int i = 1; i < lines.size(); ++i) {
                const QByteArray line = lines.at(i).trimmed();
                if (line.toLower().startsWith("content-length:"))
                    contentLength = qMax(0, line.mid(15).trimmed().toInt());
            }
            const int total = headEnd + 4 + contentLength;
            if (buffer.size() < total)
                break;
            buffer.remove(0, total);

            const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
            const QString target = QString::fromLatin1(requestLine.value(1));
            const QByteArray method = requestLine.value(0);
            handle(socket, method, target);
            if (!guard)
                return;
        }
        if (!buffer.isEmpty())
            m_buffers.insert(socket, buffer);
    }

    void handle(QTcpSocket* socket, const QByteArray& method, const QString& target) {
        bool silent;
        int delay;
        {
            QMutexLocker lock(&m_state->mutex);
            m_state->requests.append(method == "CONNECT" ? method + ' ' + target : target);
            silent = m_state->silent;
            delay = m_state->delays.isEmpty()
                        ? m_state->delayMs
                        : m_state->delays.at(m_state->delayTurn++ % m_state->delays.size());
        }
        if (silent || socket->property("answered").toBool())
            return;
        socket->setProperty("answered", true);

        Route route = method == "CONNECT" ? Route{QByteArray(), 501, QByteArray("text/plain")}
                                          : m_state->lookup(target);
        if (route.build)
            route.body = route.build(target);
        if (route.raw) {
            socket->write(route.body);
            socket->disconnectFromHost();
            return;
        }
        QByteArray reply = "HTTP/1.1 " + QByteArray::number(route.status) + ' ' +
                           reasonPhrase(route.status) + "\r\n";
        if (!route.contentType.isEmpty())
            reply += "Content-Type: " + route.contentType + "\r\n";
        const bool endless = !route.filler.isEmpty();
        if (endless) {
            reply += "Transfer-Encoding: chunked\r\n";
        } else {
            // A partial answer promises more than it sends and never finishes.
            const int declared = route.declared >= 0 ? route.declared
                                                     : route.body.size() + (route.partial ? 4096 : 0);
            reply += "Content-Length: " + QByteArray::number(declared) + "\r\n";
        }
        reply += "Connection: close\r\n\r\n";
        if (method != "HEAD")
            reply += endless ? chunk(route.body) : route.body;
        if (endless && method != "HEAD") {
            // Tops the socket's buffer up whenever it drains, so the body
            // arrives as fast as the client reads and the server stays small.
            const QByteArray more = chunk(route.filler.repeated(qMax(1, 65536 / route.filler.size())));
            QObject::connect(socket, &QTcpSocket::bytesWritten, socket, [socket, more] {
                while (socket->bytesToWrite() < 4 * more.size())
                    socket->write(more);
            });
        }

        QPointer<QTcpSocket> guard(socket);
        const bool partial = route.partial || endless;
        auto send = [guard, reply, partial] {
            if (!guard)
                return;
            guard->write(reply);
            if (partial)
                return;
            guard->disconnectFromHost();
        };
        if (delay > 0)
            QTimer::singleShot(delay, socket, send);
        else
            send();
    }

    std::shared_ptr<TestHttpServer::State> m_state;
    QTcpServer* m_server;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};

TestHttpServer::TestHttpServer(QObject* parent)
    : QObject(parent), m_state(std::make_shared<State>()), m_thread(new QThread) {
    m_thread->setObjectName(QStringLiteral("TestHttpServer"));
    m_core = new HttpServerCore(m_state);
    m_core->moveToThread(m_thread);
    // Deferred deletions still run after the thread's loop has ended.
    connect(m_thread, &QThread::finished, m_core, &QObject::deleteLater);
    m_thread->start();
}

TestHttpServer::~TestHttpServer() {
    m_thread->quit();
    m_thread->wait();
    delete m_thread;
}

bool TestHttpServer::listen() {
    bool ok = false;
    HttpServerCore* core = m_core;
    QMetaObject::invokeMethod(
        m_core, [core, &ok] { ok = core->listen(); }, Qt::BlockingQueuedConnection);
    return ok;
}

quint16 TestHttpServer::port() const {
    QMutexLocker lock(&m_state->mutex);
    return m_state->port;
}

QString TestHttpServer::baseUrl() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

void TestHttpServer::setRoute(const QString& target, const QByteArray& body, int status,
                              const QByteArray& contentType) {
    QMutexLocker lock(&m_state->mutex);
    m_state->routes.insert(matchKey(target), Route{body, status, contentType});
}

bool TestHttpServer::setRouteFile(const QString& target, const QString& filePath, int status,
                                  const QByteArray& contentType) {
    QFile file(filePath);
    const bool ok = file.open(QIODevice::ReadOnly);
    if (!ok)
        qWarning("TestHttpServer: cannot read %s", qPrintable(filePath));
    setRoute(target, ok ? file.readAll() : QByteArray(), status, contentType);
    return ok;
}

void TestHttpServer::setPartialRoute(const QString& target, const QByteArray& firstPart,
                                     const QByteArray& contentType) {
    QMutexLocker lock(&m_state->mutex);
    m_state->routes.insert(matchKey(target), Route{firstPart, 200, contentType, true});
}

void TestHttpServer::setCutOffRoute(const QString& target, const QByteArray& body,
                                    int declaredLength, const QByteArray& contentType) {
    Route route{body, 200, contentType};
    route.declared = declaredLength;
    QMutexLocker lock(&m_state->mutex);
    m_state->routes.insert(matchKey(target), route);
}

void TestHttpServer::setRawRoute(const QString& target, const QByteArray& bytes) {
    Route route{bytes, 200, QByteArray()};
    route.raw = true;
    QMutexLocker lock(&m_state->mutex);
    m_state->routes.insert(matchKey(target), route);
}

void TestHttpServer::setEndlessRoute(const QString& target, const QByteArray& head,
                                     const QByteArray& filler, const QByteArray& contentType) {
    Route route{head, 200, contentType};
    route.filler = filler.isEmpty() ? QByteArray(" ") : filler;
    QMutexLocker lock(&m_state->mutex);
    m_state->routes.insert(matchKey(target), route);
}

void TestHttpServer::setBuiltRoute(const QString& target,
                                   const std::function<QByteArray(const QString&)>& build,
                                   const QByteArray& contentType) {
    Route route{QByteArray(), 200, contentType};
    route.build = build;
    QMutexLocker lock(&m_state->mutex);
    m_state->routes.insert(matchKey(target), route);
}

void TestHttpServer::clearRoutes() {
    QMutexLocker lock(&m_state->mutex);
    m_state->routes.clear();
}

void TestHttpServer::setDefaultResponse(const QByteArray& body, int status) {
    QMutexLocker lock(&m_state->mutex);
    m_state->fallback = Route{body, status, QByteArray("text/html")};
}

void TestHttpServer::setSilent(bool silent) {
    QMutexLocker lock(&m_state->mutex);
    m_state->silent = silent;
}

void TestHttpServer::setResponseDelayMs(int ms) {
    QMutexLocker lock(&m_state->mutex);
    m_state->delayMs = ms;
}

void TestHttpServer::setResponseDelaysMs(const QVector<int>& ms) {
    QMutexLocker lock(&m_state->mutex);
    m_state->delays = ms;
    m_state->delayTurn = 0;
}

QStringList TestHttpServer::requests() const {
    QMutexLocker lock(&m_state->mutex);
    return m_state->requests;
}

int TestHttpServer::requestCount() const {
    QMutexLocker lock(&m_state->mutex);
    return m_state->requests.size();
}

void TestHttpServer::clearRequests() {
    QMutexLocker lock(&m_state->mutex);
    m_state->requests.clear();
}

bool TestHttpServer::waitForRequests(int count, int timeoutMs) const {
    return QTest::qWaitFor([this, count] { return requestCount() >= count; }, timeoutMs);
}

void TestHttpServer::installAsApplicationProxy() {
    QNetworkProxy::setApplicationProxy(
        QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), port()));
}

void TestHttpServer::removeApplicationProxy() {
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::NoProxy));
}

bool TestHttpServer::listenAsApplicationProxy() {
    if (!listen())
        return false;
    installAsApplicationProxy();
    return true;
}
