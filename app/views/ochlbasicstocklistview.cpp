#include "app/views/ochlbasicstocklistview.h"

#include "app/views/ordertablewidgetitem.h"
#include "app/views/sortingpause.h"

OCHLBasicStockListView::OCHLBasicStockListView(QWidget* parent)
    : StockListView(parent)
{
    setColumnCount(10);
    setHorizontalHeaderLabels(
        {"代码", "名称", "涨幅", "现价", "昨收", "今开", "最高", "最低", "成交量", "行业"});
    sortByDefaultColumn();
}

void OCHLBasicStockListView::addStockRow(const Stock& stock)
{
    SortingPause pause(this);
    const int row = rowCount();
    insertRow(row);
    setCell(row, 0, new OrderTableWidgetItem(stock.code), kCentred);
    setCell(row, 1, new QTableWidgetItem(stock.name), kCentred);
    const float numbers[] = {stock.changePercent, stock.close, stock.preClose, stock.open,
                             stock.high,          stock.low,   stock.volume};
    int column = 2;
    for (float value : numbers)
        setCell(row, column++, new OrderTableWidgetItem(gText(value)), kCentred);
    setCell(row, 9, new QTableWidgetItem(stock.industry), kCentred);
}
