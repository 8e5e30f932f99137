#include "app/views/stocklistview.h"

#include "app/views/sortingpause.h"
#include "app/views/tablestyle.h"
#include "core/utils.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

#include <cmath>

StockListView::StockListView(QWidget* parent)
    : QTableWidget(parent)
{
    applyTableStyle(this);
    setContextMenuPolicy(Qt::CustomContextMenu);
    m_popup = new QMenu(this);
    connect(this, &QTableWidget::cellClicked, this, &StockListView::onClick);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &StockListView::followHighlight);
    // A sort, or rows added in turns, may carry the highlighted row away.
    connect(model(), &QAbstractItemModel::layoutChanged, this,
            &StockListView::keepHighlightInSight);
}

StockListView::~StockListView() = default;

void StockListView::clear()
{
    clearContents();
    setRowCount(0);
    m_stocks.clear();
}

void StockListView::addStock(const Stock& stock)
{
    addStockRow(stock);
    m_stocks.insert(stock.code, stock);
}

void StockListView::addStocks(const QVector<Stock>& stocks)
{
    // Sorted once when all rows are in, not after each.
    SortingPause pause(this);
    for (const Stock& stock : stocks)
        addStock(stock);
}

void StockListView::onClick(int r, int c)
{
    m_clickedRow = r;
    m_clickedColumn = c;
    const QTableWidgetItem* codeItem = item(r, 0);
    m_reportedRow = model()->index(r, 0);
    emit senderStock(codeItem ? codeItem->text().trimmed() : QString());
    onRowClicked(r, c);
}

int StockListView::highlightedRow() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.size() == 1 ? rows.first().row() : -1;
}

void StockListView::keepHighlightInSight()
{
    const int row = highlightedRow();
    if (row < 0 || row == m_shownRow)
        return;
    m_shownRow = row;
    // Only the row is brought into sight; the columns stay as scrolled.
    const int column = currentIndex().row() == row ? currentIndex().column() : columnAt(0);
    scrollTo(model()->index(row, qMax(0, column)));
}

void StockListView::followHighlight()
{
    if (m_pressed)
        return;
    m_shownRow = -1; // a move: its row is brought into sight however it came
    keepHighlightInSight();
    const int row = highlightedRow();
    const QTableWidgetItem* codeItem = row >= 0 ? item(row, 0) : nullptr;
    if (!codeItem) {
        m_reportedRow = QPersistentModelIndex(); // highlighted again, the row is reported again
        return;
    }
    // Judged by the row, not its code: one code may stand in two rows.
    if (m_reportedRow.isValid() && m_reportedRow.row() == row)
        return; // a sort moved the row, not the highlight
    m_reportedRow = model()->index(row, 0);
    emit senderStock(codeItem->text().trimmed());
}

void StockListView::endPress()
{
    if (!m_pressed)
        return;
    m_pressed = false;
    QCoreApplication::instance()->removeEventFilter(this);
    // Not at once: a window that is opening blocks this one from inside
    // whatever opened it.
    QTimer::singleShot(0, this, &StockListView::followHighlight);
}

bool StockListView::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::WindowBlocked:
    case QEvent::WindowDeactivate:
    case QEvent::FocusOut:
    case QEvent::Hide:
        endPress();
        break;
    default:
        break;
    }
    return QTableWidget::event(e);
}

bool StockListView::eventFilter(QObject* watched, QEvent* e)
{
    // Watching the whole program while pressed: a release that a widget
    // other than our viewport gets went to another window. (Our own comes
    // through our window, not a widget, and then the viewport reports it.)
    if (m_pressed && e->type() == QEvent::MouseButtonRelease && watched->isWidgetType() &&
        watched != viewport())
        endPress();
    return QTableWidget::eventFilter(watched, e);
}

void StockListView::mousePressEvent(QMouseEvent* e)
{
    m_pressed = true;
    QCoreApplication::instance()->installEventFilter(this);
    QTableWidget::mousePressEvent(e);
}

void StockListView::mouseReleaseEvent(QMouseEvent* e)
{
    QTableWidget::mouseReleaseEvent(e); // a left click reports through onClick
    m_pressed = false;
    QCoreApplication::instance()->removeEventFilter(this);
    followHighlight();
}

void StockListView::contextMenuEvent(QContextMenuEvent* e)
{
    if (itemAt(e->pos()))
        return;
    m_popup->exec(QCursor::pos());
    e->accept();
}

void StockListView::onRowClicked(int, int) {}

void StockListView::addStockRow(const Stock&) {}

QString StockListView::gText(float value)
{
    return figureText(double(value)); // "-" for a value no service means
}

QString StockListView::fixed2(float value)
{
    if (!std::isfinite(value))
        return QStringLiteral("-");
    return QString::number(double(value), 'f', 2);
}

void StockListView::setCell(int row, int column, QTableWidgetItem* item, Qt::Alignment alignment)
{
    if (alignment)
        item->setTextAlignment(int(alignment));
    setItem(row, column, item);
}

void StockListView::sortByDefaultColumn()
{
    // Columns inserted after sorting was switched on push the header's sort
    // indicator past the last column, which would leave rows unsorted.
    sortByColumn(0, Qt::AscendingOrder);
}
