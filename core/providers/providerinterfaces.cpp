#include "core/providers/providerinterfaces.h"

#include "core/providers/markersearch.h"

#include <QDebug>
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
    const int at = text.indexOf(QLatin1String("\\u"));
    if (at < 0)
        return;
    // Built anew in one pass: replacing each escape where it stands would
    // move the rest of the text once per escape.
    const auto hexValue = [](QChar c) {
        const ushort u = c.unicode();
        return u >= '0' && u <= '9'   ? u - '0'
               : u >= 'a' && u <= 'f' ? u - 'a' + 10
               : u >= 'A' && u <= 'F' ? u - 'A' + 10
                                      : -1;
    };
    const int n = text.size();
    QString result;
    result.reserve(n);
    result.append(text.constData(), at);
    for (int i = at; i < n; ++i) {
        if (text.at(i) == QLatin1Char('\\') && i + 5 < n && text.at(i + 1) == QLatin1Char('u')) {
            int code = 0;
            int digits = 0;
            for (; digits < 4; ++digits) {
                const int value = hexValue(text.at(i + 2 + digits));
                if (value < 0)
                    break;
                code = code * 16 + value;
            }
            if (digits == 4) {
                result.append(QChar(static_cast<ushort>(code)));
                i += 5;
                continue;
            }
        }
        result.append(text.at(i));
    }
    text = result;
}
