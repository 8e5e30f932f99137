#include "app/views/stocklistviewstrategy.h"

#include "app/views/ordertablewidgetitem.h"
#include "app/views/sortingpause.h"
#include "app/views/strategytrade.h"

#include <QSet>

StockListViewStrategy::StockListViewStrategy(QWidget* parent)
    : StockListView(parent)
{
    setColumnCount(10);
    setColumnWidth(0, 36);
    for (int i = 1; i < 10; ++i)
        setColumnWidth(i, 72);
    setHorizontalHeaderLabels({"序号", "代码", "名称", "买入日期", "买入价位", "卖出日期",
                               "卖出价位", "持股天数", "涨幅", "策略"});
    sortByDefaultColumn();
}

StockListViewStrategy::~StockListViewStrategy()
{
    // Stocks of different codes may share one trade record; delete each once.
    QSet<StrategyTrade*> trades;
    for (const Stock& stock : qAsConst(m_stocks))
        if (stock.strategyTrade)
            trades.insert(stock.strategyTrade);
    qDeleteAll(trades);
}

void StockListViewStrategy::onRowClicked(int row, int)
{
    const QTableWidgetItem* codeItem = item(row, 1);
    if (!codeItem)
        return;
    const QTableWidgetItem* buyItem = item(row, 3);
    const QTableWidgetItem* sellItem = item(row, 5);
    emit senderTrade(codeItem->text(), buyItem ? buyItem->text() : QString(),
                     sellItem ? sellItem->text() : QString());
}

void StockListViewStrategy::addStockRow(const Stock& stock)
{
    const StrategyTrade* trade = stock.strategyTrade;
    if (!trade)
        return;
    SortingPause pause(this);
    const int row = rowCount();
    insertRow(row);
    setCell(row, 0, new OrderTableWidgetItem(QString::number(row + 1)));
    setCell(row, 1, new QTableWidgetItem(stock.code));
    setCell(row, 2, new QTableWidgetItem(stock.name));
    setCell(row, 3, new QTableWidgetItem(trade->buyDate));
    setCell(row, 4, new OrderTableWidgetItem(gText(trade->buyPrice)));
    setCell(row, 5, new QTableWidgetItem(trade->sellDate));
    setCell(row, 6, new OrderTableWidgetItem(gText(trade->sellPrice)));
    setCell(row, 7, new OrderTableWidgetItem(QString::number(trade->holdDays)));
    // "?" is a numeric cell too (it sorts as 0): a text cell among numeric
    // ones would compare one way against them and the other way round.
    setCell(row, 8, new OrderTableWidgetItem(trade->holdDays == 0 ? QStringLiteral("?")
                                                                    : gText(trade->gainPercent)));
    setCell(row, 9, new QTableWidgetItem(trade->strategy));
}
