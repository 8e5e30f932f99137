#include "app/shell/stockaboutwidget.h"

#include "app/shell/version.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>

StockAboutWidget::StockAboutWidget(QWidget* parent) : QDialog(parent) {
    setFixedSize(410, 196);
    auto* layout = new QGridLayout(this);

    const QString title =
        QStringLiteral("岱鸮龙虎榜股票分析系统 %1)").arg(QLatin1String(kVeskVersion));
    setWindowTitle(title);
    auto* label = new QLabel(title, this);
    QFont font = label->font();
    font.setPointSize(12);
    label->setFont(font);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    layout->addWidget(label, 0, 0, 1, 2);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    layout->addWidget(line, 1, 0, 1, 2);

    layout->addItem(new QSpacerItem(308, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 2, 0);
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    layout->addWidget(ok, 2, 1);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
}
