#pragma once

#include <QTableWidgetItem>

// A table cell that sorts by its text read as a number (0 when the text is
// not a number), so 9.8 comes before 10.5.
class OrderTableWidgetItem final : public QTableWidgetItem {
public:
    explicit OrderTableWidgetItem(const QString& text);
    ~OrderTableWidgetItem() override;

    bool operator<(const QTableWidgetItem& other) const override;
};
