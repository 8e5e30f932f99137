#pragma once

#include "core/stock.h"

#include <QMap>
#include <QRunnable>
#include <QStringList>

#include <memory>

class CancelFlag;
class QObject;
class ScanFailures;

// Fetches and stores the dragon-tiger list of each scanned day (D, D-1, D-2),
// posting one progress event per day; runs on the scan widget's pool. A
// raised stop flag ends it at its next request or pause; a day whose list
// cannot be fetched is recorded in failures.
class StockListTask final : public QRunnable {
public:
    StockListTask(QObject* receiver, int eventType, const QStringList& dates,
                  const CancelFlag* stop = nullptr, std::shared_ptr<ScanFailures> failures = {});
    ~StockListTask() override;

    void run() override;

    // Fetches, converts and stores the list of one day, then paces the service.
    void fetchDayList(int index, const QString& date, int progress);

    // One row of the day list as a Stock record ("SCode", "Chgradio", ...).
    static Stock stockFromRow(const QMap<QString, QString>& row);

    // The pause after each day's list, so the service is not hammered.
    static constexpr int kPauseMs = 2400;

private:
    bool stopped() const;

    QObject* m_receiver;
    int m_eventType;
    QStringList m_dates;
    const CancelFlag* m_stop;
    std::shared_ptr<ScanFailures> m_failures;
};
