#include "chart/bollholder.h"
#include "chart/chartstyle.h"
#include "chart/candlestickwidget.h"
#include "chart/indexviewproxy.h"
#include "chart/kdjholder.h"
#include "chart/macdholder.h"
#include "chart/volumeholder.h"

#include <QtTest>

#include <functional>

namespace {

constexpr double day = 86400.0;

Stock makeBar(float open, float high, float low, float close, const QString& code = "600036")
{
    Stock s;
    s.code = code;
    s.open = open;
    s.high = high;
    s.low = low;
    s.close = close;
    s.volume = 50000.0f;
    return s;
}

// n bars with closes 1, 2, 3, ... (each opens 0.5 lower).
QVector<Stock> risingCloses(int n)
{
    QVector<Stock> bars;
    for (int i = 1; i <= n; ++i)
        bars.append(makeBar(i - 0.5f, i + 0.25f, i - 0.75f, i));
    return bars;
}

// Alternating rising (12 -> 18) and falling (18 -> 12) bars, rising first.
QVector<Stock> alternating(int n)
{
    QVector<Stock> bars;
    for (int i = 0; i < n; ++i)
        bars.append(i % 2 == 0 ? makeBar(12, 19, 11, 18) : makeBar(18, 19, 11, 12));
    return bars;
}

struct Chart
{
    CandlestickWidget widget{false};
    QCustomPlot* plot = widget.findChild<QCustomPlot*>();

    QCPFinancial* candles() const
    {
        for (int i = 0; i < plot->plottableCount(); ++i) {
            if (plot->plottable(i)->name() == "Candlestick")
                return qobject_cast<QCPFinancial*>(plot->plottable(i));
        }
        return nullptr;
    }
    QCPGraph* graphNamed(const QString& name) const
    {
        for (int i = 0; i < plot->graphCount(); ++i) {
            if (plot->graph(i)->name() == name)
                return plot->graph(i);
        }
        return nullptr;
    }
    QCPTextElement* title() const { return qobject_cast<QCPTextElement*>(plot->plotLayout()->element(0, 0)); }
    IndexViewProxy* pane() const { return qobject_cast<IndexViewProxy*>(plot->plotLayout()->element(2, 0)); }
    QMenu* menuTitled(const QString& title) const
    {
        for (QMenu* m : widget.findChildren<QMenu*>()) {
            if (m->title() == title)
                return m;
        }
        return nullptr;
    }
    QMenu* topMenu() const
    {
        for (QMenu* m : widget.findChildren<QMenu*>()) {
            if (m->parent() == &widget)
                return m;
        }
        return nullptr;
    }
    QAction* action(const QString& menuTitle, const QString& text) const
    {
        for (QAction* a : menuTitled(menuTitle)->actions()) {
            if (a->text() == text)
                return a;
        }
        return nullptr;
    }
};

QVector<double> candleKeys(QCPFinancial* f)
{
    QVector<double> keys;
    for (auto it = f->data()->constBegin(); it != f->data()->constEnd(); ++it)
        keys.append(it->key);
    return keys;
}

QVector<QPointF> points(QCPGraph* g)
{
    QVector<QPointF> pts;
    for (auto it = g->data()->constBegin(); it != g->data()->constEnd(); ++it)
        pts.append(QPointF(it->key, it->value));
    return pts;
}

QStringList texts(const QList<QAction*>& actions)
{
    QStringList t;
    for (QAction* a : actions)
        t.append(a->menu() ? a->menu()->title() : a->text());
    return t;
}

int paneSeriesWithData(const IndexViewProxy* pane)
{
    int n = 0;
    for (QCPAbstractPlottable* p : pane->plottables()) {
        if (p->interface1D()->dataCount() > 0)
            ++n;
    }
    return n;
}

// Closes climb from 10 to 40 over 30 bars, then fall back to 10: J reaches
// its top in the climb and its bottom in the fall.
QVector<Stock> climbAndFall()
{
    QVector<Stock> bars;
    for (int i = 0; i < 60; ++i) {
        const float close = i < 30 ? 10.0f + i : 40.0f - (i - 29);
        bars.append(makeBar(close, close + 0.5f, close - 0.5f, close));
    }
    return bars;
}

// The lowest and highest value the series plot; NaN when one plots nothing.
QCPRange extent(const QVector<QCPAbstractPlottable*>& series)
{
    double lower = qInf();
    double upper = -qInf();
    for (QCPAbstractPlottable* p : series) {
        bool found = false;
        const QCPRange one = p->getValueRange(found);
        if (!found)
            return QCPRange(qQNaN(), qQNaN());
        lower = qMin(lower, one.lower);
        upper = qMax(upper, one.upper);
    }
    return QCPRange(lower, upper);
}

bool near(const QColor& a, const QColor& b, int tolerance = 2)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance;
}

} // namespace

