#pragma once

#include "core/lhbunit.h"
#include "core/stock.h"

#include <QApplication>
#include <QMap>
#include <QMutex>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

#include <string>

class QSettings;
struct HttpGetStatus;

using DaySeats = QMap<QString, QVector<LHBUnit>>;

// A K-line history to fetch for the cache (StockApplication::klineRequest).
struct KLineRequest {
    QString code;
    QString period;
    QString adjust;
    QString url;               // "" when none can be built
    qint64 maxReplyBytes = 0;  // the bound on its reply
    quint64 cacheGeneration = 0; // the caches as they were when it was asked for
};

// The process's application object and the one home of the scan's caches.
// The scan's worker thread writes the caches while the GUI thread reads
// them, so every cache operation takes m_mutex; readers get copies.
class StockApplication final : public QApplication {
    Q_OBJECT
public:
    StockApplication(int& argc, char** argv);
    ~StockApplication() override;

    static StockApplication* instance();

    QStringList nonTradeDays() const;
    void setNonTradeDays(const QStringList& days);

    void setDayStocks(const QString& date, const QVector<Stock>& stocks);
    void setLhbSeats(const QString& date, const QString& code, const QVector<LHBUnit>& units);
    void setSeatPageUrl(const QString& seatName, const QString& link);
    void setRecommendation(const QString& code, const QString& text);

    QMap<QString, QVector<Stock>> dayStocks() const;
    QMap<QString, DaySeats> lhbSeats() const;
    QMap<QString, QString> stockNames() const;
    QMap<QString, QString> seatPageUrls() const;
    QMap<QString, QString> recommendations() const;

    void clearCaches();
    QVector<QPair<QString, QString>> detailPairs() const;
    // A stock's K-line history of one period ("day", "week", "month") and
    // price adjustment ("bfq", "qfq", "hfq"), cached per all three; the
    // one-argument form asks for daily back-adjusted bars. A failed fetch
    // (fetched false) gives no bars and is not cached, so the next call
    // asks again; a whole reply without bars is an answer and is cached.
    // fetch, when given, tells how the fetch ended; its failure says why
    // the bars could not be had (None when they came, from the cache too).
    QVector<Stock> getKLines(const QString& code, bool* fetched = nullptr);
    QVector<Stock> getKLines(const QString& code, const QString& period, const QString& adjust,
                             bool* fetched = nullptr, HttpGetStatus* fetch = nullptr);
    // getKLines() in its three steps, for a caller that fetches without
    // waiting: the cached bars (true when there; the entry counts as used
    // now); the request for bars not cached; and the bars read from its
    // reply, stored unless a new scan has cleared the caches since the
    // request, or none with fetch->failure saying why (fetch->ok false).
    bool cachedKLines(const QString& code, const QString& period, const QString& adjust,
                      QVector<Stock>* bars);
    KLineRequest klineRequest(const QString& code, const QString& period,
                              const QString& adjust) const;
    QVector<Stock> storeKLines(const KLineRequest& request, const QString& reply,
                               HttpGetStatus* fetch);

    // Whether a first run has ended normally (the per-user marker "init").
    bool isInitialized() const;
    // The per-user settings file that holds the marker.
    QString userSettingsFile() const;

    // What went wrong with config.ini at start-up, as a message for the user:
    // it could not be read (the run then uses the default days and leaves
    // the file alone, at exit too) or not be written. Empty when all went well.
    QString configProblem() const { return m_configProblem; }
    // Whether config.ini, written at exit with these days, stays within the
    // size a start reads (IniFile::kMaxFileBytes). The exit never writes a
    // larger one; a file that is not written (unreadable) holds any days.
    bool configHolds(const QStringList& days) const;

    static constexpr const char* kConfigFile = "config.ini";
    static constexpr const char* kDefaultNonTradeDays = "2017-10-01,2017-10-02";
    static constexpr const char* kDefaultKLinePeriod = "day";
    static constexpr const char* kDefaultKLineAdjust = "hfq";
    // The K-line cache keeps the histories of this many stock, period and
    // adjustment choices, dropping the one used longest ago.
    static constexpr int kKLineCacheEntries = 32;

private:
    QStringList m_nonTradeDays;
    QMap<QString, QVector<Stock>> m_dayStocks;
    QMap<QString, DaySeats> m_lhbSeats;
    QMap<QString, QVector<Stock>> m_klineCache; // by code, period and adjustment
    QStringList m_klineUse;                     // its keys, the latest used last
    QMap<QString, QString> m_stockNames;
    QMap<QString, QString> m_seatPageUrls;
    QMap<QString, QString> m_recommendations;
    QSettings* m_userSettings;
    // Counts clearCaches calls, so that a fetch which began before a new
    // scan cleared the caches does not store its bars into the new scan.
    quint64 m_cacheGeneration = 0;
    bool m_configReadable = true;
    QString m_configProblem;
    mutable QMutex m_mutex;
};

// Why a file could not be written, in the user's words, from the system's
// text of the error (strerror's).
QString writeFailureReason(const std::string& error);
