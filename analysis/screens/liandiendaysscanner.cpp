#include "analysis/screens/liandiendaysscanner.h"

#include <QtGlobal>

LianDieNDaysScanner::LianDieNDaysScanner(int n) : m_n(qMax(1, n)) {}

int LianDieNDaysScanner::scan(void* context, const QVector<Stock>& bars, QStringList* comments) {
    Q_UNUSED(context)
    const int size = bars.size();
    // One bar more than the run, for the close before its first day.
    if (size <= m_n)
        return -1;
    for (int i = size - 1; i >= size - m_n; --i) {
        const Stock& bar = bars.at(i);
        if (!(bar.open > bar.close) || !(bars.at(i - 1).close > bar.close))
            return -1;
    }
    addComment(comments, QStringLiteral("连跌%1天反弹可期").arg(m_n));
    return 0;
}
