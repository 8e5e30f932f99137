#include "app/stockstatustask.h"

#include "app/stockevent.h"
#include "core/utils.h"

#include <QCoreApplication>

StockStatusTask::StockStatusTask(QObject* receiver, int eventType)
    : m_receiver(receiver), m_eventType(eventType) {}

StockStatusTask::~StockStatusTask() = default;

void StockStatusTask::run() {
    QCoreApplication::postEvent(m_receiver, new StockEvent(m_eventType, 100));
    delayMs(kPauseMs);
}
