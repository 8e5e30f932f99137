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

    // The cell's text as one line (oneLineText); the item keeps the text as given.
    QString displayText(const QVariant& value, const QLocale& locale) const override;

    // A cell whose text is cut off shows that text as its tooltip
    // (plainToolTip: plain, at most a few lines); "" for a cell shown whole.
    QString cutOffToolTip(const QStyleOptionViewItem& option, const QModelIndex& index) const;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    QPen pen() const { return m_pen; }

private:
    QPen m_pen;
    QTableView* m_view;
};
