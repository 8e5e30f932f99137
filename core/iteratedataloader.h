#pragma once

#include "core/dataloader.h"

#include <QList>
#include <QNetworkAccessManager>
#include <QUrl>

class QNetworkReply;

// Drains its queue once, in order, then emits sendOK(). Replies are decoded
// as GB18030. URLs appended later are fetched after a further startNextDownload.
class IterateDataLoader final : public DataLoader {
    Q_OBJECT
    Q_DISABLE_COPY(IterateDataLoader)
public:
    explicit IterateDataLoader(QObject* parent = nullptr);
    ~IterateDataLoader() override;

    // The codes pair with the URLs by position; a URL without a code of its
    // own carries the last code taken.
    void setUrls(const QStringList& urls, const QStringList& codes) override;

public slots:
    void startNextDownload() override;
    void downloadProgress(qint64 bytesReceived, qint64 bytesTotal);
    void downloadFinished();
    void downloadReadyRead();

private:
    QNetworkAccessManager m_manager;
    QList<QUrl> m_urls;
    QStringList m_codes;
    QNetworkReply* m_reply = nullptr;
    QString m_code;
};
