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
    // "title" and "type" of a notice; "stopDate", "span" and "desc" of a
    // suspension.
    QMap<QString, QString> attributes;
    // Left invalid by every client.
    QVariant extra;
};

Q_DECLARE_METATYPE(Data)
Q_DECLARE_METATYPE(QVector<Data>)
