#include "core/iteratedataloader.h"

#include "core/providers/loaderinterfaces.h"
#include "core/providers/providerinterfaces.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTextCodec>
#include <QTimer>

IterateDataLoader::IterateDataLoader(QObject* parent) : DataLoader(parent) {}

IterateDataLoader::~IterateDataLoader() {
    // The manager member goes down with its open reply after this body; no
    // signal of that reply may reach the half-destroyed loader.
    if (m_reply)
        disconnect(m_reply, nullptr, this, nullptr);
}

void IterateDataLoader::setUrls(const QStringList& urls, const QStringList& codes) {
    for (const QString& url : urls)
        m_urls.append(QUrl(url));
    m_codes += codes;
}

void IterateDataLoader::startNextDownload() {
    if (m_urls.isEmpty()) {
        emit sendOK();
        return;
    }
    if (!m_codes.isEmpty())
        m_code = m_codes.takeFirst();
    m_reply = m_manager.get(QNetworkRequest(m_urls.takeFirst()));
    connect(m_reply, &QNetworkReply::downloadProgress, this, &IterateDataLoader::downloadProgress);
    connect(m_reply, &QNetworkReply::finished, this, &IterateDataLoader::downloadFinished);
    connect(m_reply, &QIODevice::readyRead, this, &IterateDataLoader::downloadReadyRead);
}

void IterateDataLoader::downloadProgress(qint64, qint64) {}

void IterateDataLoader::downloadReadyRead() {}

void IterateDataLoader::downloadFinished() {
    // The reply that finished, even if a second start replaced the current one.
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
        if (m_listClient)
            m_listClient->onError(message);
        if (m_mapClient)
            m_mapClient->onError(message);
    } else {
        const QString text = QTextCodec::codecForName("gbk")->toUnicode(reply->readAll());
        if (m_stockClient)
            emit sendStock(m_stockClient->parse(text, QString()));
        if (m_dataClient)
            emit sendData(m_dataClient->parse(text, QString()), reply->url().toString());
        if (m_lhbClient)
            emit sendLHB(m_lhbClient->parse(text, QString()), m_code);
        if (m_listClient)
            emit sendStringList(m_listClient->parse(text));
        if (m_mapClient)
            emit sendStringMap(m_mapClient->parse(text, QString()));
    }
    reply->deleteLater();
    QTimer::singleShot(m_pause, this, &IterateDataLoader::startNextDownload);
}
