#include "core/httpget.h"

#include "core/cancelflag.h"
#include "core/utils.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTextCodec>
#include <QTimer>
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
    const QNetworkRequest request{QUrl(url)};
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
    QNetworkReply* reply = manager->get(request);
    reply->setReadBufferSize(qMin(kReadBufferBytes, maxBodyBytes + 1));

    // Completion is only reported through the event loop, so connecting after
    // get() cannot miss it, nor any data.
    QObject::connect(manager.get(), &QNetworkAccessManager::finished, loop.get(),
                     &QEventLoop::quit);
    QByteArray body;
    bool tooLong = false;
    QObject::connect(reply, &QNetworkReply::readyRead, loop.get(), [&] {
        body += reply->readAll();
        if (body.size() > maxBodyBytes && !tooLong) {
            // Aborted here rather than after the wait, which a nested call
            // can hold up while the reply keeps coming.
            tooLong = true;
            body = QByteArray();
            reply->abort();
        }
    });
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer); // a coarse timer may fire 5% early
    if (timeoutMs > 0) {
        QObject::connect(&timer, &QTimer::timeout, loop.get(), &QEventLoop::quit);
        timer.start(timeoutMs);
    }
    if (!reply->isFinished() && !(cancel && cancel->isCancelled()))
        loop->exec();
    timer.stop();

    // Whatever charset the reply declares, the services speak GBK. A reply
    // cut off by the time bound gives what has arrived so far.
    if (!tooLong) {
        body += reply->readAll();
        if (body.size() > maxBodyBytes) {
            tooLong = true;
            body = QByteArray();
        }
    }
    result.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (tooLong) {
        result.error =
            QStringLiteral("reply longer than %1, refused").arg(httpGetBoundText(maxBodyBytes));
        result.failure = FetchFailure::TooLong;
    } else if (reply->isFinished()) {
        result.ok = reply->error() == QNetworkReply::NoError && result.httpStatus >= 200 &&
                    result.httpStatus < 300;
        if (reply->error() != QNetworkReply::NoError)
            result.error = reply->errorString();
        else if (!result.ok)
            result.error = QStringLiteral("HTTP status %1").arg(result.httpStatus);
        if (!result.ok)
            result.failure = failureOf(reply->error(), result.httpStatus);
    } else {
        const bool cancelled = cancel && cancel->isCancelled();
        result.error = cancelled ? QStringLiteral("cancelled") : QStringLiteral("timed out");
        result.failure = cancelled ? FetchFailure::Cancelled : FetchFailure::TimedOut;
    }
    if (!reply->isFinished())
        reply->abort();

    // GB18030 holds GBK whole and every other character besides.
    QTextCodec* gbk = QTextCodec::codecForName("GB18030");
    const QString text = gbk ? gbk->toUnicode(body) : QString::fromLatin1(body);
    reply->deleteLater();
    loop.reset();
    manager.reset(); // disposes of the reply at once
    return text;
}

FetchFailure serviceReplyFailure(const HttpGetStatus& status, const QString& text) {
    if (!status.ok)
        return status.failure;
    return isServiceReply(text) ? FetchFailure::None : replyShapeFailure(text);
}
