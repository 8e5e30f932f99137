#pragma once

#include <QDialog>

// A caption above a read-only rich-text page loaded from a file or a
// resource; closed by its "确定" button. Start-up shows the first-run note
// with it.
class StockNoteWidget final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY(StockNoteWidget)
public:
    StockNoteWidget(const QString& caption, const QString& pagePath, QWidget* parent);
};
