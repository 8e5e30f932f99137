#include "app/shell/stocknotewidget.h"

#include <QFile>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QTextEdit>
#include <QTextStream>

namespace {
// The whole page, or an empty text when it cannot be opened. A page with a
// byte-order mark is read in its own encoding, others with the locale's.
QString readPage(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QTextStream stream(&file);
    return stream.readAll();
}
} // namespace

StockNoteWidget::StockNoteWidget(const QString& caption, const QString& pagePath, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("说明"));
    setWindowIcon(QIcon(QStringLiteral(":/images/vesk.png")));
    setFixedSize(400, 189);
    auto* layout = new QGridLayout(this);

    layout->addWidget(new QLabel(caption, this), 0, 0, 1, 3);

    auto* page = new QTextEdit(this);
    page->setReadOnly(true);
    page->setHtml(readPage(pagePath));
    layout->addWidget(page, 1, 0, 1, 3);

    layout->addItem(new QSpacerItem(145, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 2, 0);
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    layout->addWidget(ok, 2, 1);
    layout->addItem(new QSpacerItem(144, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 2, 2);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
}
