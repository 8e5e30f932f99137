#pragma once

#include <QEvent>

// Progress report of a scan task, posted from the worker thread to the scan
// widget and handled there on the GUI thread.
class StockEvent final : public QEvent {
public:
    // The four kinds of report a scan produces, in the order they arrive.
    static constexpr int DayListFetched = 5001; // one date's list parsed (ignored by the widget)
    static constexpr int DayListsStored = 5002; // every day list is in the cache
    static constexpr int SeatsStored = 5003;    // one list entry's seats are in the cache
    static constexpr int AllSeatsStored = 5004; // every list entry's seats are in the cache

    StockEvent(int type, int value) : QEvent(static_cast<QEvent::Type>(type)), m_value(value) {}

    // Progress in percent, 0 to 100.
    int value() const { return m_value; }

private:
    int m_value;
};
