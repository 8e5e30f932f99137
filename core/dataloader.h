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
    StockInterface* m_stockClient = nullptr;
    DataInterface* m_dataClient = nullptr;
    LHBInterface* m_lhbClient = nullptr;
    StringListInterface* m_listClient = nullptr;
    StringMapInterface* m_mapClient = nullptr;
    int m_pause = kDefaultPauseMs;
};
