#pragma once

#include <QDialog>

#include <memory>

// Edits the list of extra non-trading days held by the application. Only the
// "关闭" button stores the text, and only when every entry is a yyyy-MM-dd
// date or was in the list as it opened (otherwise it says which is not and
// the dialog stays open) and config.ini can hold the list (otherwise it
// says so); entries of the list that are no dates are named when it opens.
// Closing the window otherwise keeps the list.
class PeloStockConfigDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY(PeloStockConfigDialog)
public:
    explicit PeloStockConfigDialog(QWidget* parent);
    ~PeloStockConfigDialog() override;

public slots:
    void onClose();

private:
    struct Private;
    std::unique_ptr<Private> d;
};