class TestCandlestickWidget : public QObject
{
    Q_OBJECT

private slots:
    void constructedState();
    void keysAndXRange_data();
    void keysAndXRange();
    void priceRangeMargins_data();
    void priceRangeMargins();
    void movingAverages_data();
    void movingAverages();
    void titleFollowsBars();
    void emptyCodeDoesNothing();
    void emptyBarsClearTheChart();
    void scalesNeverInExponentForm();
    void zeroAndNegativeCount();
    void indicatorMenuFilledOnce();
    void indicatorSwitchLeavesOnlyChosenHolder();
    void indicatorSwitchKeepsPriceView();
    void paneFollowsLaterCount();
    void paneValueAxisSpansItsSeries();
    void choicesAskForBarsAndMarkThem();
    void indicatorBeforeData();
    void rightClickOpensMenuAtCursor();
    void otherClicksDoNothing_data();
    void otherClicksDoNothing();
    void candleColours();
    void axesReadOnBlack();
    void timeAxisShowsBarDates();
    void overlayText();
};

void TestCandlestickWidget::constructedState()
{
    Chart c;
    QVERIFY(c.plot);
    QCOMPARE(c.widget.windowTitle(), QString("股票日K"));
    QVERIFY(!c.widget.windowIcon().isNull());
    QVERIFY(!QIcon(":logo/pelo.png").pixmap(32, 32).isNull());
    QCOMPARE(c.widget.size(), QSize(960, 320));
    QCOMPARE(c.title()->text(), QString("--"));
    QVERIFY(c.pane()->indexNames().isEmpty());
    QVERIFY(c.candles());

    QVERIFY(c.topMenu());
    QCOMPARE(texts(c.topMenu()->actions()), (QStringList{"除权", "指标", "K线"}));
    QCOMPARE(texts(c.menuTitled("除权")->actions()), (QStringList{"不复权", "前复权", "后复权"}));
    QCOMPARE(texts(c.menuTitled("K线")->actions()), (QStringList{"日线", "周线", "月线"}));
    QVERIFY(c.menuTitled("指标")->actions().isEmpty());
}

void TestCandlestickWidget::keysAndXRange_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("shown");
    QTest::newRow("fewer bars than count") << 30 << 60 << 30;
    QTest::newRow("exactly count") << 60 << 60 << 60;
    QTest::newRow("long history") << 480 << 60 << 60;
    QTest::newRow("one bar") << 1 << 60 << 1;
}

void TestCandlestickWidget::keysAndXRange()
{
    QFETCH(int, total);
    QFETCH(int, count);
    QFETCH(int, shown);
    Chart c;
    const QVector<Stock> bars = risingCloses(total);
    c.widget.setData(count, "600036", bars, "day", "bfq");
    QVector<double> expected;
    for (int i = 1; i <= shown; ++i)
        expected.append(i * day);
    QCOMPARE(candleKeys(c.candles()), expected);
    // The oldest shown bar is bar total - shown, whose close is that + 1.
    QCOMPARE(c.candles()->data()->constBegin()->close, double(total - shown + 1));
    QCOMPARE((c.candles()->data()->constEnd() - 1)->close, double(total));
    QCOMPARE(c.plot->xAxis->range().lower, 0.0);
    QCOMPARE(c.plot->xAxis->range().upper, (count + 1) * day);
}

