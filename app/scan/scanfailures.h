#pragma once

#include "core/fetchfailure.h"

#include <QHash>
#include <QMap>
#include <QMutex>
#include <QMutexLocker>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>

#include <algorithm>

// What one scan could not fetch: written by its worker tasks, read by the
// scan widget once the writing task has ended.
class ScanFailures final {
public:
    void addDay(const QString& date, FetchFailure failure = FetchFailure::UnexpectedFormat,
                int httpStatus = 0) {
        QMutexLocker lock(&m_mutex);
        if (!m_days.contains(date))
            m_days << date;
        m_dayFailures.insert(date, qMakePair(failure, httpStatus));
    }
    // A day whose list came whole but named no stock at all, as the service
    // answers a day it has no list for (a holiday the calendar does not know).
    void addEmptyDay(const QString& date) {
        QMutexLocker lock(&m_mutex);
        m_emptyDays.insert(date);
    }
    bool isEmptyDay(const QString& date) const {
        QMutexLocker lock(&m_mutex);
        return m_emptyDays.contains(date);
    }

    // A list entry is asked for once per listing reason; once one of its
    // requests brought the seats, they are there, whatever the others did.
    // reason: the user's words for why a page failed (fetchFailureText).
    void setSeatPage(const QString& date, const QString& code, bool fetched,
                     const QString& reason = QString()) {
        QMutexLocker lock(&m_mutex);
        const auto page = qMakePair(date, code);
        if (fetched) {
            m_fetchedPages.insert(page);
            m_seatPages.remove(page);
        } else if (!m_fetchedPages.contains(page)) {
            m_seatPages.insert(page, reason);
            if (!reason.isEmpty() && !m_seatReasons.contains(reason))
                m_seatReasons << reason;
        }
    }

    // List rows left out because their code is not six digits.
    void addBadCodeRows(int count) {
        QMutexLocker lock(&m_mutex);
        m_badCodeRows += count;
    }
    int badCodeRows() const {
        QMutexLocker lock(&m_mutex);
        return m_badCodeRows;
    }

    QStringList days() const {
        QMutexLocker lock(&m_mutex);
        return m_days;
    }
    // The codes of the stocks with a seat page that could not be fetched,
    // each once, in ascending order.
    QStringList seatPageCodes() const {
        QMutexLocker lock(&m_mutex);
        QSet<QString> codes;
        for (auto page = m_seatPages.cbegin(); page != m_seatPages.cend(); ++page)
            codes.insert(page.key().second);
        QStringList sorted(codes.begin(), codes.end());
        sorted.sort();
        return sorted;
    }
    // Why a day's list failed.
    FetchFailure dayFailure(const QString& date) const {
        QMutexLocker lock(&m_mutex);
        return m_dayFailures.value(date, qMakePair(FetchFailure::None, 0)).first;
    }
    QString dayReason(const QString& date) const {
        QMutexLocker lock(&m_mutex);
        const auto failure = m_dayFailures.value(date, qMakePair(FetchFailure::None, 0));
        return fetchFailureText(failure.first, failure.second);
    }
    // The reasons of the seat pages still missing, each once, first seen
    // first; a page that arrived later takes its reason with it.
    QStringList seatPageReasons() const {
        QMutexLocker lock(&m_mutex);
        const QList<QString> held = m_seatPages.values();
        QStringList reasons;
        for (const QString& reason : m_seatReasons) {
            if (held.contains(reason))
                reasons << reason;
        }
        return reasons;
    }
    bool seatPageFailed(const QString& date, const QString& code) const {
        QMutexLocker lock(&m_mutex);
        return m_seatPages.contains(qMakePair(date, code));
    }
    // Whether some seat page of the day arrived; the screens read a day
    // only then.
    bool seatsArrived(const QString& date) const {
        QMutexLocker lock(&m_mutex);
        return std::any_of(m_fetchedPages.cbegin(), m_fetchedPages.cend(),
                           [&](const QPair<QString, QString>& page) { return page.first == date; });
    }
    // Whether some seat page of the day is missing after a failed request.
    bool seatPageFailedOn(const QString& date) const {
        QMutexLocker lock(&m_mutex);
        const QList<QPair<QString, QString>> pages = m_seatPages.keys();
        return std::any_of(pages.cbegin(), pages.cend(),
                           [&](const QPair<QString, QString>& page) { return page.first == date; });
    }

private:
    mutable QMutex m_mutex;
    QStringList m_days;
    QMap<QString, QPair<FetchFailure, int>> m_dayFailures; // date -> (failure, HTTP status)
    QStringList m_seatReasons;                             // every reason seen, first seen first
    QHash<QPair<QString, QString>, QString> m_seatPages;   // (date, code) that failed -> why
    QSet<QPair<QString, QString>> m_fetchedPages; // (date, code) that arrived
    QSet<QString> m_emptyDays;
    int m_badCodeRows = 0;
};
