#pragma once

#include <QPair>
#include <QRunnable>
#include <QString>
#include <QVector>

#include <memory>

class CancelFlag;
class QObject;
class ScanFailures;

// Fetches and stores the seats of every list entry of the scanned days. The
// work list is taken from the day-list cache when the task is constructed,
// on the GUI thread, after the list task has stored every day. A raised stop
// flag ends it at its next request or pause; pages that cannot be fetched
// are recorded in failures.
class StockInfoTask final : public QRunnable {
public:
    StockInfoTask(QObject* receiver, int eventType, const CancelFlag* stop = nullptr,
                  std::shared_ptr<ScanFailures> failures = {});
    ~StockInfoTask() override;

    void run() override;

    const QVector<QPair<QString, QString>>& workList() const { return m_pairs; }

    // The pause after each list entry, so the service is not hammered.
    static constexpr int kPauseMs = 720;

private:
    bool stopped() const;

    QObject* m_receiver;
    int m_eventType;
    const CancelFlag* m_stop;
    std::shared_ptr<ScanFailures> m_failures;
    QVector<QPair<QString, QString>> m_pairs; // (date, code)
};
