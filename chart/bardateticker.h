#pragma once

#include <qcustomplot.h>

#include <QStringList>

// Ticks of the chart's time axis at the bars themselves, labelled with their
// dates: the bar at window index i stands at key (i + 1) * ChartStyle::keyStep.
// Every step-th bar from the newest back gets a label, the step chosen so
// that about tickCount() labels share the visible range; a label reads
// "MM-dd", with the year in front on the first one and where it changes.
class BarDateTicker final : public QCPAxisTicker
{
    Q_DISABLE_COPY(BarDateTicker)

public:
    BarDateTicker() = default;

    // The dates of the shown bars, oldest first ("yyyy-MM-dd"; any other
    // text is shown as it is, an empty one gets no tick).
    void setDates(const QStringList& dates) { m_dates = dates; }
    const QStringList& dates() const { return m_dates; }

protected:
    double getTickStep(const QCPRange& range) override;
    int getSubTickCount(double tickStep) override;
    QVector<double> createTickVector(double tickStep, const QCPRange& range) override;
    QVector<QString> createLabelVector(const QVector<double>& ticks, const QLocale& locale,
                                       QChar formatChar, int precision) override;

private:
    QStringList m_dates;
};
