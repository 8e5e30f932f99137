#pragma once

#include "core/dataloader.h"

#include <QList>
#include <QNetworkAccessManager>
#include <QUrl>

class QNetworkReply;

// Cycles through its queue for ever (A, B, A, B, ...), with the pause after
// each reply, until it is destroyed. Replies are decoded as UTF-8; only the
// stock and data clients are used.
class LoopDataLoader final : public DataLoader {
    Q_OBJECT
    Q_DISABLE_COPY(LoopDataLoader)
public:
    explicit LoopDataLoader(QObject* parent = nullptr);
    ~LoopDataLoader() override;

    // The loop has no use for codes: both forms only append the URLs.
    void setUrls(const QStringList& urls, const QStringList& codes) override;
    void setUrls(const QStringList& urls);

public slots:
    // Does nothing while the queue is empty.
    void startNextDownload() override;
    void downloadProgress(qint64 bytesReceived, qint64 bytesTotal);
    void downloadFinished();
    void downloadReadyRead();

private:
    QNetworkAccessManager m_manager;
    QList<QUrl> m_urls;
    QNetworkReply* m_reply = nullptr;
};
