#pragma once

#include <QTableWidget>

// Keeps the cells of a row together while it is filled: with sorting on, Qt
// moves a row as soon as its sort-column cell is set. Sorting is suspended
// for the guard's life; re-enabling it puts the finished row in its place.
class SortingPause final {
public:
    explicit SortingPause(QTableWidget* table)
        : m_table(table), m_wasSorting(table->isSortingEnabled())
    {
        if (m_wasSorting)
            m_table->setSortingEnabled(false);
    }
    ~SortingPause()
    {
        if (m_wasSorting)
            m_table->setSortingEnabled(true);
    }
    SortingPause(const SortingPause&) = delete;
    SortingPause& operator=(const SortingPause&) = delete;

private:
    QTableWidget* m_table;
    bool m_wasSorting;
};