void TestCandlestickWidget::priceRangeMargins_data()
{
    QTest::addColumn<QVector<Stock>>("bars");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::newRow("flat at 10") << QVector<Stock>(8, makeBar(10, 10, 10, 10)) << 9.9 << 10.1;
    QTest::newRow("spread")
        << QVector<Stock>{makeBar(8, 12, 7, 11), makeBar(11, 20, 10, 19), makeBar(19, 19.5, 5, 6)}
        << 4.95 << 20.2;
    // A forward-adjusted history can go below zero; the lowest bar must stay
    // inside the range.
    QTest::newRow("negative low") << QVector<Stock>{makeBar(-1, 3, -2, 2), makeBar(2, 2.5, 1, 1)} << -2.02
                                  << 3.03;
}

void TestCandlestickWidget::priceRangeMargins()
{
    QFETCH(QVector<Stock>, bars);
    QFETCH(double, lower);
    QFETCH(double, upper);
    Chart c;
    c.widget.setData(60, "600036", bars, "day", "bfq");
    QVERIFY2(qAbs(c.plot->yAxis->range().lower - lower) < 1e-5,
             qPrintable(QString::number(c.plot->yAxis->range().lower)));
    QVERIFY2(qAbs(c.plot->yAxis->range().upper - upper) < 1e-5,
             qPrintable(QString::number(c.plot->yAxis->range().upper)));
}

void TestCandlestickWidget::movingAverages_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("count");
    QTest::addColumn<QVector<QPointF>>("ma5");
    QTest::addColumn<QVector<QPointF>>("ma10");
    QTest::addColumn<QVector<QPointF>>("ma20");
    const QVector<QPointF> none;
    QTest::newRow("four bars") << 4 << 60 << none << none << none;
    // Closes 1..7: the 5-bar mean from the fifth bar on.
    QTest::newRow("seven bars") << 7 << 60 << QVector<QPointF>{{5 * day, 3}, {6 * day, 4}, {7 * day, 5}} << none
                                << none;
    // Closes 1..22 shown 3 (bars with closes 20, 21, 22): the averages were
    // fed the whole history, so even the 20-bar line starts at the first key.
    QTest::newRow("history before window")
        << 22 << 3 << QVector<QPointF>{{1 * day, 18}, {2 * day, 19}, {3 * day, 20}}
        << QVector<QPointF>{{1 * day, 15.5}, {2 * day, 16.5}, {3 * day, 17.5}}
        << QVector<QPointF>{{1 * day, 10.5}, {2 * day, 11.5}, {3 * day, 12.5}};
}

void TestCandlestickWidget::movingAverages()
{
    QFETCH(int, total);
    QFETCH(int, count);
    QFETCH(QVector<QPointF>, ma5);
    QFETCH(QVector<QPointF>, ma10);
    QFETCH(QVector<QPointF>, ma20);
    Chart c;
    c.widget.setData(count, "600036", risingCloses(total), "day", "bfq");
    QCOMPARE(points(c.graphNamed("ma5")), ma5);
    QCOMPARE(points(c.graphNamed("ma10")), ma10);
    QCOMPARE(points(c.graphNamed("ma20")), ma20);
}

void TestCandlestickWidget::titleFollowsBars()
{
    Chart c;
    QVector<Stock> bars = risingCloses(10);
    c.widget.setData(60, "000001", bars, "day", "hfq");
    QCOMPARE(c.title()->text(), QString("600036")); // the code the bars carry
    QCOMPARE(c.widget.windowTitle(), QString("600036"));
    QCOMPARE(c.widget.periodCode(), QString("day"));
    QCOMPARE(c.widget.adjustCode(), QString("hfq"));
}

void TestCandlestickWidget::emptyCodeDoesNothing()
{
    Chart c;
    c.widget.setData(60, QString(), risingCloses(10), "week", "qfq");
    QCOMPARE(c.title()->text(), QString("--"));
    QCOMPARE(c.candles()->dataCount(), 0);
    QVERIFY(c.menuTitled("指标")->actions().isEmpty());
    QCOMPARE(c.widget.periodCode(), QString());
}

