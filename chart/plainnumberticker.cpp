#include "chart/plainnumberticker.h"

#include "core/utils.h"

QString PlainNumberTicker::getTickLabel(double tick, const QLocale& locale, QChar formatChar,
                                        int precision)
{
    const QString label = QCPAxisTicker::getTickLabel(tick, locale, formatChar, precision);
    if (!label.contains(QLatin1Char('e'), Qt::CaseInsensitive))
        return label;
    return figureText(tick, 'g', precision);
}
