#include "app/views/bidstocklistview.h"

#include "app/views/ordertablewidgetitem.h"
#include "app/views/sortingpause.h"
#include "core/utils.h"

#include <QBrush>

BidStockListView::BidStockListView(QWidget* parent)
    : StockListView(parent)
{
    setColumnCount(19);
    setHorizontalHeaderLabels({"代码", "名称", "得分", "价格", "买卖比", "涨幅", "买1", "买2", "买3",
                               "买4", "买5", "卖1", "卖2", "卖3", "卖4", "卖5", "行业", "地域",
                               "市值"});
    sortByDefaultColumn();
}

void BidStockListView::addStockRow(const Stock& stock)
{
    QStringList texts;
    texts << stock.code << stock.name << QString::number(stock.score) << gText(stock.close)
          << gText(stock.bidAskRatio) << fixed2(stock.changePercent);
    for (int volume : stock.bidVolumes)
        texts << fixed2(float(volume));
    for (int volume : stock.askVolumes)
        texts << fixed2(float(volume));
    texts << stock.industry << stock.area
          << figureText(double(stock.floatShares) * double(stock.close) / 10000.0, 'f', 2);

    const QBrush foreground(stock.changePercent >= 0.0f ? Qt::red : Qt::green, Qt::SolidPattern);
    SortingPause pause(this);
    const int row = rowCount();
    insertRow(row);
    for (int column = 0; column < texts.size(); ++column) {
        auto* item = new OrderTableWidgetItem(texts.at(column));
        item->setForeground(foreground);
        const bool centred = column <= 12 || column == 14;
        setCell(row, column, item, centred ? kCentred : Qt::Alignment());
    }
}
