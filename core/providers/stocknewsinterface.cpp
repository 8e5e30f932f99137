#include "core/providers/stocknewsinterface.h"

#include "core/providers/providerinterfaces.h"
#include "core/providers/servicehosts.h"
#include "core/utils.h"

QString StockNewsInterface::url(const QString& code) const
{
    // The service takes the random suffix as a double in "g" form, so large
    // numbers go out in exponent form as its own app sends them.
    return QStringLiteral("http://%1/appstock/news/info/search?type=3&page=%2&n=6&symbol=%3"
                          "&_appName=android&_net=WIFI&__random_suffix=%4")
        .arg(QLatin1String(kStockNewsHost), QString::number(1), withMarketPrefix(code),
             QString::number(static_cast<double>(randomQueryNumber()), 'g', 6));
}

QVector<QMap<QString, QString>> StockNewsInterface::parse(const QString& text,
                                                          const QString&) const
{
    return parseObjectList(text);
}
