#include "core/providers/newkline.h"

#include "core/providers/providerinterfaces.h"
#include "core/providers/servicehosts.h"
#include "core/utils.h"

namespace {

constexpr int kMinDayValues = 6;
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
        const int begin = open + 1;
        const int close = text.lastIndexOf(QLatin1String("]]"));
        QString days = text.mid(begin, close >= begin ? close - begin : -1);
        days.remove(QLatin1Char('"'));
        const QStringList parts = days.split(QStringLiteral("],["));
        bool first = true;
        float previousClose = 0.0f;
        for (const QString& part : parts) {
            const QStringList values = part.split(QLatin1Char(','));
            if (values.size() < kMinDayValues)
                continue;
            Stock bar;
            bar.code = code;
            bar.date = values.at(0);
            if (bar.date.startsWith(QLatin1Char('[')))
                bar.date.remove(0, 1);
            bar.open = values.at(1).toFloat();
            bar.close = values.at(2).toFloat();
            bar.high = values.at(3).toFloat();
            bar.low = values.at(4).toFloat();
            bar.volume = values.at(5).toFloat();
            if (values.size() >= 8)
                bar.turnoverRate = values.at(7).toFloat();
            if (!first) {
                bar.change = bar.close - previousClose;
                // A close of 0 (an unreadable value) before this bar must
                // not turn its change in percent into an infinity.
                bar.changePercent =
                    previousClose != 0.0f ? bar.change * 100.0f / previousClose : 0.0f;
            }
            first = false;
            previousClose = bar.close;
            bars.append(bar);
        }
    }
    if (!code.isEmpty() && !directory.isEmpty())
        writeTextFile(directory + code, text);
    return bars;
}
