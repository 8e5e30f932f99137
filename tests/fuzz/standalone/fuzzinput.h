#pragma once

#include <QString>
#include <QTextCodec>
#include <QVector>

#include <cstddef>
#include <cstdint>

// The texts that one fuzz input stands for: the bytes decoded as GB18030, as
// the blocking fetch decodes every reply, and the same bytes read as UTF-16,
// which reaches every 16-bit code unit (lone surrogates included).
inline QVector<QString> fuzzTexts(const uint8_t* data, size_t size) {
    static QTextCodec* const gbk = QTextCodec::codecForName("GB18030");
    const char* bytes = reinterpret_cast<const char*>(data);
    const int length = static_cast<int>(size);
    QVector<QString> texts;
    texts.append(gbk->toUnicode(bytes, length));
    QString units(length / 2, Qt::Uninitialized);
    for (int i = 0; i < length / 2; ++i)
        units[i] = QChar(static_cast<ushort>(data[2 * i] | (data[2 * i + 1] << 8)));
    texts.append(units);
    return texts;
}
