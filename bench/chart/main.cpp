// Prints the time per call of CandlestickWidget::setData with a 480-bar
// history showing the latest 60 (indicators, candles and replot included)
// and of an indicator switch from the chart's menu.
#include "app/shell/startup.h"
#include "chart/candlestickwidget.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QStringList>
#include <QTextStream>

#include <cmath>

namespace {

QVector<Stock> history(int n, float seed)
{
    QVector<Stock> bars;
    bars.reserve(n);
    float close = 10.0f + seed;
    const QDate first(2016, 1, 4);
    for (int i = 0; i < n; ++i) {
        Stock s;
        s.code = QStringLiteral("600036");
        s.date = first.addDays(i).toString(Qt::ISODate); // the time axis labels the bars with these
        s.open = close;
        close *= 1.0f + 0.03f * std::sin(i * 0.7f + seed) + 0.002f;
        s.close = close;
        s.high = std::max(s.open, s.close) * 1.01f;
        s.low = std::min(s.open, s.close) * 0.99f;
        s.volume = 1.0e6f * (1.5f + std::sin(i * 0.3f));
        bars.append(s);
    }
    return bars;
}

template <typename F>
double microsecondsPerCall(int calls, F&& f)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < calls; ++i)
        f(i);
    return timer.nsecsElapsed() / 1000.0 / calls;
}

} // namespace

int main(int argc, char** argv)
{
    // Runs without a display unless one is given.
    if (!findDisplay()) // none named, or a stale one
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    CandlestickWidget chart(false);
    chart.show();
    QApplication::processEvents();

    // Two different stocks so each call really replaces the series.
    const QVector<Stock> stocks[2] = {history(480, 0.0f), history(480, 3.0f)};
    chart.setData(60, QStringLiteral("600036"), stocks[0], QStringLiteral("day"), QStringLiteral("bfq"));

    QTextStream out(stdout);
    const int calls = 200;
    const double fill = microsecondsPerCall(calls, [&](int i) {
        chart.setData(60, QStringLiteral("600036"), stocks[i % 2], QStringLiteral("day"),
                      QStringLiteral("bfq"));
    });
    out << "setData 480 bars, 60 shown, with replot: " << QString::number(fill, 'f', 1) << " us/call ("
        << calls << " calls)\n";

    const QStringList names{QStringLiteral("MACD"), QStringLiteral("KDJ"), QStringLiteral("Boll"),
                            QStringLiteral("成交量")};
    const double switching = microsecondsPerCall(calls, [&](int i) { chart.doAction(names.at(i % names.size())); });
    out << "indicator switch (MACD, KDJ, Boll, volume in turn): " << QString::number(switching, 'f', 1)
        << " us/call (" << calls << " calls)\n";
    return 0;
}
