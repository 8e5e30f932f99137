#include "chart/bardateticker.h"

#include "chart/chartstyle.h"

#include <QDate>

#include <algorithm>
#include <cmath>

double BarDateTicker::getTickStep(const QCPRange& range)
{
    // Whole bars, so that every tick stands on a bar.
    const double barsShown = range.size() / ChartStyle::keyStep;
    const int step = qMax(1, int(std::ceil(barsShown / qMax(1, tickCount()))));
    return step * ChartStyle::keyStep;
}

int BarDateTicker::getSubTickCount(double tickStep)
{
    Q_UNUSED(tickStep);
    return 0;
}

QVector<double> BarDateTicker::createTickVector(double tickStep, const QCPRange& range)
{
    Q_UNUSED(range); // the caller trims the ticks to the range
    // Counted from the newest bar, so the latest day always has its label and
    // the labels keep to their bars while the view is dragged.
    const int step = qMax(1, qRound(tickStep / ChartStyle::keyStep));
    QVector<double> ticks;
    for (int i = m_dates.size() - 1; i >= 0; i -= step) {
        if (!m_dates.at(i).isEmpty())
            ticks.append((i + 1) * ChartStyle::keyStep);
    }
    std::reverse(ticks.begin(), ticks.end());
    return ticks;
}

QVector<QString> BarDateTicker::createLabelVector(const QVector<double>& ticks,
                                                  const QLocale& locale, QChar formatChar,
                                                  int precision)
{
    Q_UNUSED(locale);
    Q_UNUSED(formatChar);
    Q_UNUSED(precision);
    QVector<QString> labels;
    labels.reserve(ticks.size());
    int lastYear = 0;
    for (double tick : ticks) {
        const QString text = m_dates.value(qRound(tick / ChartStyle::keyStep) - 1);
        const QDate date = QDate::fromString(text, Qt::ISODate);
        if (!date.isValid()) {
            labels.append(text);
            continue;
        }
        const bool yearChanged = date.year() != lastYear;
        lastYear = date.year();
        labels.append(date.toString(yearChanged ? QStringLiteral("yyyy-MM-dd")
                                                : QStringLiteral("MM-dd")));
    }
    return labels;
}
