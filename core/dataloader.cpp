#include "core/dataloader.h"

#include "core/providers/loaderinterfaces.h"
#include "core/providers/providerinterfaces.h"

#include <QNetworkReply>
#include <QTextCodec>
#include <QTimer>

DataLoader::DataLoader(QObject* parent) : QObject(parent) {
    // The records may cross threads through queued connections.
    qRegisterMetaType<QVector<Stock>>();
    qRegisterMetaType<QVector<Data>>();
    qRegisterMetaType<QVector<LHBUnit>>();
    qRegisterMetaType<QVector<QStringList>>();
    qRegisterMetaType<QVector<QMap<QString, QString>>>();
}

DataLoader::~DataLoader() = default;

QNetworkReply* DataLoader::finishedReply(QObject* sender, QNetworkReply*& current) {
    QNetworkReply* reply = qobject_cast<QNetworkReply*>(sender);
    if (!reply)
        reply = current;
    if (reply && reply == current)
        current = nullptr;
    return reply;
}

void DataLoader::deliverReply(QNetworkReply* reply, const char* codecName, int clients,
                              const QString& dataUrl, const QString& code) {
    StockInterface* stockClient = (clients & StockClient) ? m_stockClient : nullptr;
    DataInterface* dataClient = (clients & DataClient) ? m_dataClient : nullptr;
    LHBInterface* lhbClient = (clients & LHBClient) ? m_lhbClient : nullptr;
    StringListInterface* listClient = (clients & StringListClient) ? m_listClient : nullptr;
    StringMapInterface* mapClient = (clients & StringMapClient) ? m_mapClient : nullptr;

    if (reply->error() != QNetworkReply::NoError) {
        // The seat client has no error operation.
        const QString message = reply->errorString();
        if (stockClient)
            stockClient->onError(message);
        if (dataClient)
            dataClient->onError(message);
        if (listClient)
            listClient->onError(message);
        if (mapClient)
            mapClient->onError(message);
    } else {
        const QString text = QTextCodec::codecForName(codecName)->toUnicode(reply->readAll());
        if (stockClient)
            emit sendStock(stockClient->parse(text, QString()));
        if (dataClient)
            emit sendData(dataClient->parse(text, QString()), dataUrl);
        if (lhbClient)
            emit sendLHB(lhbClient->parse(text, QString()), code);
        if (listClient)
            emit sendStringList(listClient->parse(text));
        if (mapClient)
            emit sendStringMap(mapClient->parse(text, QString()));
    }
    reply->deleteLater();
    QTimer::singleShot(m_pause, this, &DataLoader::startNextDownload);
}
