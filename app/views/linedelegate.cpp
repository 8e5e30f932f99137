#include "app/views/linedelegate.h"

#include "app/views/servicetext.h"
#include "core/utils.h"

#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>
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

QString LineDelegate::displayText(const QVariant& value, const QLocale& locale) const
{
    // A cell is one line: a line break or bidirectional control in a
    // service's text must not stretch the row or reorder the cell.
    return oneLineText(QStyledItemDelegate::displayText(value, locale));
}

QString LineDelegate::cutOffToolTip(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const
{
    QStyleOptionViewItem copy(option);
    initStyleOption(&copy, index); // the text as the cell shows it
    // The room the style leaves for the text, beside any icon.
    const QStyle* style = copy.widget ? copy.widget->style() : QApplication::style();
    const QRect room = style->subElementRect(QStyle::SE_ItemViewItemText, &copy, copy.widget);
    if (copy.fontMetrics.horizontalAdvance(copy.text) <= room.width())
        return QString();
    return plainToolTip(copy.text);
}

bool LineDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                             const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event->type() == QEvent::ToolTip && index.isValid() &&
        !index.data(Qt::ToolTipRole).isValid()) {
        const QString tip = cutOffToolTip(option, index);
        if (!tip.isEmpty()) {
            QToolTip::showText(event->globalPos(), tip, view);
            return true;
        }
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}
