#include "app/views/stocklistviewfactory.h"

#include "app/views/basicstocklistview.h"
#include "app/views/bidstocklistview.h"
#include "app/views/lhbpkstocklistview.h"
#include "app/views/lhbstocklistview.h"
#include "app/views/ochlbasicstocklistview.h"
#include "app/views/stocklistviewstrategy.h"

StockListView* createStockListView(int type, QWidget* parent)
{
    switch (type) {
    case 0:
        return new BidStockListView(parent);
    case 1:
        return new LHBStockListView(parent);
    case 2:
        return new LHBPKStockListView(parent);
    case 3:
        return new OCHLBasicStockListView(parent);
    case 4:
        return new BasicStockListView(parent);
    case 6:
        return new StockListViewStrategy(parent);
    default:
        return nullptr;
    }
}
