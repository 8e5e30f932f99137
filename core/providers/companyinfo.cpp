#include "core/providers/companyinfo.h"

#include "core/providers/markersearch.h"
#include "core/providers/providerinterfaces.h"
#include "core/providers/servicehosts.h"
#include "core/utils.h"

namespace {

// The last item of an array match still carries the array's closing "}]";
// without it the last item's last value reads like every other.
void dropArrayClose(QString& array) {
    if (array.endsWith(QLatin1Char(']')))
        array.chop(1);
    if (array.endsWith(QLatin1Char('}')))
        array.chop(1);
}

// An object item as a flat list: keys and values alternate.
QStringList flatPairs(const QString& item) {
    QString flat = item;
    flat.remove(QLatin1Char('"'));
    flat.replace(QLatin1Char(':'), QLatin1Char(','));
    return flat.split(QLatin1Char(','));
}

// The share figures stand unquoted, so their capture runs from the key's
// colon to the opening quote of the next key (":125619.78,"); the figure is
// what stands between.
QString shareFigure(const QString& capture) {
    QString value = capture.trimmed();
    if (value.startsWith(QLatin1Char(':')))
        value.remove(0, 1);
    while (!value.isEmpty()) {
        const QChar last = value.at(value.size() - 1);
        if (last != QLatin1Char(',') && last != QLatin1Char('}') && last != QLatin1Char(']') &&
            !last.isSpace())
            break;
        value.chop(1);
    }
    return value.trimmed();
}

template <std::size_t N>
void takeOddParts(const QStringList& parts, std::array<QString, N>& values) {
    for (std::size_t i = 0; i < N; ++i)
        values[i] = decodeStringEscapes(parts.at(static_cast<int>(2 * i + 1)));
}

// The rows of an array of objects, read from the text after the array's
// opening bracket: each item's values, in order. An item with fewer key-value pairs than the
// row has values is dropped.
template <class Row> QVector<Row> objectRows(QString array) {
    dropArrayClose(array);
    QVector<Row> rows;
    const QStringList items = array.split(QStringLiteral("},{"));
    for (const QString& item : items) {
        const QStringList parts = flatPairs(item);
        Row row;
        if (parts.size() < static_cast<int>(2 * row.values.size()))
            continue;
        takeOddParts(parts, row.values);
        rows.append(row);
    }
    return rows;
}

} // namespace

QString captureQuotedValue(const QString& text, const QString& pattern) {
    const QStringList matches = captureMatches(text, pattern, 1);
    if (matches.isEmpty())
        return QString();
    QString match = matches.first();
    match.chop(1);
    return decodeStringEscapes(match.mid(match.lastIndexOf(QLatin1Char('"')) + 1));
}

QStringList captureQuotedValues(const QString& text, const QString& pattern) {
    QStringList values;
    const QStringList matches = captureMatches(text, pattern);
    for (const QString& match : matches) {
        const int last = match.lastIndexOf(QLatin1Char('"'));
        const QString head = last < 0 ? match : match.left(last);
        values.append(decodeStringEscapes(head.mid(head.lastIndexOf(QLatin1Char('"')) + 1)));
    }
    return values;
}

QString CompanyInfo::url(const QString& code) {
    static const QString kTemplate =
        QStringLiteral("http://%1/stock/corp/cwbb/search?symbol=%2&type=sum&jianjie=1"
                       "&_appName=android&_net=WIFI&__random_suffix=%3");
    // The service's own app sends the suffix as a double in "g" form, so
    // large numbers go out in exponent form.
    return kTemplate.arg(QLatin1String(kCompanyInfoHost), withMarketPrefix(code),
                         QString::number(static_cast<double>(randomQueryNumber()), 'g', 6));
}

