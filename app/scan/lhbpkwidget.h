#pragma once

#include "core/stock.h"

#include <QPersistentModelIndex>
#include <QString>
#include <QVector>
#include <QWidget>

#include <memory>

class CancelFlag;
class DayScreening;
class LHBTabWidget;
class QDateEdit;
class QEvent;
class QLabel;
class QProgressBar;
class QPushButton;
class QThreadPool;
class QTimer;
class ScanFailures;
class StockListView;

// The scan widget: pick a day, press "扫描", watch the progress, read the
// day's listed stocks and the recommendations, select a stock for details.
// The network work runs as tasks on a one-thread pool; they report back
// through posted StockEvents, handled here on the GUI thread.
class LHBPKWidget final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY(LHBPKWidget)
public:
    explicit LHBPKWidget(QWidget* parent = nullptr);
    ~LHBPKWidget() override;

    StockListView* stockList() const { return m_stockList; }
    QProgressBar* progressBar() const { return m_progress; }
    QDateEdit* dateEdit() const { return m_dateEdit; }
    QPushButton* scanButton() const { return m_scanButton; }
    QLabel* infoLabel() const { return m_infoLabel; }
    LHBTabWidget* tabs() const { return m_tabs; }
    QThreadPool* threadPool() const { return m_pool; }
    // The days of the running or last scan: D, D-1 and D-2.
    QString scanDay() const { return m_day; }
    QString previousDay() const { return m_day1; }
    QString dayBeforePrevious() const { return m_day2; }

    // Today, or the Friday before when today falls on a weekend.
    static QDate initialDate(const QDate& today);
    // The notice line for the stocks whose seats could not be fetched; it
    // names the first ten codes, after the reasons why.
    static QString seatFailureLine(const QStringList& codes,
                                   const QStringList& reasons = QStringList());
    // What a scan of day (with day1 and day2 before it) could not fetch,
    // each failure with its reason, and each earlier day that the screens
    // could not read although day's seats came; empty when all came.
    static QString failureText(const ScanFailures& failures, const QString& day,
                               const QString& day1, const QString& day2);

    // Ends the running scan for good, when the window goes: the tasks stop
    // at their next request or pause, an open request is aborted and no
    // further one is sent, nor one for a stock still loading.
    void stopScan();

public slots:
    void onSearch();
    void onClickLHBList(const QString& code);
    void updateStockList(const QVector<Stock>& stocks);

protected:
    void customEvent(QEvent* event) override;

private:
    QDateEdit* createDateEdit();
    QLabel* createInfoLabel();
    void finishScan();
    void endScan();
    // Lists the next part of the records still to be listed.
    void listMore();
    // Why a listed stock has no stored seats on D, for the information line.
    QString noSeatsText(const QString& code) const;
    // Shows the stock on show again when the seat task has stored its seats
    // or changed why it has none.
    void followSeatPhase();
    // What the scan could not fetch, in words for the recommendation view.
    QString failureText() const { return failureText(*m_failures, m_day, m_day1, m_day2); }

    StockListView* m_stockList;
    QProgressBar* m_progress;
    QDateEdit* m_dateEdit;
    QPushButton* m_scanButton;
    QLabel* m_infoLabel;
    LHBTabWidget* m_tabs;
    QString m_day;
    QString m_day1;
    QString m_day2;
    QThreadPool* m_pool;
    CancelFlag* m_stop;
    std::shared_ptr<ScanFailures> m_failures;
    // D's records not yet in the list, from m_listed on; the timer lists
    // the next part at the event loop's next turn.
    QVector<Stock> m_unlisted;
    int m_listed = 0;
    QTimer* m_listTimer;
    DayScreening* m_screening; // D's stocks at the scan's end
    QString m_shownCode;   // the stock last given to onClickLHBList
    QPersistentModelIndex m_shownRow; // its row in the list, when it had one
    QString m_noSeatsText; // why it has no seats on show; "" when it has them
};
