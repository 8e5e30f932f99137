#include "core/providers/sinaachievementinterface.h"

#include "core/providers/markersearch.h"
#include "core/providers/servicehosts.h"

namespace {

const QString kResultsUrl =
    QStringLiteral("http://%1/q/go.php/vFinanceAnalyze/kbind/preformance/"
                   "index.phtml?s_i=&s_a=&s_c=&reportdate=%2&quarter=%3&p=%4&page=30");

constexpr int kPageCount = 20;
constexpr int kCellCount = 12;

// A value cell "<td>value</td>": the text between the tags. A cell too
// short to hold both tags has no value.
QString plainCellValue(const QString& cell) {
    if (cell.size() < 9)
        return QString();
    return cell.mid(4, cell.size() - 9);
}

// The code cell ends with the code followed by 16 characters of closing
// tags. A cell too short to hold them has no code.
QString codeCellValue(const QString& cell) {
    if (cell.size() < 22)
        return QString();
    return cell.mid(cell.size() - 22, 6);
}

// The name cell holds the name as the text of its innermost tag, right
// before the closing tags: <td><span><a ...>NAME</a></span></td>. Names of
// any length are read whole; a cell without an opening tag's end has none.
QString nameCellValue(const QString& cell) {
    const int closing = cell.indexOf(QLatin1String("</"));
    const QString head = closing < 0 ? cell : cell.left(closing);
    const int gt = head.lastIndexOf(QLatin1Char('>'));
    return gt < 0 ? QString() : head.mid(gt + 1);
}

} // namespace

QStringList SinaAchievementInterface::urls(const QStringList& params) {
    // value(): a caller that passes fewer than the two parameters gets the
    // pages with empty values rather than a read past the list.
    const QString reportDate = params.value(0);
    const QString quarter = params.value(1);
    QStringList result;
    for (int page = 1; page <= kPageCount; ++page)
        result.append(kResultsUrl.arg(QLatin1String(kSinaFinanceHost), reportDate, quarter,
                                      QString::number(page)));
    return result;
}

StringMapRows SinaAchievementInterface::parse(const QString& text, const QString&) {
    // The minimal, case-insensitive patterns "<open>(.*)<close>", found with
    // plain substring searches so that a broken page costs linear time.
    StringMapRows rows;
    const QStringList bodies = captureBetween(text, QLatin1String("</thead>"),
                                              QLatin1String("<div class=\"clear\"></div>"), 1);
    if (bodies.isEmpty())
        return rows;
    const QStringList companyRows = captureBetween(
        bodies.first(), QLatin1String("<td style=\"width"), QLatin1String("</a></td>"));
    for (const QString& companyRow : companyRows) {
        const QStringList cells = captureBetween(companyRow, QLatin1String("<td"),
                                                 QLatin1String("</td>"), kCellCount + 1);
        if (cells.size() != kCellCount)
            continue;
        QMap<QString, QString> row;
        row.insert(QStringLiteral("code"), codeCellValue(cells.at(0)));
        row.insert(QStringLiteral("name"), nameCellValue(cells.at(1)));
        row.insert(QStringLiteral("eps"), plainCellValue(cells.at(2)));
        row.insert(QStringLiteral("eps_r"), plainCellValue(cells.at(3)));
        row.insert(QStringLiteral("navps"), plainCellValue(cells.at(4)));
        row.insert(QStringLiteral("roe"), plainCellValue(cells.at(5)));
        row.insert(QStringLiteral("cps"), plainCellValue(cells.at(6)));
        row.insert(QStringLiteral("netprofit"), plainCellValue(cells.at(7)));
        row.insert(QStringLiteral("netprofit_percent"), plainCellValue(cells.at(8)));
        row.insert(QStringLiteral("date"), plainCellValue(cells.at(10)));
        rows.append(row);
    }
    return rows;
}
