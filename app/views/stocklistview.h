#pragma once

#include "core/stock.h"

#include <QMap>
#include <QPersistentModelIndex>
#include <QString>
#include <QTableWidget>
#include <QVector>

class QMenu;

// Read-only, sortable table of stocks, one row per added stock; subclasses
// lay out the columns. A click on a row reports the row's code cell, and so
// does any other move of the highlight to another row (keys, a right click,
// a drag), also between two rows of one code; a sort that only moves the
// rows reports nothing. A move made with a button held is reported once the
// press ends, however it ends. The highlighted row is kept in sight
// wherever a move, a sort or new rows put it.
class StockListView : public QTableWidget {
    Q_OBJECT
    Q_DISABLE_COPY(StockListView)
public:
    explicit StockListView(QWidget* parent = nullptr);
    ~StockListView() override;

    // Empties rows and the code map; headers, widths and settings stay.
    void clear();

    // The stocks shown, by code: the last one added under each code.
    QMap<QString, Stock> stockMap() const { return m_stocks; }
    int clickedRow() const { return m_clickedRow; }
    int clickedColumn() const { return m_clickedColumn; }

    bool option() const { return m_option; }
    void setOption(bool on) { m_option = on; }

signals:
    void senderStock(const QString& code);

public slots:
    void addStock(const Stock& stock);
    void addStocks(const QVector<Stock>& stocks);
    void onClick(int r, int c);

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

    // Called by onClick after senderStock has been emitted.
    virtual void onRowClicked(int row, int column);
    // Appends one row for the stock and fills the subclass's columns.
    virtual void addStockRow(const Stock& stock);

    // Helpers for the row fills.
    static QString gText(float value);
    static QString fixed2(float value);
    static constexpr Qt::Alignment kCentred = Qt::AlignHCenter | Qt::AlignVCenter;
    void setCell(int row, int column, QTableWidgetItem* item, Qt::Alignment alignment = {});
    // Called once the columns exist: rows stand ordered by their first cell.
    void sortByDefaultColumn();

    QMap<QString, Stock> m_stocks;

private:
    // Reports the highlighted row's code when it is not the row last reported.
    void followHighlight();
    // The press ended without its release reaching the view: the highlight
    // it moved is followed at the event loop's next turn.
    void endPress();
    // The highlighted row, -1 for none.
    int highlightedRow() const;
    // Scrolls the highlighted row into sight when it is not where it was.
    void keepHighlightInSight();

    int m_clickedRow = -1;
    int m_clickedColumn = -1;
    QMenu* m_popup = nullptr;
    bool m_option = true;
    // The row senderStock last reported; it moves with its row in a sort.
    QPersistentModelIndex m_reportedRow;
    // While a button is down the highlight may still move; the release
    // reports where it ended, after the click that a left button makes. A
    // release that reaches another window ends the press too, and so does
    // the view's window being blocked (a modal dialog opened meanwhile takes
    // the release), deactivated or hidden, or the view losing the focus.
    bool m_pressed = false;
    int m_shownRow = -1; // where the highlighted row was last brought into sight
};
