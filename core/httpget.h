#pragma once

#include "core/fetchfailure.h"

#include <QByteArray>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class CancelFlag;
class QNetworkAccessManager;

// Default bound on one fetch: a reply that has not finished by then is
// aborted and what arrived so far is returned.
constexpr int kHttpGetTimeoutMs = 30000;

// Default bound on one reply's body, far above any real reply (the largest is
// under 1 MB): a longer one, such as a body that never ends, is refused as a
// failed fetch as soon as it passes the bound, instead of filling memory.
// Fetches whose replies are small and read on the GUI thread pass a bound of
// their own, fitted to what they ask for.
constexpr qint64 kHttpGetMaxBodyBytes = 64 * 1024 * 1024;

// Blocking GET of an absolute URL; the body decoded as GB18030 (GBK and
// beyond), "" when none arrived or when it was longer than kHttpGetMaxBodyBytes. The calling
// thread's events keep flowing during the wait. A timeoutMs of 0 or less
// waits without a bound.
QString httpGet(const QString& url, int timeoutMs = kHttpGetTimeoutMs);

// How a fetch ended, for callers that must tell a failure from an answer
// that holds nothing.
struct HttpGetStatus {
    bool ok = false;    // the whole reply arrived, with a 2xx status, within the bound
    int httpStatus = 0; // the reply's HTTP status; 0 when none arrived
    QString error;      // why the fetch is not ok, for the debug output
    FetchFailure failure = FetchFailure::None; // why, for the user (fetchFailureText)
};

// httpGet() that also reports how the fetch ended (status may be null). A
// raised cancel aborts the request in flight, and none is sent once it is up,
// however shortly before the send it was raised. A body longer than
// maxBodyBytes is refused as soon as it passes that bound.
// How a fetch that must bring its service's reply (isServiceReply) ended:
// the fetch's own failure, else the reply's shape failure; None when the
// reply is whole and in shape.
FetchFailure serviceReplyFailure(const HttpGetStatus& status, const QString& text);

QString httpGet(const QString& url, HttpGetStatus* status, const CancelFlag* cancel = nullptr,
                int timeoutMs = kHttpGetTimeoutMs, qint64 maxBodyBytes = kHttpGetMaxBodyBytes);

// The bound as said in a failure: "256 KiB", "64 MiB".
QString httpGetBoundText(qint64 bytes);

// One GET on the caller's manager, read as it arrives within the same size
// and time bounds as httpGet(), which runs one of these; done() is emitted
// once, when the reply has ended, failed or passed a bound. cancel() or the
// request's destruction ends it early and aborts the transfer.
class HttpRequest final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(HttpRequest)
public:
    HttpRequest(QNetworkAccessManager* manager, const QString& url, int timeoutMs,
                qint64 maxBodyBytes, QObject* parent = nullptr);
    ~HttpRequest() override;

    bool isDone() const { return m_done; }
    // Ends the request as cancelled, with what has arrived; nothing once done.
    void cancel();
    // Once done: the body decoded as httpGet() returns it, and how it ended.
    QString text() const { return m_text; }
    HttpGetStatus status() const { return m_status; }

signals:
    void done();

private:
    void readArrived();
    // Ends the request; a reply not finished by then was cut short by the
    // time bound or by cancel().
    void end(FetchFailure unfinished);

    QPointer<QNetworkReply> m_reply; // its manager may go first
    QTimer m_timer;
    qint64 m_maxBodyBytes;
    QByteArray m_body;
    bool m_tooLong = false;
    bool m_done = false;
    QString m_text;
    HttpGetStatus m_status;
};
