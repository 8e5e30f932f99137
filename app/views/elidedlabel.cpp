#include "app/views/elidedlabel.h"

#include "app/views/servicetext.h"

#include <QPainter>
#include <QStyle>

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    // Texts come from the services: shown as they are, never as markup.
    setTextFormat(Qt::PlainText);
}

ElidedLabel::~ElidedLabel() = default;

QSize ElidedLabel::minimumSizeHint() const {
    QSize size = QLabel::minimumSizeHint();
    const QMargins m = contentsMargins();
    size.setWidth(fontMetrics().horizontalAdvance(QStringLiteral("代码…")) + m.left() + m.right() +
                  2 * margin());
    return size;
}

QString ElidedLabel::shownText() const {
    const QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    return fontMetrics().elidedText(text(), Qt::ElideRight, room.width());
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    const QString shown = shownText();
    // Set here, where the width is known; it matters only once hovered.
    const QString tip = shown == text() ? QString() : plainToolTip(text());
    if (toolTip() != tip)
        setToolTip(tip);
    QPainter painter(this);
    const QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    style()->drawItemText(&painter, room, int(alignment()), palette(), isEnabled(), shown,
                          foregroundRole());
}
