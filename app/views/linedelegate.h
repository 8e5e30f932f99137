#pragma once

#include <QPen>
#include <QStyledItemDelegate>

class QTableView;

// Item delegate of every table: paints a cell without the focus frame and
// draws a thin line along its bottom edge in the style's grid colour, so the
// tables can switch their own grid off and still read as rows.
class LineDelegate final : public QStyledItemDelegate {
    Q_OBJECT
    Q_DISABLE_COPY(LineDelegate)
public:
    // Create it with new: it has no parent and deletes itself when the
    // view goes, since the view does not own it.
    explicit LineDelegate(QTableView* view);
    ~LineDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    // A cell whose text is cut off shows the whole text as its tooltip.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    QPen pen() const { return m_pen; }

private:
    QPen m_pen;
    QTableView* m_view;
};
