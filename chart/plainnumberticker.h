#pragma once

#include <qcustomplot.h>

// The library's ticks and labels, except that a label is never written in
// exponent form ("1.2·10⁶" is no figure a trader reads).
class PlainNumberTicker final : public QCPAxisTicker
{
    Q_DISABLE_COPY(PlainNumberTicker)

public:
    PlainNumberTicker() = default;

protected:
    QString getTickLabel(double tick, const QLocale& locale, QChar formatChar,
                         int precision) override;
};
