#pragma once

#include "core/fetchfailure.h"
#include "core/stock.h"

#include <QMap>
#include <QRunnable>
#include <QSet>
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
    // Appends the records of one page of a day's list to stocks: each row
    // once (seen keeps day, code and listing reason of the rows read), none
    // without a real code (counted in badCodes), without a "yyyy-MM-dd" day,
    // nor of a margin-trading run.
    // False, taking nothing, for a page with more rows than were asked for.
    static bool readPage(const QString& text, QSet<QString>& seen, QVector<Stock>& stocks,
                         int& badCodes);

    // The pause after each day's list and between its pages, so the service
    // is not hammered.
    static constexpr int kPauseMs = 2400;

private:
    bool stopped() const;
    // Every page of the day's list as records, each row once; on failure
    // says why through failure and httpStatus.
    bool fetchStocks(const QString& date, QVector<Stock>& stocks, int& badCodes,
                     FetchFailure& failure, int& httpStatus);

    QObject* m_receiver;
    int m_eventType;
    QStringList m_dates;
    const CancelFlag* m_stop;
    std::shared_ptr<ScanFailures> m_failures;
};