void TestCandlestickWidget::emptyBarsClearTheChart()
{
    Chart c;
    QVector<Stock> dated = risingCloses(10);
    for (int i = 0; i < dated.size(); ++i)
        dated[i].date = QDate(2017, 1, 2).addDays(i).toString(Qt::ISODate);
    // The labels the date, price and pane axes show.
    const auto scaleLabels = [&c] {
        c.plot->replot();
        QString shown;
        for (QCPAxis* axis : {c.plot->xAxis, c.plot->yAxis, c.pane()->axis(QCPAxis::atLeft)}) {
            if (axis->tickLabels())
                shown += QStringList(axis->tickVectorLabels().toList()).join("|");
            shown += "/";
        }
        return shown;
    };
    c.widget.setData(60, "600036", dated, "day", "bfq");
    QVERIFY(!scaleLabels().contains("//"));
    c.widget.setData(60, "000002", QVector<Stock>(), "day", "bfq");
    QCOMPARE(c.title()->text(), QString("000002 不复权"));
    QCOMPARE(c.widget.windowTitle(), QString("000002 不复权"));
    QCOMPARE(c.candles()->dataCount(), 0);
    QCOMPARE(c.graphNamed("ma5")->dataCount(), 0);
    QCOMPARE(paneSeriesWithData(c.pane()), 0);
    QCOMPARE(scaleLabels(), QString("///")); // no scale of the stock before

    // Emptied, it looks as a chart that never showed a stock.
    Chart fresh;
    fresh.widget.setTitleText(c.widget.titleText());
    QVector<QImage> pictures;
    for (Chart* chart : {&c, &fresh}) {
        chart->widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart->widget));
        QCoreApplication::processEvents(); // the tick spacing follows in a queued replot
        chart->plot->replot(QCustomPlot::rpImmediateRefresh);
        pictures << chart->widget.grab().toImage();
    }
    QCOMPARE(pictures.first(), pictures.last());
}

void TestCandlestickWidget::scalesNeverInExponentForm()
{
    Chart c;
    c.widget.setData(60, "600036", risingCloses(60), "day", "bfq");
    for (QCPAxis* axis : {c.plot->yAxis, c.pane()->axis(QCPAxis::atLeft)}) {
        axis->setRange(1e6, 3e6);
        c.plot->replot();
        const QString labels = QStringList(axis->tickVectorLabels().toList()).join("|");
        QVERIFY2(labels.contains("1000000") && !labels.contains('e'), qPrintable(labels));
    }
}

void TestCandlestickWidget::zeroAndNegativeCount()
{
    for (int count : {0, -5}) {
        Chart c;
        c.widget.setData(count, "600036", risingCloses(10), "day", "bfq");
        QCOMPARE(c.candles()->dataCount(), 0);
        QCOMPARE(c.graphNamed("ma5")->dataCount(), 0);
        QCOMPARE(c.title()->text(), QString());
        QCOMPARE(c.widget.windowTitle(), QString());
        QCOMPARE(c.plot->xAxis->range(), QCPRange(0, day));
        QCOMPARE(paneSeriesWithData(c.pane()), 0);
    }
}

void TestCandlestickWidget::indicatorMenuFilledOnce()
{
    Chart c;
    c.widget.setData(60, "600036", risingCloses(30), "day", "bfq");
    const QStringList names{"成交量", "MACD", "KDJ", "Boll"};
    QCOMPARE(texts(c.menuTitled("指标")->actions()), names);
    c.widget.setData(60, "600037", risingCloses(40), "day", "bfq");
    QCOMPARE(texts(c.menuTitled("指标")->actions()), names);
}

void TestCandlestickWidget::indicatorSwitchLeavesOnlyChosenHolder()
{
    Chart c;
    c.widget.setData(60, "600036", risingCloses(100), "day", "bfq");
    auto* vol = c.pane()->findChild<VolumeHolder*>();
    auto* kdj = c.pane()->findChild<KDJHolder*>();
    auto* macd = c.pane()->findChild<MacdHolder*>();
    QCOMPARE(vol->vol5->dataCount(), 60);
    QCOMPARE(paneSeriesWithData(c.pane()), 3); // falling bars: none

    c.action("指标", "KDJ")->trigger();
    QCOMPARE(kdj->k->dataCount(), 60);
    QCOMPARE(kdj->j->dataCount(), 60);
    QCOMPARE(paneSeriesWithData(c.pane()), 3);

    c.action("指标", "MACD")->trigger();
    QCOMPARE(macd->diff->dataCount(), 60);
    QCOMPARE(kdj->k->dataCount(), 0);
    QCOMPARE(vol->vol5->dataCount(), 0);

    c.action("指标", "成交量")->trigger();
    QCOMPARE(vol->vol5->dataCount(), 60);
    QCOMPARE(macd->diff->dataCount(), 0);
    QCOMPARE(paneSeriesWithData(c.pane()), 3);

    // A new stock keeps the chosen indicator.
    c.action("指标", "KDJ")->trigger();
    c.widget.setData(60, "600037", risingCloses(30), "day", "bfq");
    QCOMPARE(kdj->k->dataCount(), 22);
    QCOMPARE(vol->vol5->dataCount(), 0);
}

