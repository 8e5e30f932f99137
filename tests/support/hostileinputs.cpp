#include "tests/support/hostileinputs.h"

#include <QRandomGenerator>

QStringList truncations(const QString& text, int step, int from) {
    QStringList cuts;
    for (int length = from; length < text.size(); length += step)
        cuts.append(text.left(length));
    return cuts;
}

QString randomText(QRandomGenerator& random, int length, const QString& alphabet) {
    QString text;
    for (int i = 0; i < length; ++i)
        text.append(alphabet.isEmpty()
                        ? QChar(static_cast<ushort>(random.bounded(0x10000)))
                        : alphabet.at(static_cast<int>(random.bounded(alphabet.size()))));
    return text;
}
