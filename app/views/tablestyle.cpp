#include "app/views/tablestyle.h"

#include "app/views/linedelegate.h"

#include <QHeaderView>
#include <QTableWidget>

void applyTableStyle(QTableWidget* table)
{
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setVisible(true);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setAlternatingRowColors(true);
    table->setShowGrid(false);
    table->setItemDelegate(new LineDelegate(table));
    table->setSortingEnabled(true);
}
