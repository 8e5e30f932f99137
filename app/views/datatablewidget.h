#pragma once

#include <QDialog>
#include <QMap>
#include <QString>
#include <QVector>

class QLabel;
class QTableWidget;

// One column of a DataTableWidget: header text, row-map key, width, and
// whether its cells hold numbers that sort as numbers.
struct ColumnSpec {
    QString title;
    QString key;
    int width = 0;
    bool numeric = false;
};

// A dialog with one read-only, sortable table whose rows come from text
// maps, one key per column; \uXXXX escapes in the values are resolved.
class DataTableWidget final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY(DataTableWidget)
public:
    DataTableWidget(const QString& title, const QVector<ColumnSpec>& columns,
                    QWidget* parent = nullptr);
    ~DataTableWidget() override;

    void addRow(const QMap<QString, QString>& row);
    // The rows in order, sorted once when all are in.
    void addRows(const QVector<QMap<QString, QString>>& rows);
    // Empties the rows; headers and widths stay.
    void clear();

    // A line above the table, e.g. that its rows could not be fetched;
    // hidden while empty.
    void setNotice(const QString& text);
    QString notice() const;

    QTableWidget* table() const { return m_table; }
    QVector<ColumnSpec> columns() const { return m_columns; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setRowCells(int r, const QMap<QString, QString>& row);

    QLabel* m_notice;
    QTableWidget* m_table;
    QVector<ColumnSpec> m_columns;
};
