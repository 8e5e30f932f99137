#pragma once

#include "core/fetchfailure.h"
#include "core/stock.h"

#include <QMap>
#include <QRunnable>
#include <QStringList>
#include <QVector>

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

    // Fetches (every page), converts and stores the list of one day, then
    // paces the service; false when the list could not be fetched whole.
    // Rows whose code is not six digits are left out.
    bool fetchDayList(int index, const QString& date, int progress);

    // One row of the day list as a Stock record ("SCode", "Chgradio", ...).
    static Stock stockFromRow(const QMap<QString, QString>& row);
    // Whether a code is six digits, as every listed stock's is.
    static bool isStockCode(const QString& code);

    // The pause after each day's list and between its pages, so the service
    // is not hammered.
    static constexpr int kPauseMs = 2400;
    // Far above any day's list (200 rows a page): a reply that claims more
    // pages is no list.
    static constexpr int kMaxPages = 50;

private:
    bool stopped() const;
    // Every page of a day's list, in order; false when one is missing.
    // Every page of the day's list; on failure says why through failure and
    // httpStatus.
    bool fetchRows(const QString& date, QVector<QMap<QString, QString>>& rows,
                   FetchFailure& failure, int& httpStatus);

    QObject* m_receiver;
    int m_eventType;
    QStringList m_dates;
    const CancelFlag* m_stop;
    std::shared_ptr<ScanFailures> m_failures;
};
