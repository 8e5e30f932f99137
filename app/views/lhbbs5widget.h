#pragma once

#include <QString>
#include <QWidget>

class QMenu;
class QAction;
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
    void showHistoryList();
    void onClick(int r, int c);

private:
    void setStock(const QString& code, const QString& date);
    void onContextMenuRequested(const QPoint& pos);

    QTableWidget* m_table;
    int m_clickedRow = -1;
    int m_clickedColumn = -1;
    quint64 m_fills = 0; // counts setStock calls: a history asked for before one is stale
    QMenu* m_menu;
    QAction* m_historyAction;
};