void TestCandlestickWidget::indicatorSwitchKeepsPriceView()
{
    Chart c;
    c.widget.setData(60, "600036", risingCloses(30), "day", "bfq");
    const QCPRange x = c.plot->xAxis->range();
    const QCPRange y = c.plot->yAxis->range();
    QCOMPARE(x, QCPRange(0, 61 * day));
    for (const char* name : {"Boll", "KDJ", "成交量"}) {
        c.action("指标", name)->trigger();
        QCOMPARE(c.plot->xAxis->range(), x);
        QCOMPARE(c.plot->yAxis->range(), y);
        QCOMPARE(c.pane()->axis(QCPAxis::atBottom)->range(), x);
        QCOMPARE(candleKeys(c.candles()).size(), 30);
    }
    c.widget.refreshIndicators(risingCloses(30));
    QCOMPARE(c.plot->xAxis->range(), x);
    QCOMPARE(c.plot->yAxis->range(), y);
}

void TestCandlestickWidget::paneValueAxisSpansItsSeries()
{
    Chart c;
    auto spansWithSmallMargin = [&](const QVector<QCPAbstractPlottable*>& series) {
        const QCPRange data = extent(series);
        const QCPRange axis = c.pane()->axis(QCPAxis::atLeft)->range();
        return axis.lower < data.lower && axis.upper > data.upper && axis.size() < data.size() * 1.25;
    };
    c.widget.setData(60, "600036", risingCloses(40), "day", "bfq");
    auto* kdj = c.pane()->findChild<KDJHolder*>();
    auto* boll = c.pane()->findChild<BollHolder*>();

    c.action("指标", "KDJ")->trigger();
    QVERIFY(spansWithSmallMargin({kdj->k, kdj->d, kdj->j}));
    c.widget.setData(60, "600037", climbAndFall(), "day", "bfq");
    const QCPRange j = extent({kdj->j});
    // The indicator holds J within 0..100; this series drives it to both ends.
    QCOMPARE(j.lower, 0.0);
    QCOMPARE(j.upper, 100.0);
    QVERIFY(spansWithSmallMargin({kdj->k, kdj->d, kdj->j}));

    // The bands and their bars fill the pane, not only its top.
    c.action("指标", "Boll")->trigger();
    QVERIFY(spansWithSmallMargin({boll->candles, boll->upper, boll->middle, boll->lower}));
}

void TestCandlestickWidget::paneFollowsLaterCount()
{
    Chart c;
    c.widget.setData(30, "600036", risingCloses(100), "day", "bfq");
    auto* vol = c.pane()->findChild<VolumeHolder*>();
    QCOMPARE(vol->vol5->dataCount(), 30);
    c.widget.setData(60, "600036", risingCloses(100), "day", "bfq");
    QCOMPARE(candleKeys(c.candles()).size(), 60);
    QCOMPARE(vol->vol5->dataCount(), 60);
    QCOMPARE(vol->vol5->data()->constBegin()->key, day);
}

