#include "core/providers/loaderinterfaces.h"

#include <QDebug>

DataInterface::~DataInterface() = default;

void DataInterface::onError(const QString& message) {
    qDebug().noquote() << message << "\n";
}

StringListInterface::~StringListInterface() = default;

void StringListInterface::onError(const QString& message) {
    qDebug().noquote() << message << "\n";
}
