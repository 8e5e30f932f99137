#include "core/providers/eastmoneylhbdatainterface.h"

#include "core/providers/markersearch.h"
#include "core/providers/servicehosts.h"
#include "core/utils.h"

#include <cmath>
#include <limits>

namespace {

// A figure of the page as a number; NaN, which the views show as "-" and no
// screen ever matches, for one that is no finite number ("-" included).
float pageNumber(const QString& text) {
    const float value = readFloatFigure(text);
    return std::isfinite(value) ? value : std::numeric_limits<float>::quiet_NaN();
}

// Amounts bought or sold are never below zero: a negative one is no amount.
float sideAmount(const QString& text) {
    const float value = pageNumber(text);
    return value < 0.0f ? std::numeric_limits<float>::quiet_NaN() : value;
}

} // namespace

// Every search below is the minimal, case-insensitive pattern
// "<open>(.*)<close>", found with captureBetween so that a large or broken
// page costs time in proportion to its size.

QStringList EastmoneyLHBDataInterface::urls(const QStringList& params) {
    QStringList result;
    for (const QString& param : params) {
        const QStringList parts = param.split(QLatin1Char(','));
        const QString code = parts.value(0).trimmed();
        // A parameter without its day still gets its URL, so that URLs and
        // parameters keep pairing by position; the service answers it with
        // a page that holds no seats.
        // A day that is no "yyyy-MM-dd" day is left out rather than let a
        // reply's text choose the path.
        QString day = parts.value(1).trimmed();
        if (!isDayText(day))
            day.clear();
        result.append(QStringLiteral("http://%1/stock/lhb,%2,%3.html")
                          .arg(QLatin1String(kEastmoneyDataHost), day, code));
    }
    return result;
}

QVector<LHBUnit> EastmoneyLHBDataInterface::parse(const QString& text, const QString&) {
    QVector<LHBUnit> units;
    const QStringList content =
        captureBetween(text, QLatin1String("class=\"content-sepe\">"), QLatin1String("</html>"), 1);
    if (content.isEmpty())
        return units;

    // The first table lists the buying seats, the second the selling seats.
    const QStringList tables =
        captureBetween(content.first(), QLatin1String("<tbody>"), QLatin1String("</tbody>"), 2);
    for (int i = 0; i < tables.size(); ++i)
        units += parseRows(tables.at(i), i == 0);

    bool ok = false;
    const LHBUnit total = parseSeatTotalRow(text, ok);
    if (ok)
        units.append(total);
    return units;
}

QVector<LHBUnit> EastmoneyLHBDataInterface::parseRows(const QString& table, bool buying) const {
    QVector<LHBUnit> units;
    const QStringList rows = captureBetween(table, QLatin1String("<tr>"), QLatin1String("</tr>"));
    for (const QString& row : rows) {
        bool ok = false;
        LHBUnit unit = parseSeatRow(row, ok);
        if (!ok)
            continue;
        unit.side = buying ? 1 : 2;
        units.append(unit);
    }
    return units;
}

LHBUnit parseSeatRow(const QString& row, bool& ok) {
    ok = false;
    LHBUnit unit;

    const QStringList links =
        captureBetween(row, QLatin1String("/lhb/yyb/"), QLatin1String("</a></a>"), 1);
    if (links.isEmpty())
        return unit;
    const QString& link = links.first();
    unit.url = QStringLiteral("http://%1/stock").arg(QLatin1String(kEastmoneyDataHost)) +
               link.left(link.indexOf(QLatin1Char('"')));
    // The link's text as a browser shows it, markup and all: names are
    // compared across days and used as keys, so neither tags nor the line
    // breaks of a cell written over several lines may become part of them.
    // A link without text names no seat.
    unit.name = cutTagText(link);
    if (unit.name.isEmpty())
        return unit;

    const QStringList times =
        captureBetween(row, QLatin1String("=\"times\">"), QLatin1String("</span>"), 1);
    if (times.isEmpty())
        return unit;
    unit.times = cutTagText(times.first());

    const QStringList percents =
        captureBetween(row, QLatin1String("<span class=\"percent\""), QLatin1String("</span"), 1);
    if (percents.isEmpty())
        return unit;
    QString rate = cutTagText(percents.first());
    if (rate.endsWith(QLatin1Char('%')))
        rate.remove(QLatin1Char('%'));
    // "-" marks a seat without a success rate, which counts as 0.
    unit.rate = rate == QLatin1String("-") ? 0.0f : pageNumber(rate);

    // Eight at most: enough to tell a row of seven cells from a longer one.
    const QStringList cells = captureBetween(row, QLatin1String("<td"), QLatin1String("</td>"), 8);
    if (cells.size() != 7)
        return unit;
    unit.buyAmount = sideAmount(cutTagText(cells.at(2)));
    unit.buyShare = cutShareText(cells.at(3));
    unit.sellAmount = sideAmount(cutTagText(cells.at(4)));
    unit.sellShare = cutShareText(cells.at(5));
    unit.netAmount = pageNumber(cutTagText(cells.at(6)));

    ok = true;
    return unit;
}

LHBUnit parseSeatTotalRow(const QString& page, bool& ok) {
    ok = false;
    LHBUnit unit;

    const QStringList rows =
        captureBetween(page, QLatin1String("class=\"total-tr\">"), QLatin1String("</tr>"), 2);
    if (rows.size() != 1)
        return unit;
    const QStringList spans =
        captureBetween(rows.first(), QLatin1String("span"), QLatin1String("</span>"), 7);
    if (spans.size() != 6)
        return unit;

    // The page writes "-" where it has no total: no figure, while a
    // negative net total keeps its sign.
    unit.buyAmount = sideAmount(cutTagText(spans.at(1)));
    unit.buyShare = cutShareText(spans.at(2));
    unit.sellAmount = sideAmount(cutTagText(spans.at(3)));
    unit.sellShare = cutShareText(spans.at(4));
    unit.netAmount = pageNumber(cutTagText(spans.at(5)));
    unit.side = 3;

    ok = true;
    return unit;
}
