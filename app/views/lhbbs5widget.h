#pragma once

#include <QString>
#include <QWidget>

class AsyncFetch;
class QMenu;
class QAction;
struct HttpGetStatus;
class QTableWidget;

// The buying and selling seats of one stock on one day, each side numbered
// from 1. A right click offers the seat's recent list entries.
class LHBBS5Widget final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY(LHBBS5Widget)
public:
    explicit LHBBS5Widget(QWidget* parent = nullptr);
    ~LHBBS5Widget() override;

    void showStock(const QString& code, const QString& date);

    QTableWidget* table() const { return m_table; }
    QMenu* contextMenu() const { return m_menu; }
    QAction* historyAction() const { return m_historyAction; }
    int clickedRow() const { return m_clickedRow; }
    int clickedColumn() const { return m_clickedColumn; }

public slots:
    // Asks for the clicked seat's recent list entries and shows them when
    // they come, unless another stock's seats are shown by then. Nothing
    // while a history is open; a history still loading gives way.
    void showHistoryList();
    void onClick(int r, int c);

private:
    void setStock(const QString& code, const QString& date);
    void onContextMenuRequested(const QPoint& pos);
    void onHistoryFetched(const QString& reply, const HttpGetStatus& status);

    QTableWidget* m_table;
    int m_clickedRow = -1;
    int m_clickedColumn = -1;
    // The seat history asked for last; a new stock's seats drop it.
    AsyncFetch* m_historyFetch;
    QString m_historySeat;
    bool m_historyOpen = false; // its dialog or warning is open
    QMenu* m_menu;
    QAction* m_historyAction;
};
