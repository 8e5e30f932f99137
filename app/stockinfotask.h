#pragma once

#include <QPair>
#include <QRunnable>
#include <QString>
#include <QVector>

class QObject;

// Fetches and stores the seats of every list entry of the scanned days. The
// work list is taken from the day-list cache when the task is constructed,
// on the GUI thread, after the list task has stored every day.
class StockInfoTask final : public QRunnable {
public:
    StockInfoTask(QObject* receiver, int eventType);
    ~StockInfoTask() override;

    void run() override;

    const QVector<QPair<QString, QString>>& workList() const { return m_pairs; }

    // The pause after each list entry, so the service is not hammered.
    static constexpr int kPauseMs = 720;

private:
    QObject* m_receiver;
    int m_eventType;
    QVector<QPair<QString, QString>> m_pairs; // (date, code)
};
