#include "app/views/lhbstocklistview.h"

#include "app/views/ordertablewidgetitem.h"
#include "app/views/sortingpause.h"

LHBStockListView::LHBStockListView(QWidget* parent)
    : StockListView(parent)
{
    setColumnCount(7);
    const int widths[] = {64, 72, 64, 100, 100, 270, 72};
    for (int i = 0; i < 7; ++i)
        setColumnWidth(i, widths[i]);
    setHorizontalHeaderLabels({"代码", "名称", "价格", "成交量(万手)", "成交额", "类型", "日期"});
    sortByDefaultColumn();
}

void LHBStockListView::addStockRow(const Stock& stock)
{
    SortingPause pause(this);
    const int row = rowCount();
    insertRow(row);
    setCell(row, 0, new OrderTableWidgetItem(stock.code), kCentred);
    setCell(row, 1, new QTableWidgetItem(stock.name), kCentred);
    setCell(row, 2, new OrderTableWidgetItem(gText(stock.close)), kCentred);
    setCell(row, 3, new OrderTableWidgetItem(gText(stock.volume)), kCentred);
    setCell(row, 4, new OrderTableWidgetItem(gText(stock.amount)), kCentred);
    setCell(row, 5, new QTableWidgetItem(stock.typeText));
    setCell(row, 6, new QTableWidgetItem(stock.date), kCentred);
}