void TestCandlestickWidget::choicesAskForBarsAndMarkThem()
{
    Chart c;
    QSignalSpy asked(&c.widget, &CandlestickWidget::periodOrAdjustChosen);
    const auto checked = [&c](const char* menu) {
        QStringList on;
        for (QAction* a : c.menuTitled(menu)->actions())
            if (a->isChecked())
                on << a->text();
        return on;
    };
    QCOMPARE(checked("K线"), QStringList{"日线"});
    QCOMPARE(checked("除权"), QStringList{"后复权"});

    c.widget.setData(60, "600036", alternating(40), "day", "hfq");
    const QVector<double> keys = candleKeys(c.candles());
    const QCPRange y = c.plot->yAxis->range();

    // A choice asks for bars, keeping the other submenu's; until they come, nothing changes.
    struct Choice { const char* menu; const char* text; const char* period; const char* adjust; };
    const Choice choices[] = {{"K线", "周线", "week", "hfq"}, {"除权", "前复权", "week", "qfq"},
                              {"K线", "月线", "month", "qfq"}, {"除权", "不复权", "month", "bfq"}};
    for (const Choice& ch : choices) {
        c.action(ch.menu, ch.text)->trigger();
        QCOMPARE(asked.takeFirst(), (QVariantList{QString(ch.period), QString(ch.adjust)}));
        QCOMPARE(checked(ch.menu), QStringList{ch.text});
        QCOMPARE(c.widget.periodCode(), QString("day"));
        QCOMPARE(c.widget.adjustCode(), QString("hfq"));
        QCOMPARE(candleKeys(c.candles()), keys);
        QCOMPARE(c.plot->yAxis->range(), y);
    }
    QVERIFY(asked.isEmpty());

    c.widget.setData(60, "600036", alternating(20), "week", "qfq");
    QCOMPARE(checked("K线"), QStringList{"周线"});
    QCOMPARE(checked("除权"), QStringList{"前复权"});
    QCOMPARE(c.widget.periodCode(), QString("week"));
    QCOMPARE(c.widget.adjustCode(), QString("qfq"));
}

void TestCandlestickWidget::indicatorBeforeData()
{
    Chart c;
    QVERIFY(c.menuTitled("指标")->actions().isEmpty());
    c.widget.doAction("KDJ"); // nothing to choose from yet; must not fail
    QVERIFY(c.pane()->plottables().isEmpty());
    c.widget.setData(60, "600036", risingCloses(20), "day", "bfq");
    QCOMPARE(c.pane()->findChild<VolumeHolder*>()->vol5->dataCount(), 20);
}

void TestCandlestickWidget::rightClickOpensMenuAtCursor()
{
    Chart c;
    c.widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c.widget));
    const QPoint cursor(300, 200);
    QCursor::setPos(cursor);
    QMenu* top = c.topMenu();
    QWidget* popup = nullptr;
    QPoint popupPos;
    QTimer::singleShot(50, [&] {
        popup = QApplication::activePopupWidget();
        if (popup) {
            popupPos = popup->pos();
            popup->close();
        }
    });
    QTest::mousePress(c.plot, Qt::RightButton, Qt::NoModifier, QPoint(100, 100));
    QCOMPARE(popup, static_cast<QWidget*>(top));
    QCOMPARE(popupPos, QCursor::pos());
    QTest::mouseRelease(c.plot, Qt::RightButton, Qt::NoModifier, QPoint(100, 100));
}

void TestCandlestickWidget::otherClicksDoNothing_data()
{
    QTest::addColumn<int>("buttonValue");
    QTest::addColumn<bool>("released");
    QTest::newRow("left") << int(Qt::LeftButton) << true;
    QTest::newRow("middle") << int(Qt::MiddleButton) << true;
    // A dialog that opened during the press took the release.
    QTest::newRow("left, release lost") << int(Qt::LeftButton) << false;
}

void TestCandlestickWidget::otherClicksDoNothing()
{
    QFETCH(int, buttonValue);
    QFETCH(bool, released);
    const auto button = Qt::MouseButton(buttonValue);
    Chart c;
    c.widget.setData(60, "600036", risingCloses(30), "day", "bfq");
    c.widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c.widget));
    const QCPRange x = c.plot->xAxis->range();
    QWidget* popup = reinterpret_cast<QWidget*>(1);
    QTimer::singleShot(50, [&] { popup = QApplication::activePopupWidget(); });
    QTest::mousePress(c.plot, button, Qt::NoModifier, QPoint(200, 100));
    if (released)
        QTest::mouseRelease(c.plot, button, Qt::NoModifier, QPoint(200, 100));
    QMouseEvent move(QEvent::MouseMove, QPoint(100, 100), Qt::NoButton, Qt::NoButton, {});
    QApplication::sendEvent(c.plot, &move); // no button held
    QTest::qWait(100);
    QVERIFY(!popup);
    QVERIFY(!c.topMenu()->isVisible());
    QCOMPARE(c.plot->xAxis->range(), x);
    QCOMPARE(c.candles()->dataCount(), 30);
}

