#pragma once

#include "core/data.h"

#include <QString>
#include <QStringList>
#include <QVector>

// Two further client kinds that the queue-driven loaders can drive, shaped
// like StringMapInterface: one returns Data records, the other plain lists
// of texts.
class DataInterface {
public:
    virtual ~DataInterface();
    virtual void onError(const QString& message);
    virtual QStringList urls(const QStringList& params) = 0;
    virtual QVector<Data> parse(const QString& text, const QString& param) = 0;
};

class StringListInterface {
public:
    virtual ~StringListInterface();
    virtual void onError(const QString& message);
    virtual QStringList urls(const QStringList& params) = 0;
    virtual QVector<QStringList> parse(const QString& text) = 0;
};