bool CompanyInfo::parse(const QString& code, const QString& text, const QString& directory) {
    if (!code.isEmpty() && !directory.isEmpty())
        writeTextFile(directory + code, text);

    gsmz = captureQuotedValue(text, QStringLiteral("\"gsmz\":\"(.*)\""));
    if (gsmz.isEmpty())
        return false;
    riqi = captureQuotedValue(text, QStringLiteral("\"riqi\":\"(.*)\""));
    jg = captureQuotedValue(text, QStringLiteral("\"jg\":\"(.*)\""));
    fxs = captureQuotedValue(text, QStringLiteral("\"fxs\":\"(.*)\""));
    yw = captureQuotedValue(text, QStringLiteral("\"yw\":\"(.*)\""));
    dy = captureQuotedValue(text, QStringLiteral("\"dy\":\"(.*)\""));
    hy = captureQuotedValue(text, QStringLiteral("\"hy\":\"(.*)\""));

    const QStringList concept = captureMatches(text, QStringLiteral("\"concept\":(.*)\"yysr"), 1);
    if (concept.isEmpty())
        return false;
    const QString& conceptPart = concept.first();
    m_conceptNames = captureQuotedValues(conceptPart, QStringLiteral("\"name\":\"(.*)\""));

    readRevenue(text);
    readDividends(text);
    readReports(text);
    readShareholders(text);

    // The share figures stand between the concepts and the revenue.
    ZGB = shareFigure(captureQuotedValue(conceptPart, QStringLiteral("\"ZGB\":(.*)\"")));
    LTGB = shareFigure(captureQuotedValue(conceptPart, QStringLiteral("\"LTGB\":(.*)\"")));
    GDRS = shareFigure(captureQuotedValue(conceptPart, QStringLiteral("\"GDRS\":(.*)\"")));
    SQ_GDRS = shareFigure(captureQuotedValue(conceptPart, QStringLiteral("\"SQ_GDRS\":(.*)\"")));
    RJCG = shareFigure(captureQuotedValue(conceptPart, QStringLiteral("\"RJCG\":(.*)\"")));
    return true;
}

void CompanyInfo::readRevenue(const QString& text) {
    const QStringList matches = captureMatches(text, QStringLiteral("\"yysr\"(.*)\\]"), 1);
    if (matches.isEmpty())
        return;
    // After "yysr":[{
    yysr += objectRows<RevenueItem>(matches.first().mid(9));
}

bool CompanyInfo::readDividends(const QString& text) {
    const QStringList matches = captureMatches(text, QStringLiteral("\"fenhong\"(.*)\\]"), 1);
    if (matches.isEmpty())
        return false;
    const QString& match = matches.first();
    const QVector<DividendItem> rows =
        objectRows<DividendItem>(match.mid(match.indexOf(QLatin1Char('[')) + 1));
    for (DividendItem row : rows) {
        // A date with a time of day keeps only the date (the time's colons
        // have split it already).
        QString& date = row.values[5];
        if (date.size() > 10)
            date.truncate(10);
        fenhong.append(row);
    }
    return true;
}

void CompanyInfo::readReports(const QString& text) {
    const QStringList matches =
        captureMatches(text, QStringLiteral("\"cwbb\":(.*)\\]\\]\\]\\]"), 1);
    if (matches.isEmpty())
        return;
    // After "cwbb":[[[[
    QString array = matches.first().mid(11);
    array.remove(QLatin1Char('"'));
    const QStringList items = array.split(QStringLiteral("]],[["));
    for (const QString& item : items) {
        const QStringList parts = item.split(QLatin1Char(','));
        if (parts.size() < 4)
            continue;
        ReportItem row;
        row.values[0] = decodeStringEscapes(parts.at(0));
        if (row.values[0].startsWith(QLatin1Char('[')))
            row.values[0].remove(0, 1);
        row.values[1] = decodeStringEscapes(parts.at(2));
        cwbb.append(row);
    }
}

void CompanyInfo::readShareholders(const QString& text) {
    const QStringList matches = captureMatches(text, QStringLiteral("\"gudong\"(.*)\\}\\]"), 1);
    if (matches.isEmpty())
        return;
    // After "gudong":[{ and before the closing }]
    QString array = matches.first().mid(11);
    array.remove(QLatin1Char('"'));
    array.chop(2);
    array.replace(QLatin1Char(':'), QLatin1Char(','));
    const QStringList items = array.split(QStringLiteral("},{"));
    for (const QString& item : items) {
        const QStringList parts = item.split(QLatin1Char(','));
        if (parts.size() < 20)
            continue;
        ShareholderItem row;
        takeOddParts(parts, row.values);
        gudong.append(row);
    }
}
