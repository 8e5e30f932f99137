#include "chart/indexholder.h"

#include <QtGlobal>

IndexHolder::IndexHolder(QObject* parent, int count)
    : QObject(parent)
    , count(qMax(0, count))
{
}

IndexHolder::~IndexHolder() = default;

void IndexHolder::setVisible(bool on)
{
    visible = on;
}

void IndexHolder::setData(const QVector<Stock>&) {}

bool IndexHolder::isVisible() const
{
    return visible;
}

void IndexHolder::setCount(int newCount)
{
    count = qMax(0, newCount);
}

int IndexHolder::windowStart(int size) const
{
    return qMax(size - count, 0);
}
