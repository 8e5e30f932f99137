#include "core/iteratedataloader.h"

#include <QNetworkReply>
#include <QNetworkRequest>

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
    QNetworkReply* reply = finishedReply(sender(), m_reply);
    if (!reply)
        return;
    deliverReply(reply, "GB18030", AllClients, reply->url().toString(), m_code);
}
