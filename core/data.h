#pragma once

#include <QMap>
#include <QMetaType>
#include <QString>
#include <QVariant>
#include <QVector>

// A dated record of one stock with further named text fields, as built by
// the notices and suspensions clients.
struct Data {
    QString date;
    QString code;
    QString name;
    QMap<QString, QString> fields;
    QVariant value;
};

Q_DECLARE_METATYPE(Data)
Q_DECLARE_METATYPE(QVector<Data>)
