#include "core/dataloader.h"

DataLoader::DataLoader(QObject* parent) : QObject(parent) {
    // The records may cross threads through queued connections.
    qRegisterMetaType<QVector<Stock>>();
    qRegisterMetaType<QVector<Data>>();
    qRegisterMetaType<QVector<LHBUnit>>();
    qRegisterMetaType<QVector<QStringList>>();
    qRegisterMetaType<QVector<QMap<QString, QString>>>();
}

DataLoader::~DataLoader() = default;
