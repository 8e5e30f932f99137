#include "core/providers/newkline.h"

#include "core/providers/barorder.h"
#include "core/providers/providerinterfaces.h"
#include "core/providers/qqdayrows.h"
#include "core/providers/servicehosts.h"
#include "core/utils.h"

namespace {

// From the start of `data"` to the digits of `data":{"sh600036"`.
constexpr int kCodeOffset = 10;
constexpr int kCodeLength = 6;

bool isStockCode(const QString& code) {
    if (code.size() != kCodeLength)
        return false;
    for (const QChar c : code) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

} // namespace

QString newKLineUrl(const QString& code) {
    return QStringLiteral("http://%1/appstock/app/newkline/newkline?p=1&param=%2,day,,,320"
                          "&_appName=android&_net=4G&__random_suffix=%3")
        .arg(QLatin1String(kStockQQHost), withMarketPrefix(code),
             QString::number(randomQueryNumber()));
}

QVector<Stock> parseNewKLine(const QString& text, const QString& directory) {
    QVector<Stock> bars;
    const int marker = text.indexOf(QLatin1String("data\""));
    if (marker < 0)
        return bars;
    // The code names the saved file, so only six digits are taken for one: a
    // reply that puts anything else there must not choose a path.
    QString code = text.mid(marker + kCodeOffset, kCodeLength);
    if (!isStockCode(code))
        code.clear();

    // Without a bar array the reply holds no bars; read from its start, any
    // six comma-separated texts would pass for one.
    const int open = text.indexOf(QLatin1String("[["));
    if (open >= 0) {
        const QVector<QStringList> rows =
            arrayOfArraysRows(text, open, text.lastIndexOf(QLatin1String("]]")));
        for (const QStringList& values : rows) {
            Stock bar;
            if (!readQQDayRow(values, bar))
                continue;
            bar.code = code;
            if (values.size() >= 8)
                bar.turnoverRate = readFloatFigure(values.at(7));
            bars.append(bar);
        }
        // The first bar has no close before it and keeps 0 for both.
        orderBarsByDate(bars);
        setChangesInOrder(bars);
    }
    if (!code.isEmpty() && !directory.isEmpty())
        writeTextFile(directory + code, text);
    return bars;
}
