#include "core/loopdataloader.h"

#include "core/providers/loaderinterfaces.h"
#include "core/providers/providerinterfaces.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTextCodec>
#include <QTimer>

LoopDataLoader::LoopDataLoader(QObject* parent) : DataLoader(parent) {}

LoopDataLoader::~LoopDataLoader() {
    // The manager member goes down with its open reply after this body; no
    // signal of that reply may reach the half-destroyed loader.
    if (m_reply)
        disconnect(m_reply, nullptr, this, nullptr);
}

void LoopDataLoader::setUrls(const QStringList& urls, const QStringList&) {
    setUrls(urls);
}

void LoopDataLoader::setUrls(const QStringList& urls) {
    for (const QString& url : urls)
        m_urls.append(QUrl(url));
}

void LoopDataLoader::startNextDownload() {
    if (m_urls.isEmpty())
        return;
    // The queue rotates: the URL goes back to its end.
    const QUrl url = m_urls.takeFirst();
    m_urls.append(url);
    m_reply = m_manager.get(QNetworkRequest(url));
    connect(m_reply, &QNetworkReply::downloadProgress, this, &LoopDataLoader::downloadProgress);
    connect(m_reply, &QNetworkReply::finished, this, &LoopDataLoader::downloadFinished);
    connect(m_reply, &QIODevice::readyRead, this, &LoopDataLoader::downloadReadyRead);
}

void LoopDataLoader::downloadProgress(qint64, qint64) {}

void LoopDataLoader::downloadReadyRead() {}

void LoopDataLoader::downloadFinished() {
    QNetworkReply* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply)
        reply = m_reply;
    if (!reply)
        return;
    if (reply == m_reply)
        m_reply = nullptr;

    if (reply->error() != QNetworkReply::NoError) {
        const QString message = reply->errorString();
        if (m_stockClient)
            m_stockClient->onError(message);
        if (m_dataClient)
            m_dataClient->onError(message);
    } else {
        const QString text = QTextCodec::codecForName("utf8")->toUnicode(reply->readAll());
        if (m_stockClient)
            emit sendStock(m_stockClient->parse(text, QString()));
        if (m_dataClient)
            emit sendData(m_dataClient->parse(text, QString()), QString());
    }
    reply->deleteLater();
    QTimer::singleShot(m_pause, this, &LoopDataLoader::startNextDownload);
}
