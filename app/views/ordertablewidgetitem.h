#pragma once

#include <QTableWidgetItem>

// A table cell that sorts by its text read as a number, so 9.8 comes before
// 10.5 and 1.2万 (12000) after both. Texts that are no finite number ("?",
// "-", "", "nan") sort after every number, in text order among themselves.
class OrderTableWidgetItem final : public QTableWidgetItem {
public:
    explicit OrderTableWidgetItem(const QString& text);
    ~OrderTableWidgetItem() override;

    bool operator<(const QTableWidgetItem& other) const override;
    void setData(int role, const QVariant& value) override;

private:
    // The text read once, not at every comparison of a sort: a list of
    // thousands of rows is sorted in a few milliseconds then.
    void readText();

    double m_value = 0;
    bool m_isNumber = false;
};
