#include "app/views/ordertablewidgetitem.h"

OrderTableWidgetItem::OrderTableWidgetItem(const QString& text)
    : QTableWidgetItem(text)
{
}

OrderTableWidgetItem::~OrderTableWidgetItem() = default;

bool OrderTableWidgetItem::operator<(const QTableWidgetItem& other) const
{
    return text().toFloat() < other.text().toFloat();
}
