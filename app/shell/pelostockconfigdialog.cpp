#include "app/shell/pelostockconfigdialog.h"

#include "app/views/servicetext.h"
#include "core/stockapplication.h"
#include "core/utils.h"

#include <QDate>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpacerItem>
#include <QTabWidget>
#include <QTextEdit>

namespace {

const QString kDayFormat = QStringLiteral("yyyy-MM-dd");

// The calendar compares the texts, so only the exact form matches.
bool isDay(const QString& entry) {
    const QDate day = QDate::fromString(entry, kDayFormat);
    return day.isValid() && day.toString(kDayFormat) == entry;
}

// An entry as a message quotes it: one line, a long one cut short.
QString quoted(const QString& entry) {
    return oneLineText(entry, 21);
}

} // namespace

struct PeloStockConfigDialog::Private {
    QTextEdit* editor = nullptr;
    // The entries shown when the dialog opened (config.ini's, as read).
    QStringList read;
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
        d->read = app->nonTradeDays();
    d->editor->setPlainText(d->read.join(QLatin1Char(',')));

    // Entries read that are no days (a hand-edited config.ini) are shown as
    // they are, and named here, where the spacer stands otherwise.
    QStringList wrong;
    for (const QString& entry : d->read) {
        if (!entry.isEmpty() && !isDay(entry))
            wrong << quoted(entry);
    }
    if (wrong.isEmpty()) {
        layout->addItem(new QSpacerItem(298, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 1,
                        0);
    } else {
        auto* note = new QLabel(
            QStringLiteral("配置文件中的“%1”%2不是 yyyy-MM-dd 形式的日期，不会当作非交易日。")
                .arg(wrong.mid(0, 3).join(QStringLiteral("”、“")),
                     wrong.size() > 3 ? QStringLiteral("等") : QString()),
            this);
        note->setTextFormat(Qt::PlainText); // the file may hold any text
        note->setWordWrap(true);
        layout->addWidget(note, 1, 0);
    }
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
        // An entry read as it stands was named when the dialog opened; it
        // never keeps the dialog from closing.
        if (!isDay(entry) && !d->read.contains(entry)) {
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
