#include "app/views/lhbbs5widget.h"

#include "app/views/ordertablewidgetitem.h"
#include "app/views/seathistory.h"
#include "app/views/sortingpause.h"
#include "app/views/tablestyle.h"
#include "core/asyncfetch.h"
#include "core/stockapplication.h"
#include "core/utils.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QTableWidget>
#include <QVBoxLayout>

LHBBS5Widget::LHBBS5Widget(QWidget* parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("股票龙虎榜席位买入"));
    auto* layout = new QVBoxLayout(this);
    m_table = new QTableWidget(this);
    layout->addWidget(m_table);

    applyTableStyle(m_table);
    m_table->setColumnCount(6);
    const int widths[] = {90, 320, 120, 120, 120, 120};
    for (int i = 0; i < 6; ++i)
        m_table->setColumnWidth(i, widths[i]);
    m_table->setHorizontalHeaderLabels({"序列", "营业部", "最近上榜次数", "买入金额(万元)",
                                        "卖出金额(万元)", "净买入(万元)"});
    // Inserting the columns pushed the sort indicator past the last one, so
    // the rows keep their fill order (buyers, then sellers) until the user
    // picks a column.

    setContextMenuPolicy(Qt::CustomContextMenu);
    m_menu = new QMenu(this);
    m_historyAction = new QAction(QStringLiteral("营业部历史上榜"), this);
    m_menu->addAction(m_historyAction);
    connect(m_historyAction, &QAction::triggered, this, &LHBBS5Widget::showHistoryList);
    connect(this, &QWidget::customContextMenuRequested, this,
            &LHBBS5Widget::onContextMenuRequested);

    connect(m_table, &QTableWidget::cellClicked, this, &LHBBS5Widget::onClick);
    m_historyFetch = new AsyncFetch(this);
    connect(m_historyFetch, &AsyncFetch::finished, this, &LHBBS5Widget::onHistoryFetched);
}

LHBBS5Widget::~LHBBS5Widget() = default;

void LHBBS5Widget::showStock(const QString& code, const QString& date)
{
    setStock(code, date);
}

void LHBBS5Widget::onClick(int r, int c)
{
    m_clickedRow = r;
    m_clickedColumn = c;
}

namespace {

// The seat link of a row, kept on its name cell: one name (机构专用) stands
// for many seats, so a link looked up by name may be another stock's.
constexpr int kSeatLinkRole = Qt::UserRole;

// The code of the history page of the seat in a row; empty when it has none.
QString seatCodeOf(const QTableWidgetItem* nameItem)
{
    return seatCodeFromLink(nameItem->data(kSeatLinkRole).toString());
}

} // namespace

void LHBBS5Widget::onContextMenuRequested(const QPoint& pos)
{
    // The menu's one action is about a seat, so it is offered on a seat's
    // row only, and about that seat, not the one last left-clicked.
    const QPoint viewportPos = m_table->viewport()->mapFrom(this, pos);
    if (!m_table->viewport()->rect().contains(viewportPos))
        return;
    const QModelIndex index = m_table->indexAt(viewportPos);
    const QTableWidgetItem* nameItem = index.isValid() ? m_table->item(index.row(), 1) : nullptr;
    if (!nameItem || nameItem->text().isEmpty())
        return;
    onClick(index.row(), index.column());
    // A seat without a history page of its own shows the action greyed.
    m_historyAction->setEnabled(!seatCodeOf(nameItem).isEmpty());
    m_menu->popup(mapToGlobal(pos));
}

void LHBBS5Widget::setStock(const QString& code, const QString& date)
{
    m_table->clearContents();
    m_table->setRowCount(0);
    // The rows of the last stock are gone; an old click must not pick a
    // seat of the new one.
    m_clickedRow = -1;
    m_clickedColumn = -1;
    // A history asked for on the last stock's seats no longer belongs here.
    m_historyFetch->abort();

    const QVector<LHBUnit> units = StockApplication::instance()->lhbSeats().value(date).value(code);
    int number = 1;
    bool sellSideStarted = false;
    // Sorted once when all rows are in, not after each.
    SortingPause pause(m_table);
    for (const LHBUnit& unit : units) {
        if (unit.name.isEmpty())
            continue; // the summary line has no seat name
        if (unit.side == 2 && !sellSideStarted) {
            sellSideStarted = true;
            number = 1;
        }
        const int row = m_table->rowCount();
        m_table->insertRow(row);
        // Every column but the seat's name holds a number and sorts as one.
        auto* numberItem = new OrderTableWidgetItem(QString::number(number));
        numberItem->setTextAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        m_table->setItem(row, 0, numberItem);
        auto* nameItem = new QTableWidgetItem(unit.name);
        nameItem->setData(kSeatLinkRole, unit.url);
        m_table->setItem(row, 1, nameItem);
        m_table->setItem(row, 2, new OrderTableWidgetItem(unit.times));
        m_table->setItem(row, 3, new OrderTableWidgetItem(figureText(double(unit.buyAmount))));
        m_table->setItem(row, 4, new OrderTableWidgetItem(figureText(double(unit.sellAmount))));
        m_table->setItem(row, 5, new OrderTableWidgetItem(figureText(double(unit.netAmount))));
        ++number;
    }
}

void LHBBS5Widget::showHistoryList()
{
    if (m_historyOpen)
        return; // one history at a time
    const QTableWidgetItem* nameItem = m_table->item(m_clickedRow, 1);
    if (!nameItem)
        return;
    const QString seatCode = seatCodeOf(nameItem);
    if (seatCode.isEmpty())
        return;
    m_historySeat = nameItem->text();
    m_historyFetch->start(seatHistoryUrl(seatCode), kSeatHistoryMaxReplyBytes);
}

void LHBBS5Widget::onHistoryFetched(const QString& reply, const HttpGetStatus& status)
{
    QPointer<LHBBS5Widget> self(this); // the window may close during the dialog
    m_historyOpen = true;
    showSeatHistory(reply, status, m_historySeat, this);
    if (self)
        m_historyOpen = false;
}
