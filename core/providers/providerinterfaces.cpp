#include "core/providers/providerinterfaces.h"

#include "core/providers/markersearch.h"

#include <QDebug>
#include <QRegExp>
#include <QtGlobal>

StockInterface::~StockInterface() = default;

void StockInterface::onError(const QString& message) {
    qDebug().noquote() << message << "\n";
}

void StockInterface::setParam(int, const QString&) {}

StringMapInterface::~StringMapInterface() = default;

void StringMapInterface::onError(const QString& message) {
    qDebug().noquote() << message << "\n";
}

LHBInterface::~LHBInterface() = default;

QString withMarketPrefix(const QString& code) {
    if (code.startsWith(QLatin1Char('6')))
        return QStringLiteral("sh") + code;
    return QStringLiteral("sz") + code;
}

float randomFraction() {
    // qrand() on purpose: the query strings draw from the seeded runtime generator.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    return static_cast<float>(qrand() * 4.656612873077393e-10);
    QT_WARNING_POP
}

qint64 queryNumberFromFraction(float fraction) {
    // A float near 1 rounds up to exactly 1.0f, so the product can reach
    // 2^31; keep the number inside [0, 2^31).
    constexpr qint64 kLimit = Q_INT64_C(2147483648);
    const double value = static_cast<double>(fraction) * 2147483648.0;
    if (!(value >= 0.0))
        return 0;
    if (value >= static_cast<double>(kLimit))
        return kLimit - 1;
    return static_cast<qint64>(value);
}

qint64 randomQueryNumber() {
    return queryNumberFromFraction(randomFraction());
}

QStringList regexCaptureAll(const QString& text, const QString& pattern) {
    return captureMatches(text, pattern);
}

void unescapeUnicode(QString& text) {
    QRegExp rx(QStringLiteral("(\\\\u[0-9a-fA-F]{4})"), Qt::CaseSensitive, QRegExp::RegExp);
    int pos = 0;
    while ((pos = rx.indexIn(text, pos)) >= 0) {
        const ushort code = rx.cap(1).right(4).toUShort(nullptr, 16);
        text.replace(pos, 6, QChar(code));
        pos += 1;
    }
}
