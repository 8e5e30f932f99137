#include "core/loopdataloader.h"

#include <QNetworkReply>
#include <QNetworkRequest>

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
    QNetworkReply* reply = finishedReply(sender(), m_reply);
    if (!reply)
        return;
    // Only the stock and data clients take part in the loop, and its data
    // records carry no URL.
    deliverReply(reply, "utf8", StockClient | DataClient, QString(), QString());
}
