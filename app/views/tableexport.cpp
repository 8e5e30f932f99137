#include "app/views/tableexport.h"

#include <QFile>
#include <QListWidget>
#include <QTableWidget>
#include <QTextStream>

bool exportTableCsv(QTableWidget* table, const QString& path) {
    QFile file(path);
    if (!table || !file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;

    QString text;
    const int columns = table->columnCount();
    for (int c = 0; c < columns; ++c) {
        if (const QTableWidgetItem* header = table->horizontalHeaderItem(c))
            text += header->text() + QLatin1Char(',');
    }
    text += QLatin1Char('\n');
    for (int r = 0; r < table->rowCount(); ++r) {
        for (int c = 0; c < columns; ++c) {
            if (const QTableWidgetItem* item = table->item(r, c)) {
                QString cell = item->text();
                cell.replace(QLatin1Char(','), QLatin1Char(' '));
                text += cell + QLatin1Char(',');
            }
        }
        text += QLatin1Char('\n');
    }

    QTextStream out(&file); // the locale's codec
    out << text;
    out.flush();
    file.close();
    return true;
}

bool exportListItems(QListWidget* list, const QString& path) {
    QFile file(path);
    if (!list || !file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream out(&file);
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text() << QLatin1Char(',');
    out.flush();
    file.close();
    return true;
}
