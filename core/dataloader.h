#pragma once

#include "core/data.h"
#include "core/lhbunit.h"
#include "core/stock.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

class DataInterface;
class LHBInterface;
class QNetworkReply;
class StockInterface;
class StringListInterface;
class StringMapInterface;

// Fetches a queue of URLs one after another without blocking and hands each
// reply to every attached client; the records come out as signals. The
// clients are not owned: their owner keeps them alive while the loader runs.
class DataLoader : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(DataLoader)
public:
    // The pause between a reply and the next request.
    static constexpr int kDefaultPauseMs = 1500;

    explicit DataLoader(QObject* parent = nullptr);
    ~DataLoader() override;

    void setStockInterface(StockInterface* client) { m_stockClient = client; }
    void setDataInterface(DataInterface* client) { m_dataClient = client; }
    void setLHBInterface(LHBInterface* client) { m_lhbClient = client; }
    void setStringListInterface(StringListInterface* client) { m_listClient = client; }
    void setStringMapInterface(StringMapInterface* client) { m_mapClient = client; }
    StockInterface* stockInterface() const { return m_stockClient; }
    DataInterface* dataInterface() const { return m_dataClient; }
    LHBInterface* lhbInterface() const { return m_lhbClient; }
    StringListInterface* stringListInterface() const { return m_listClient; }
    StringMapInterface* stringMapInterface() const { return m_mapClient; }

    void setPause(int ms) { m_pause = qMax(0, ms); }
    int pause() const { return m_pause; }

    // Appends to the queue; starts nothing.
    virtual void setUrls(const QStringList& urls, const QStringList& codes) = 0;

public slots:
    virtual void startNextDownload() = 0;

signals:
    void sendStock(QVector<Stock> stocks);
    void sendData(QVector<Data> datas, QString url = QString());
    void sendLHB(QVector<LHBUnit> units, QString code = QString());
    void sendStringList(QVector<QStringList> lists);
    void sendStringMap(QVector<QMap<QString, QString>> rows);
    void sendOK();

protected:
    // The clients a loader hands its replies to; the others are left alone.
    enum Client {
        StockClient = 0x1,
        DataClient = 0x2,
        LHBClient = 0x4,
        StringListClient = 0x8,
        StringMapClient = 0x10,
        AllClients = 0x1f
    };

    // The reply behind a finished() signal: the sender, else the current
    // reply. The current reply is cleared when it is the one that finished,
    // so a later start cannot be mistaken for it.
    static QNetworkReply* finishedReply(QObject* sender, QNetworkReply*& current);

    // Hands a finished reply to the chosen attached clients: its error text to
    // their error operations, or else its body, decoded with the codec, to
    // their parsers, whose records go out as signals (sendData carries
    // dataUrl, sendLHB carries code). Then the reply is deleted later and the
    // next request is scheduled after the pause, whatever the outcome.
    void deliverReply(QNetworkReply* reply, const char* codecName, int clients,
                      const QString& dataUrl, const QString& code);

    StockInterface* m_stockClient = nullptr;
    DataInterface* m_dataClient = nullptr;
    LHBInterface* m_lhbClient = nullptr;
    StringListInterface* m_listClient = nullptr;
    StringMapInterface* m_mapClient = nullptr;
    int m_pause = kDefaultPauseMs;
};
