#include "app/shell/pelostockconfigdialog.h"

#include "core/stockapplication.h"

#include <QGridLayout>
#include <QPushButton>
#include <QSpacerItem>
#include <QTabWidget>
#include <QTextEdit>

struct PeloStockConfigDialog::Private {
    QTextEdit* editor = nullptr;
};

PeloStockConfigDialog::PeloStockConfigDialog(QWidget* parent) : QDialog(parent), d(new Private) {
    setWindowTitle(QStringLiteral("软件配置"));
    setFixedSize(320, 280);

    auto* layout = new QGridLayout(this);

    auto* tabs = new QTabWidget(this);
    d->editor = new QTextEdit(tabs);
    tabs->addTab(d->editor, QStringLiteral("非交易日"));
    layout->addWidget(tabs, 0, 0, 1, 2);

    if (StockApplication* app = StockApplication::instance())
        d->editor->setPlainText(app->nonTradeDays().join(QLatin1Char(',')));

    layout->addItem(new QSpacerItem(298, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 1, 0);
    auto* closeButton = new QPushButton(QStringLiteral("关闭"), this);
    layout->addWidget(closeButton, 1, 1);

    connect(closeButton, &QPushButton::clicked, this, &PeloStockConfigDialog::onClose);
}

PeloStockConfigDialog::~PeloStockConfigDialog() = default;

void PeloStockConfigDialog::onClose() {
    // Entries are taken as typed: a blank inside an entry stays part of it.
    const QString text = d->editor->toPlainText().trimmed();
    if (StockApplication* app = StockApplication::instance())
        app->setNonTradeDays(text.split(QLatin1Char(','), Qt::KeepEmptyParts, Qt::CaseSensitive));
    close();
}
