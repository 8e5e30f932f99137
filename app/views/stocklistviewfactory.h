#pragma once

#include "app/views/stocklistview.h"

// Builds a view by kind: 0 bid, 1 list, 2 list for the scan, 3 OCHL quotes,
// 4 basic data, 6 strategy trades; null for any other kind.
StockListView* createStockListView(int type, QWidget* parent = nullptr);
