#pragma once

#include <QDialog>

// Names the application and its version; closed by its "确定" button.
class StockAboutWidget final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY(StockAboutWidget)
public:
    explicit StockAboutWidget(QWidget* parent);
};
