#include "app/views/datatablewidget.h"

#include "app/views/ordertablewidgetitem.h"
#include "app/views/sortingpause.h"
#include "app/views/tablestyle.h"
#include "core/providers/providerinterfaces.h"

#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>

DataTableWidget::DataTableWidget(const QString& title, const QVector<ColumnSpec>& columns,
                                 QWidget* parent)
    : QDialog(parent), m_columns(columns)
{
    // Qt would take a "[*]" in a seat's name for its modified-mark placeholder.
    setWindowTitle(QString(title).replace(QLatin1String("[*]"), QLatin1String("[*][*]")));
    auto* layout = new QVBoxLayout(this);
    m_notice = new QLabel(this);
    m_notice->setTextFormat(Qt::PlainText); // it names the stock's code
    m_notice->setStyleSheet(QStringLiteral("color: rgb(240, 64, 64);"));
    m_notice->hide();
    layout->addWidget(m_notice);
    m_table = new QTableWidget(this);
    layout->addWidget(m_table);

    applyTableStyle(m_table);

    m_table->setColumnCount(m_columns.count());
    QStringList headers;
    for (int i = 0; i < m_columns.count(); ++i) {
        headers << m_columns.at(i).title;
        m_table->setColumnWidth(i, m_columns.at(i).width);
    }
    m_table->setHorizontalHeaderLabels(headers);
    // Inserting the columns pushed the sort indicator past the last one, so
    // the rows keep the order of the reply until the user picks a column.
}

DataTableWidget::~DataTableWidget() = default;

void DataTableWidget::addRow(const QMap<QString, QString>& row)
{
    addRows({row});
}

void DataTableWidget::addRows(const QVector<QMap<QString, QString>>& rows)
{
    // Sorting once for all the rows, not after each: a fill stays linear.
    SortingPause pause(m_table);
    const int first = m_table->rowCount();
    m_table->setRowCount(first + rows.size());
    {
        // The view would repaint each cell as it is set; one repaint of
        // the whole table once the rows are in does the same, much faster.
        const QSignalBlocker quiet(m_table->model());
        for (int i = 0; i < rows.size(); ++i)
            setRowCells(first + i, rows.at(i));
    }
    m_table->viewport()->update();
}

void DataTableWidget::setRowCells(int r, const QMap<QString, QString>& row)
{
    for (int i = 0; i < m_columns.count(); ++i) {
        QString value = row.value(m_columns.at(i).key);
        if (value.contains(QLatin1String("\\u"))) // most cells have none: skip the regex
            unescapeUnicode(value);
        m_table->setItem(r, i, m_columns.at(i).numeric ? new OrderTableWidgetItem(value)
                                                       : new QTableWidgetItem(value));
    }
}

void DataTableWidget::clear()
{
    m_table->clearContents();
    m_table->setRowCount(0);
}

void DataTableWidget::setNotice(const QString& text)
{
    m_notice->setText(text);
    m_notice->setVisible(!text.isEmpty());
}

QString DataTableWidget::notice() const
{
    return m_notice->text();
}

void DataTableWidget::keyPressEvent(QKeyEvent* event)
{
    // Embedded as a page (the news), Esc must not hide it the way it closes
    // the dialog: the tab would be left blank.
    if (!isWindow() && event->matches(QKeySequence::Cancel)) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}
