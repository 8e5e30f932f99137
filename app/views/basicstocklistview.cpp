#include "app/views/basicstocklistview.h"

#include "app/views/ordertablewidgetitem.h"
#include "app/views/sortingpause.h"

namespace {

// 20170103 -> 2017-01-03. Any other form is shown as it stands: inserting
// at fixed positions would pad a short or empty date with blanks.
QString formatListingDate(const QString& digits)
{
    if (digits.size() != 8)
        return digits;
    QString text = digits;
    text.insert(6, '-');
    text.insert(4, '-');
    return text;
}

} // namespace

BasicStockListView::BasicStockListView(QWidget* parent)
    : StockListView(parent)
{
    setColumnCount(7);
    setHorizontalHeaderLabels({"代码", "名称", "行业", "地域", "股本", "流通股本", "上市日期"});
    sortByDefaultColumn();
}

void BasicStockListView::addStockRow(const Stock& stock)
{
    SortingPause pause(this);
    const int row = rowCount();
    insertRow(row);
    setCell(row, 0, new OrderTableWidgetItem(stock.code), kCentred);
    setCell(row, 1, new QTableWidgetItem(stock.name), kCentred);
    setCell(row, 2, new QTableWidgetItem(stock.industry), kCentred);
    setCell(row, 3, new QTableWidgetItem(stock.area), kCentred);
    setCell(row, 4, new OrderTableWidgetItem(QString::number(stock.totalShares)), kCentred);
    setCell(row, 5, new OrderTableWidgetItem(QString::number(stock.floatShares)), kCentred);
    setCell(row, 6, new QTableWidgetItem(formatListingDate(stock.listingDate)), kCentred);
}
