#include "core/httpget.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTextCodec>
#include <QTimer>
#include <QUrl>

#include <memory>

QString httpGet(const QString& url, int timeoutMs) {
    // A manager per call: no connection, cookie or cache outlives the call,
    // and calls in different threads never share anything.
    auto manager = std::make_unique<QNetworkAccessManager>();
    QNetworkReply* reply = manager->get(QNetworkRequest(QUrl(url)));

    auto loop = std::make_unique<QEventLoop>();
    QObject::connect(manager.get(), &QNetworkAccessManager::finished, loop.get(),
                     &QEventLoop::quit);
    // Completion is only reported through the event loop, so connecting after
    // get() cannot miss it.
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer); // a coarse timer may fire 5% early
    if (timeoutMs > 0) {
        QObject::connect(&timer, &QTimer::timeout, loop.get(), &QEventLoop::quit);
        timer.start(timeoutMs);
    }
    if (!reply->isFinished())
        loop->exec();
    timer.stop();

    // Whatever charset the reply declares, the services speak GBK. A reply
    // cut off by the bound gives what has arrived so far.
    const QByteArray body = reply->readAll();
    if (!reply->isFinished())
        reply->abort();

    QTextCodec* gbk = QTextCodec::codecForName("gbk");
    const QString text = gbk ? gbk->toUnicode(body) : QString::fromLatin1(body);
    reply->deleteLater();
    loop.reset();
    manager.reset(); // disposes of the reply at once
    return text;
}