void TestCandlestickWidget::candleColours()
{
    Chart c;
    c.widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c.widget));
    c.widget.setData(60, "600036", alternating(60), "day", "bfq");
    c.plot->replot(QCustomPlot::rpImmediateRefresh);
    const QImage image = c.widget.grab().toImage();
    const QPoint offset = c.plot->mapTo(&c.widget, QPoint(0, 0));
    // Inside every body (12..18), clear of the average lines near 14.4..15.6.
    const int y = int(c.plot->yAxis->coordToPixel(17.0)) + offset.y();
    int rising = 0;
    int falling = 0;
    for (int i = 0; i < 60; ++i) {
        const int x = int(c.plot->xAxis->coordToPixel((i + 1) * day)) + offset.x();
        const QColor seen = image.pixelColor(x, y);
        const QColor wanted = i % 2 == 0 ? QColor(180, 90, 90) : QColor(100, 180, 110);
        QVERIFY2(near(seen, wanted), qPrintable(QString("bar %1 at (%2, %3) is %4").arg(i).arg(x).arg(y).arg(seen.name())));
        (i % 2 == 0 ? rising : falling)++;
    }
    QCOMPARE(rising, 30);
    QCOMPARE(falling, 30);
    // Between two candles the black background shows: the gap is about a
    // pixel wide, so look at its darkest pixel.
    const int gapFrom = int(c.plot->xAxis->coordToPixel(1.45 * day)) + offset.x();
    const int gapTo = int(c.plot->xAxis->coordToPixel(1.55 * day)) + offset.x() + 1;
    QColor gap = image.pixelColor(gapFrom, y);
    for (int x = gapFrom; x <= gapTo; ++x) {
        if (qGray(image.pixel(x, y)) < qGray(gap.rgb()))
            gap = image.pixelColor(x, y);
    }
    QVERIFY(!near(gap, QColor(180, 90, 90), 30));
    QVERIFY(!near(gap, QColor(100, 180, 110), 30));
}

void TestCandlestickWidget::axesReadOnBlack()
{
    Chart c;
    c.widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c.widget));
    c.widget.setData(60, "600036", risingCloses(60), "day", "bfq");
    QCoreApplication::processEvents(); // the tick spacing follows in a queued replot
    c.plot->replot(QCustomPlot::rpImmediateRefresh);
    const QImage image = c.plot->grab().toImage();
    auto count = [&](const QRect& area, const std::function<bool(QColor)>& wanted) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += wanted(image.pixelColor(x, y)) ? 1 : 0;
        return n;
    };
    auto light = [](QColor p) { return p.red() >= 150 && p.green() >= 150 && p.blue() >= 150; };

    // Left of the candles stand the price labels and ticks, left of the pane
    // its value labels; the date label stands between the two.
    const QRect candles = c.plot->axisRect()->rect();
    const QRect pane = c.pane()->rect();
    QVERIFY(count(QRect(0, candles.top(), candles.left(), candles.height()), light) > 50);
    QVERIFY(count(QRect(0, pane.top(), pane.left(), pane.height()), light) > 20);
    QVERIFY(count(QRect(candles.left(), candles.bottom() + 1, candles.width(),
                        pane.top() - candles.bottom() - 1),
                  light)
            > 20);

    // Grid lines dim but visible along a price tick (the candles climb
    // across it, so most of the line is clear of them).
    const QVector<double> ticks = c.plot->yAxis->tickVector();
    QVERIFY(!ticks.isEmpty());
    const int tickY = int(c.plot->yAxis->coordToPixel(ticks.at(ticks.size() / 2)));
    auto dimGrey = [](QColor p) {
        return p.red() == p.green() && p.green() == p.blue() && p.red() >= 50 && p.red() <= 120;
    };
    QVERIFY(count(QRect(candles.left(), tickY - 1, candles.width(), 3), dimGrey) > 50);
}

