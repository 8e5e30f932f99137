#pragma once

#include <QRunnable>

class CancelFlag;
class QObject;

// Posts one event and pauses. The pool has one thread, so its event tells
// the scan widget that the task started before it has finished.
// A raised stop flag keeps it from posting and cuts its pause short.
class StockStatusTask final : public QRunnable {
public:
    StockStatusTask(QObject* receiver, int eventType, const CancelFlag* stop = nullptr);
    ~StockStatusTask() override;

    void run() override;

    static constexpr int kPauseMs = 1200;

private:
    QObject* m_receiver;
    int m_eventType;
    const CancelFlag* m_stop;
};
