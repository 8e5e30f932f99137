#include "app/shell/pelostockconfigdialog.h"

#include "app/views/servicetext.h"
#include "core/stockapplication.h"
#include "core/utils.h"

#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSpacerItem>
#include <QTabWidget>
#include <QTextEdit>

namespace {

// How many of the entries that are no days the dialog names.
constexpr int kWrongNamed = 3;


// An entry as a message quotes it: one line, a long one cut short.
QString quoted(const QString& entry) {
    return oneLineText(entry, 21);
}

} // namespace

struct PeloStockConfigDialog::Private {
    QTextEdit* editor = nullptr;
    // The entries shown when the dialog opened (config.ini's, as read).
    QSet<QString> read;
};

PeloStockConfigDialog::PeloStockConfigDialog(QWidget* parent) : QDialog(parent), d(new Private) {
    setWindowTitle(QStringLiteral("软件配置"));
    setFixedSize(320, 280);

    auto* layout = new QGridLayout(this);

    auto* tabs = new QTabWidget(this);
    d->editor = new QTextEdit(tabs);
    tabs->addTab(d->editor, QStringLiteral("非交易日"));
    layout->addWidget(tabs, 0, 0, 1, 2);

    QStringList read;
    if (StockApplication* app = StockApplication::instance())
        read = app->nonTradeDays();
    d->read = QSet<QString>(read.cbegin(), read.cend());
    d->editor->setPlainText(read.join(QLatin1Char(',')));
    // The list has no place to break a line but between any two characters;
    // looking for a better one first takes minutes on a long list.
    d->editor->setWordWrapMode(QTextOption::WrapAnywhere);

    // Entries read that are no days (a hand-edited config.ini) are shown as
    // they are, and the first of them named here, where the spacer stands
    // otherwise.
    QStringList wrong;
    for (const QString& entry : read) {
        if (!entry.isEmpty() && !isDayText(entry) && wrong.size() <= kWrongNamed)
            wrong << quoted(entry);
    }
    if (wrong.isEmpty()) {
        layout->addItem(new QSpacerItem(298, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 1,
                        0);
    } else {
        auto* note = new QLabel(
            QStringLiteral("配置文件中的“%1”%2不是 yyyy-MM-dd 形式的日期，不会当作非交易日。")
                .arg(wrong.mid(0, kWrongNamed).join(QStringLiteral("”、“")),
                     wrong.size() > kWrongNamed ? QStringLiteral("等") : QString()),
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
        if (!isDayText(entry) && !d->read.contains(entry)) {
            // What was typed or pasted, shown as text and never past the screen.
            QMessageBox::warning(
                this, windowTitle(),
                asPlainText(QStringLiteral("“%1”不是 yyyy-MM-dd 形式的日期，请改正后再关闭。")
                                .arg(shownLine(entry))));
            return;
        }
    }
    StockApplication* app = StockApplication::instance();
    // config.ini keeps the days from one run to the next only as long as a
    // start reads it; the list stays as it was.
    if (app && !app->configHolds(entries)) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("日期过多：写入后配置文件将大于 1 兆字节，"
                                            "下次启动时无法读取。请删去一些日期后再关闭。"));
        return;
    }
    if (app)
        app->setNonTradeDays(entries);
    close();
}
