#include "app/views/linedelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableView>

LineDelegate::LineDelegate(QTableView* view)
    : QStyledItemDelegate(nullptr), m_view(view)
{
    const QStyleOptionViewItem defaultOption;
    const QColor colour = QColor::fromRgb(static_cast<QRgb>(
        QApplication::style()->styleHint(QStyle::SH_Table_GridLineColor, &defaultOption)));
    m_pen = QPen(QBrush(colour, Qt::SolidPattern), 0,
                 view ? view->gridStyle() : Qt::SolidLine);
    // The view does not own its delegate; without this each table would
    // leave its delegate behind when it goes.
    if (view)
        connect(view, &QObject::destroyed, this, &QObject::deleteLater);
}

LineDelegate::~LineDelegate() = default;

void LineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const
{
    QStyleOptionViewItem copy(option);
    copy.state &= ~QStyle::State_HasFocus;
    QStyledItemDelegate::paint(painter, copy, index);

    const QPen saved = painter->pen();
    painter->setPen(m_pen);
    painter->drawLine(copy.rect.left(), copy.rect.bottom(), copy.rect.right(), copy.rect.bottom());
    painter->setPen(saved);
}
