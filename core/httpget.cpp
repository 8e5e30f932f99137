#include "core/httpget.h"

#include "core/cancelflag.h"
#include "core/utils.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTextCodec>
#include <QUrl>

#include <memory>

namespace {

// The reply is read out as it arrives through a buffer of this size: Qt then
// stops reading the socket while the buffer is full, so nothing piles up
// unseen between the network thread and the caller.
constexpr qint64 kReadBufferBytes = 1024 * 1024;

// How a finished reply failed, from Qt's error and the status that came.
FetchFailure failureOf(QNetworkReply::NetworkError error, int httpStatus) {
    if (httpStatus != 0 && (httpStatus < 200 || httpStatus >= 300))
        return FetchFailure::ServerError;
    if (error == QNetworkReply::TimeoutError || error == QNetworkReply::ProxyTimeoutError)
        return FetchFailure::TimedOut;
    if (httpStatus != 0) // a good status, then the transfer broke off
        return FetchFailure::Incomplete;
    // An answer, but not HTTP: Qt waits for a status line that never comes
    // and reports the close that ends the answer.
    if (error == QNetworkReply::ProtocolFailure || error == QNetworkReply::RemoteHostClosedError)
        return FetchFailure::UnexpectedFormat;
    return FetchFailure::NoConnection;
}

// The body as text: whatever charset the reply declares, the services speak GBK.
QString decodeReply(const QByteArray& body) {
    // GB18030 holds GBK whole and every other character besides.
    QTextCodec* gbk = QTextCodec::codecForName("GB18030");
    return gbk ? gbk->toUnicode(body) : QString::fromLatin1(body);
}

} // namespace

QString httpGet(const QString& url, int timeoutMs) {
    return httpGet(url, nullptr, nullptr, timeoutMs);
}

QString httpGetBoundText(qint64 bytes) {
    constexpr qint64 mib = 1024 * 1024;
    if (bytes >= mib && bytes % mib == 0)
        return QStringLiteral("%1 MiB").arg(bytes / mib);
    if (bytes >= 1024 && bytes % 1024 == 0)
        return QStringLiteral("%1 KiB").arg(bytes / 1024);
    return QStringLiteral("%1 bytes").arg(bytes);
}

QString httpGet(const QString& url, HttpGetStatus* status, const CancelFlag* cancel,
                int timeoutMs, qint64 maxBodyBytes) {
    HttpGetStatus ignored;
    HttpGetStatus& result = status ? *status : ignored;
    result = HttpGetStatus();

    // A manager per call: no connection, cookie or cache outlives the call,
    // and calls in different threads never share anything.
    auto manager = std::make_unique<QNetworkAccessManager>();
    auto loop = std::make_unique<QEventLoop>();
    // Watch the flag first, then look at it last thing before the send: a
    // cancel raised before that look keeps the request from being sent at
    // all, and one raised after it wakes the wait below.
    if (cancel)
        QObject::connect(cancel, &CancelFlag::cancelled, loop.get(), &QEventLoop::quit);
    if (cancel && cancel->isCancelled()) {
        result.error = QStringLiteral("cancelled");
        result.failure = FetchFailure::Cancelled;
        return QString();
    }
    HttpRequest request(manager.get(), url, timeoutMs, maxBodyBytes);
    // Completion is only reported through the event loop, so connecting after
    // the send cannot miss it, nor any data.
    QObject::connect(&request, &HttpRequest::done, loop.get(), &QEventLoop::quit);
    if (!request.isDone() && !(cancel && cancel->isCancelled()))
        loop->exec();
    request.cancel(); // woken by the flag: the request ends here
    result = request.status();
    return request.text();
}

HttpRequest::HttpRequest(QNetworkAccessManager* manager, const QString& url, int timeoutMs,
                         qint64 maxBodyBytes, QObject* parent)
    : QObject(parent), m_reply(manager->get(QNetworkRequest{QUrl(url)})),
      m_maxBodyBytes(maxBodyBytes) {
    m_reply->setReadBufferSize(qMin(kReadBufferBytes, maxBodyBytes + 1));
    connect(m_reply, &QNetworkReply::finished, this, [this] { end(FetchFailure::None); });
    connect(m_reply, &QNetworkReply::readyRead, this, &HttpRequest::readArrived);
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer); // a coarse timer may fire 5% early
    if (timeoutMs > 0) {
        connect(&m_timer, &QTimer::timeout, this, [this] { end(FetchFailure::TimedOut); });
        m_timer.start(timeoutMs);
    }
}

HttpRequest::~HttpRequest() {
    cancel();
}

void HttpRequest::cancel() {
    end(FetchFailure::Cancelled);
}

void HttpRequest::readArrived() {
    if (m_tooLong)
        return;
    m_body += m_reply->readAll();
    if (m_body.size() > m_maxBodyBytes) {
        // Aborted at once rather than when the reply ends, which a slow
        // reader of the result could hold up while the reply keeps coming.
        m_tooLong = true;
        m_body = QByteArray();
        m_reply->abort(); // ends the request through finished()
    }
}

void HttpRequest::end(FetchFailure unfinished) {
    if (m_done)
        return;
    m_done = true;
    m_timer.stop();
    if (!m_reply) { // its manager is gone, and the transfer with it
        m_status.error = QStringLiteral("cancelled");
        m_status.failure = FetchFailure::Cancelled;
        emit done();
        return;
    }
    disconnect(m_reply, nullptr, this, nullptr);

    // A reply cut off by the time bound gives what has arrived so far.
    if (!m_tooLong) {
        m_body += m_reply->readAll();
        if (m_body.size() > m_maxBodyBytes) {
            m_tooLong = true;
            m_body = QByteArray();
        }
    }
    m_status.httpStatus = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (m_tooLong) {
        m_status.error =
            QStringLiteral("reply longer than %1, refused").arg(httpGetBoundText(m_maxBodyBytes));
        m_status.failure = FetchFailure::TooLong;
    } else if (m_reply->isFinished()) {
        m_status.ok = m_reply->error() == QNetworkReply::NoError && m_status.httpStatus >= 200 &&
                      m_status.httpStatus < 300;
        if (m_reply->error() != QNetworkReply::NoError)
            m_status.error = m_reply->errorString();
        else if (!m_status.ok)
            m_status.error = QStringLiteral("HTTP status %1").arg(m_status.httpStatus);
        if (!m_status.ok)
            m_status.failure = failureOf(m_reply->error(), m_status.httpStatus);
    } else {
        m_status.error = unfinished == FetchFailure::Cancelled ? QStringLiteral("cancelled")
                                                               : QStringLiteral("timed out");
        m_status.failure = unfinished;
    }
    if (!m_reply->isFinished())
        m_reply->abort();

    m_text = decodeReply(m_body);
    m_body = QByteArray();
    m_reply->deleteLater();
    m_reply = nullptr;
    emit done();
}

FetchFailure serviceReplyFailure(const HttpGetStatus& status, const QString& text) {
    if (!status.ok)
        return status.failure;
    return isServiceReply(text) ? FetchFailure::None : replyShapeFailure(text);
}
