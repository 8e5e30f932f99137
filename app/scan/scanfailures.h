#pragma once

#include <QMutex>
#include <QMutexLocker>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>

// What one scan could not fetch: written by its worker tasks, read by the
// scan widget once the writing task has ended.
class ScanFailures final {
public:
    void addDay(const QString& date) {
        QMutexLocker lock(&m_mutex);
        if (!m_days.contains(date))
            m_days << date;
    }
    // A list entry fetched twice counts as failed only while its last
    // request failed.
    void setSeatPage(const QString& date, const QString& code, bool fetched) {
        QMutexLocker lock(&m_mutex);
        if (fetched)
            m_seatPages.remove(qMakePair(date, code));
        else
            m_seatPages.insert(qMakePair(date, code));
    }

    QStringList days() const {
        QMutexLocker lock(&m_mutex);
        return m_days;
    }
    int seatPages() const {
        QMutexLocker lock(&m_mutex);
        return m_seatPages.size();
    }

private:
    mutable QMutex m_mutex;
    QStringList m_days;
    QSet<QPair<QString, QString>> m_seatPages; // (date, code)
};
