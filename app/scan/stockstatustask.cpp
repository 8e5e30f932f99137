#include "app/scan/stockstatustask.h"

#include "app/scan/stockevent.h"
#include "app/shell/crashhandler.h"
#include "core/cancelflag.h"
#include "core/utils.h"

#include <QCoreApplication>

StockStatusTask::StockStatusTask(QObject* receiver, int eventType, const CancelFlag* stop)
    : m_receiver(receiver), m_eventType(eventType), m_stop(stop) {}

StockStatusTask::~StockStatusTask() = default;

void StockStatusTask::run() {
    installThreadAltStack();
    if (m_stop && m_stop->isCancelled())
        return;
    QCoreApplication::postEvent(m_receiver, new StockEvent(m_eventType, 100));
    delayMs(kPauseMs, m_stop);
}
