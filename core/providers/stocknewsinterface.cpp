#include "core/providers/stocknewsinterface.h"

#include "core/providers/providerinterfaces.h"
#include "core/providers/servicehosts.h"
#include "core/utils.h"

QString StockNewsInterface::url(const QString& code) const {
    // The service takes the random suffix as a double in "g" form, so large
    // numbers go out in exponent form as its own app sends them.
    return QStringLiteral("http://%1/appstock/news/info/search?type=3&page=%2&n=%5&symbol=%3"
                          "&_appName=android&_net=WIFI&__random_suffix=%4")
        .arg(QLatin1String(kStockNewsHost), QString::number(1), withMarketPrefix(code),
             QString::number(static_cast<double>(randomQueryNumber()), 'g', 6),
             QString::number(kItemsAsked));
}

QVector<QMap<QString, QString>> StockNewsInterface::parse(const QString& text,
                                                          const QString&) const {
    // After the items the reply lists the names of the stocks they mention,
    // as a second array of objects; the object-list parse would read its
    // entries as further news rows without title or time, so it is cut off.
    const int items = text.indexOf(QLatin1String("[{"));
    // Without an item array the reply holds no news (an error page, say).
    if (items < 0)
        return {};
    const int names = text.indexOf(QLatin1String("\"symbolsName\""));
    if (names > items)
        return parseObjectList(text.left(names));
    return parseObjectList(text);
}
