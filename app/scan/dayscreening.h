#pragma once

#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

// The list screens over a day's stocks at the scan's end, each match stored
// as the stock's recommendation. They run a few milliseconds at a time, the
// window turning in between, so the longest list the service may send
// holds up nothing; finished() says when all are screened.
class DayScreening final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(DayScreening)
public:
    explicit DayScreening(QObject* parent = nullptr);

    // Screens the codes (names by code) on day with day1 and day2 before it;
    // the first part at once. A screening still running is dropped.
    void start(const QStringList& codes, const QMap<QString, QString>& names, const QString& day,
               const QString& day1, const QString& day2);
    // Drops the rest of the screening; finished() does not come.
    void stop();
    bool isRunning() const { return !m_codes.isEmpty(); }

signals:
    void finished();

private:
    void screenMore();

    QStringList m_codes; // still to screen, from the end
    QMap<QString, QString> m_names;
    QString m_day;
    QString m_day1;
    QString m_day2;
    QTimer m_next;
};