void TestCandlestickWidget::timeAxisShowsBarDates()
{
    // Trading days across the turn of a year, and weekly bars.
    QVector<Stock> daily = risingCloses(80);
    QDate d(2016, 11, 1); // a Tuesday
    for (Stock& bar : daily) {
        bar.date = d.toString(Qt::ISODate);
        d = d.addDays(d.dayOfWeek() == 5 ? 3 : 1);
    }
    QVector<Stock> weekly = risingCloses(60);
    for (int i = 0; i < weekly.size(); ++i)
        weekly[i].date = QDate(2016, 1, 1).addDays(7 * i).toString(Qt::ISODate);

    Chart c;
    c.widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c.widget));
    QCPAxis* axis = c.plot->xAxis;
    QCOMPARE(axis->tickLabelColor(), ChartStyle::axisColor());
    const QFontMetrics metrics(axis->tickLabelFont());
    QVector<QString> labels;
    auto checkLabels = [&](const QVector<Stock>& bars, const char* period) {
        c.widget.setData(60, "600036", bars, period, "hfq");
        QCoreApplication::processEvents(); // the spacing follows in a queued replot
        c.plot->replot(QCustomPlot::rpImmediateRefresh);
        const QVector<Stock> shown = bars.mid(bars.size() - 60);
        const QVector<double> ticks = axis->tickVector();
        labels = axis->tickVectorLabels();
        QVERIFY2(ticks.size() >= 2 && ticks.size() <= 12, qPrintable(QString::number(ticks.size())));
        QCOMPARE(ticks.last(), 60 * day); // the latest day is always named
        int lastYear = 0;
        for (int t = 0; t < ticks.size(); ++t) {
            const int i = qRound(ticks.at(t) / day) - 1;
            QCOMPARE(ticks.at(t), (i + 1) * day);
            const QDate date = QDate::fromString(shown.at(i).date, Qt::ISODate);
            QCOMPARE(labels.at(t), date.toString(date.year() != lastYear ? "yyyy-MM-dd" : "MM-dd"));
            lastYear = date.year();
            if (t == 0)
                continue;
            const double gap = axis->coordToPixel(ticks.at(t)) - axis->coordToPixel(ticks.at(t - 1));
            const QString prev = labels.at(t - 1);
            const int room = (metrics.horizontalAdvance(labels.at(t)) + metrics.horizontalAdvance(prev)) / 2;
            QVERIFY2(gap > room + 10, qPrintable(prev + " " + labels.at(t))); // neighbours stand clear
        }
        QCOMPARE(c.pane()->axis(QCPAxis::atBottom)->range(), axis->range());
    };

    checkLabels(daily, "day");
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(axis->label(), QString("日期"));
    const QVector<QString> wide = labels;
    QVERIFY(wide.first().startsWith("2016-"));
    QVERIFY(std::any_of(wide.begin(), wide.end(), [](const QString& l) { return l.startsWith("2017-"); }));
    checkLabels(weekly, "week");
    if (QTest::currentTestFailed())
        return;
    QVERIFY(labels.first().startsWith("2016-"));

    // A narrower chart keeps its labels apart by showing fewer of them.
    c.widget.setFixedSize(480, 320);
    checkLabels(daily, "day");
    QVERIFY2(labels.size() < wide.size(), qPrintable(QString("%1 < %2").arg(labels.size()).arg(wide.size())));
}

void TestCandlestickWidget::overlayText()
{
    auto redPixels = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += near(image.pixelColor(x, y), QColor(184, 26, 26), 0) ? 1 : 0;
        return n;
    };
    Chart c;
    c.widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c.widget));
    c.plot->replot(QCustomPlot::rpImmediateRefresh);
    QCOMPARE(redPixels(c.plot->grab().toImage()), 0);
    c.widget.setOverlayText("停牌", false);
    c.plot->replot(QCustomPlot::rpImmediateRefresh);
    QVERIFY(redPixels(c.plot->grab().toImage()) > 20);
    c.widget.setTitleText("招商银行");
    QCOMPARE(c.title()->text(), QString("招商银行"));
}

QTEST_MAIN(TestCandlestickWidget)
#include "tst_candlestickwidget.moc"
