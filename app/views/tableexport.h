#pragma once

#include <QString>

class QListWidget;
class QTableWidget;

// Writes the table as comma-separated lines: the header texts, then each
// row's cell texts, every field followed by ","; a comma inside a cell
// becomes a blank. False when the file cannot be opened.
bool exportTableCsv(QTableWidget* table, const QString& path);

// Writes every item's text followed by "," on one line. False when the file
// cannot be opened.
bool exportListItems(QListWidget* list, const QString& path);
