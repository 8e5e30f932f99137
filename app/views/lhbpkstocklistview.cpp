#include "app/views/lhbpkstocklistview.h"

#include "app/views/ordertablewidgetitem.h"
#include "app/views/sortingpause.h"

LHBPKStockListView::LHBPKStockListView(QWidget* parent)
    : StockListView(parent)
{
    setColumnCount(6);
    const int widths[] = {64, 64, 64, 320, 240, 100};
    for (int i = 0; i < 6; ++i)
        setColumnWidth(i, widths[i]);
    setHorizontalHeaderLabels({"代码", "名称", "涨幅", "类型", "点评", "日期"});
    sortByDefaultColumn();
}

void LHBPKStockListView::addStockRow(const Stock& stock)
{
    SortingPause pause(this);
    const int row = rowCount();
    insertRow(row);
    setCell(row, 0, new OrderTableWidgetItem(stock.code), kCentred);
    setCell(row, 1, new QTableWidgetItem(stock.name), kCentred);
    setCell(row, 2, new OrderTableWidgetItem(gText(stock.changePercent)));
    setCell(row, 3, new QTableWidgetItem(stock.typeText));
    setCell(row, 4, new QTableWidgetItem(stock.jd));
    setCell(row, 5, new QTableWidgetItem(stock.date), kCentred);
}
