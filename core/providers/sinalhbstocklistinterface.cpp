#include "core/providers/sinalhbstocklistinterface.h"

#include "core/providers/markersearch.h"
#include "core/providers/servicehosts.h"
#include "core/utils.h"

namespace {

constexpr int kCellCount = 8;

// A cell's text without its closing tag.
QString cellText(const QString& cell) {
    QString text = cell;
    if (text.endsWith(QLatin1String("</td>"), Qt::CaseInsensitive))
        text.chop(5);
    return text.trimmed();
}

QString afterLastTag(const QString& text) {
    return text.mid(text.lastIndexOf(QLatin1Char('>')) + 1);
}

} // namespace

QStringList SinaLHBStockListInterface::urls(const QStringList& dates) {
    const QString page = QStringLiteral("http://%1/q/go.php/vInvestConsult/kind/lhb/index.phtml")
                             .arg(QLatin1String(kSinaFinanceHost));
    if (dates.isEmpty())
        return QStringList{page};
    QStringList result;
    for (const QString& date : dates)
        result.append(page + QStringLiteral("?tradedate=") + date);
    return result;
}

QVector<Stock> SinaLHBStockListInterface::parse(const QString& text, const QString&) {
    // The minimal, case-insensitive patterns "<open>(.*)<close>", found with
    // plain substring searches so that a broken page costs linear time.
    QVector<Stock> stocks;
    const QStringList tables = captureBetween(text, QLatin1String("<table class=\"list_table"),
                                              QLatin1String("<div class=\"pages\">"), 1);
    if (tables.isEmpty())
        return stocks;
    const QStringList rows =
        captureBetween(tables.first(), QLatin1String("<tr"), QLatin1String("</tr>"));
    for (const QString& row : rows) {
        const Stock stock = parseRow(row);
        if (stock.selected)
            stocks.append(stock);
    }
    return stocks;
}

Stock SinaLHBStockListInterface::parseRow(const QString& row) {
    Stock stock;
    stock.typeText = m_currentType;

    const int span = row.indexOf(QLatin1String("</span>"));
    if (span >= 0) {
        // A section header: the listing reason is the text of its span.
        m_currentType = afterLastTag(row.left(span)).trimmed();
        stock.typeText = m_currentType;
        return stock;
    }
    if (!row.contains(QLatin1String("_blank")))
        return stock;

    const QStringList cells =
        captureBetween(row, QLatin1String("<td"), QLatin1String("</td>"), kCellCount + 1);
    if (cells.size() != kCellCount)
        return stock;

    // The code is the six digits of the quote link's "q=" value.
    const QString codeCell = cellText(cells.at(1));
    stock.code = codeCell.mid(codeCell.indexOf(QLatin1String("q=")) + 2).left(6);

    QString nameCell = cellText(cells.at(2));
    nameCell.chop(4); // the link's "</a>"
    stock.name = afterLastTag(nameCell).trimmed();

    stock.close = readFloatFigure(afterLastTag(cellText(cells.at(3))));
    stock.volume = readFloatFigure(afterLastTag(cellText(cells.at(5))));
    stock.amount = readFloatFigure(afterLastTag(cellText(cells.at(6))));

    // The detail link's script call ends with the day: ...,'yyyy-MM-dd',this)
    const QString dateCell = cellText(cells.at(7));
    const int call = dateCell.indexOf(QLatin1String("',this"));
    stock.date = (call < 0 ? dateCell : dateCell.left(call)).right(10);

    stock.selected = true;
    return stock;
}
