#include "app/shell/pelostockconfigdialog.h"

#include "app/views/servicetext.h"
#include "core/stockapplication.h"

#include <QDate>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
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
    // Days as a user types them: separated by commas (a Chinese input
    // method's "，" too), blanks or line ends. config.ini reads its value
    // only up to the first blank, so none may be stored.
    static const QRegularExpression separators(QStringLiteral("[,，\\s]+"));
    const QStringList entries = d->editor->toPlainText().split(separators, Qt::SkipEmptyParts);
    for (const QString& entry : entries) {
        const QDate day = QDate::fromString(entry, QStringLiteral("yyyy-MM-dd"));
        // The calendar compares the texts, so only the exact form matches.
        if (!day.isValid() || day.toString(QStringLiteral("yyyy-MM-dd")) != entry) {
            // What was typed or pasted, shown as text and never past the screen.
            QMessageBox::warning(
                this, windowTitle(),
                asPlainText(QStringLiteral("“%1”不是 yyyy-MM-dd 形式的日期，请改正后再关闭。")
                                .arg(shownLine(entry))));
            return;
        }
    }
    if (StockApplication* app = StockApplication::instance())
        app->setNonTradeDays(entries);
    close();
}
