#include "core/providers/qqlhbdatainterface.h"

#include "core/providers/numberconversion.h"
#include "core/providers/servicehosts.h"
#include "core/utils.h"

namespace {

// The script takes the day as eight digits.
const QString kSeatsUrl = QStringLiteral("http://%1/cgi-bin/sstock/q_lhb_xx_js?c=%2&b=%3&l=070001");

// [.., .., side, .., .., seat name, bought, sold], amounts in yuan; the
// records carry them in units of ten thousand.
constexpr int kValueCount = 8;

} // namespace

QStringList QQLHBDataInterface::urls(const QStringList& params) {
    QStringList result;
    for (const QString& param : params) {
        const QStringList parts = param.split(QLatin1Char(','));
        if (parts.size() != 2)
            continue;
        QString day = parts.at(1);
        day.remove(QLatin1Char('-'));
        result.append(kSeatsUrl.arg(QLatin1String(kQQLHBSeatsHost), parts.at(0), day));
    }
    return result;
}

QVector<LHBUnit> QQLHBDataInterface::parse(const QString& text, const QString&) {
    QVector<LHBUnit> units;
    const int open = text.indexOf(QLatin1String("[["));
    const int close = text.lastIndexOf(QLatin1String("]]"));
    // A last "]]" that stands before the first "[[" closes no array.
    if (open < 0 || close < open + 2)
        return units;
    const QVector<QStringList> lines = arrayOfArraysRows(text, open, close);
    for (const QStringList& values : lines) {
        if (values.size() != kValueCount)
            continue;
        LHBUnit unit;
        unit.side = values.at(2) == QLatin1String("B") ? 1 : 2;
        unit.name = values.at(5);
        unit.buyAmount = narrowToFloat(readFigure(values.at(6)) * 0.0001);
        unit.sellAmount = narrowToFloat(readFigure(values.at(7)) * 0.0001);
        units.append(unit);
    }
    return units;
}
