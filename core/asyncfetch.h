#pragma once

#include "core/httpget.h"

#include <QObject>
#include <QString>

#include <memory>

// A GET for the application's own thread that never waits: start() returns
// at once, and finished() brings the reply, decoded and bounded as
// httpGet() gives it, on a later turn of the event loop. It holds at most
// one request: start() again, abort() or its destruction ends the one in
// flight, whose reply is never reported, so the latest request wins and
// quick moves pile nothing up. All of them share one network manager, and
// so one network thread.
class AsyncFetch final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(AsyncFetch)
public:
    explicit AsyncFetch(QObject* parent = nullptr);
    ~AsyncFetch() override;

    void start(const QString& url, qint64 maxBodyBytes, int timeoutMs = kHttpGetTimeoutMs);
    void abort();
    // From start() until finished() has been emitted or the request dropped.
    bool isRunning() const { return m_running; }

signals:
    void finished(const QString& text, const HttpGetStatus& status);

private:
    void onDone();

    std::unique_ptr<HttpRequest> m_request;
    quint64 m_serial = 0; // counts start() and abort(): a report of an older one is dropped
    bool m_running = false;
};
