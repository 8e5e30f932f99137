#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <QVector>

#include <functional>
#include <memory>

class QThread;
class HttpServerCore;

// A small HTTP/1.1 server on 127.0.0.1 for network tests. It runs in a
// thread of its own, so it answers while the test's thread is blocked in a
// nested event loop or busy. Every accessor is thread-safe.
//
// It also serves as an HTTP proxy: installAsApplicationProxy() routes the
// clients' requests for the real service hosts to it, and the request line
// then carries the absolute URL.
class TestHttpServer final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(TestHttpServer)
public:
    explicit TestHttpServer(QObject* parent = nullptr);
    ~TestHttpServer() override;

    // Listens on 127.0.0.1 on any free port.
    bool listen();
    quint16 port() const;
    // "http://127.0.0.1:<port>"
    QString baseUrl() const;

    // A request is matched first against a route given as a full
    // "http://host/path?query" URL (proxy requests only), then against its
    // path and query exactly, then against its path alone. Percent-encoding
    // is ignored when comparing.
    void setRoute(const QString& target, const QByteArray& body, int status = 200,
                  const QByteArray& contentType = "text/html");
    // The body is read from the file now; false (and an empty body) when the
    // file cannot be read.
    bool setRouteFile(const QString& target, const QString& filePath, int status = 200,
                      const QByteArray& contentType = "text/html");
    // Answers with the headers and firstPart of a longer body, then stalls
    // with the connection open (a transfer cut off half-way).
    void setPartialRoute(const QString& target, const QByteArray& firstPart,
                         const QByteArray& contentType = "text/html");
    // Answers 200 with the full body announced by its Content-Length, but
    // sends only body and then closes the connection (a transfer cut off).
    void setCutOffRoute(const QString& target, const QByteArray& body, int declaredLength,
                        const QByteArray& contentType = "text/html");
    // Answers with the bytes alone, no status line nor headers (a service
    // that does not speak HTTP), then closes the connection.
    void setRawRoute(const QString& target, const QByteArray& bytes);
    // Answers 200 with a chunked body that never ends: head, then filler
    // over and over, as fast as the client reads it.
    void setEndlessRoute(const QString& target, const QByteArray& head, const QByteArray& filler,
                         const QByteArray& contentType = "text/html");
    // Answers 200 with a body made from the request's target (an absolute
    // URL for proxy requests); build runs in the server's thread.
    void setBuiltRoute(const QString& target,
                       const std::function<QByteArray(const QString& requestTarget)>& build,
                       const QByteArray& contentType = "text/html");
    void clearRoutes();
    // The answer to a request that matches no route.
    void setDefaultResponse(const QByteArray& body, int status = 404);
    // Accept connections and read requests but never answer.
    void setSilent(bool silent);
    // Delay every answer by ms milliseconds.
    void setResponseDelayMs(int ms);
    // Delay the answers to the requests from now on by these in turn, over
    // and over (none: back to setResponseDelayMs), so that replies overtake
    // one another.
    void setResponseDelaysMs(const QVector<int>& ms);

    // Request targets in arrival order; absolute URLs for proxy requests.
    QStringList requests() const;
    int requestCount() const;
    void clearRequests();
    // Processes the caller's events until count requests have arrived.
    bool waitForRequests(int count, int timeoutMs = 5000) const;

    void installAsApplicationProxy();
    static void removeApplicationProxy();
    // listen(), then installAsApplicationProxy(); false when it cannot listen.
    bool listenAsApplicationProxy();

    struct State;

private:
    std::shared_ptr<State> m_state;
    QThread* m_thread = nullptr;
    HttpServerCore* m_core = nullptr;
};
