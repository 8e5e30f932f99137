#include "analysis/screens/lhbthreadpool.h"

#include <QThreadPool>

QThreadPool* createSingleThreadPool(QObject* parent) {
    auto* pool = new QThreadPool(parent);
    pool->setMaxThreadCount(1);
    return pool;
}
