#include "chart/bollholder.h"
#include "chart/indexviewproxy.h"
#include "chart/kdjholder.h"
#include "chart/macdholder.h"
#include "chart/volumeholder.h"

#include <QtTest>

namespace {

constexpr double day = 86400.0;

Stock bar(float open, float close, float volume = 10000.0f)
{
    Stock s;
    s.code = "600036";
    s.open = open;
    s.close = close;
    s.high = qMax(open, close) + 0.5f;
    s.low = qMin(open, close) - 0.5f;
    s.volume = volume;
    return s;
}

// Bar i has volume (i + 1) x 10000 and rises on even i, falls on odd i.
QVector<Stock> numberedBars(int n)
{
    QVector<Stock> bars;
    for (int i = 0; i < n; ++i)
        bars.append(i % 2 == 0 ? bar(10, 11, (i + 1) * 10000.0f) : bar(11, 10, (i + 1) * 10000.0f));
    return bars;
}

template <typename Plottable>
QVector<double> keysOf(Plottable* p)
{
    QVector<double> keys;
    for (auto it = p->data()->constBegin(); it != p->data()->constEnd(); ++it)
        keys.append(it->key);
    return keys;
}

template <typename Plottable>
double valueAt(Plottable* p, double key)
{
    auto it = p->data()->findBegin(key, false);
    if (it == p->data()->constEnd() || it->key != key)
        return qQNaN();
    return it->value;
}

QVector<double> dayKeys(int from, int to)
{
    QVector<double> keys;
    for (int i = from; i <= to; ++i)
        keys.append(i * day);
    return keys;
}

struct Pane
{
    QCustomPlot plot;
    IndexViewProxy* view;
    Pane() : view(new IndexViewProxy(&plot, 1, 0)) {}
    template <typename H>
    H* holder() const
    {
        return view->findChild<H*>();
    }
    int plottablesWithData()
    {
        int n = 0;
        for (int i = 0; i < plot.plottableCount(); ++i) {
            if (plot.plottable(i)->interface1D()->dataCount() > 0)
                ++n;
        }
        return n;
    }
};

} // namespace

class TestIndexViewProxy : public QObject
{
    Q_OBJECT

private slots:
    void layoutAndCoupledRanges();
    void holdersCreatedOnce();
    void windowOfLongHistory();
    void threeBars();
    void flatBarIsRisingAndZeroMacdIsRed();
    void macdValues();
    void bollBandsAndOhlc();
    void showCurrentChangesNothing();
    void unknownNameHidesAllUntilNextData();
    void windowFollowsLatestCount();
    void emptyBarsClearEverything();
};

void TestIndexViewProxy::layoutAndCoupledRanges()
{
    Pane p;
    QCOMPARE(p.plot.plotLayout()->element(1, 0), p.view);
    QCOMPARE(p.view->maximumSize().height(), 100);
    QVERIFY(!p.view->axis(QCPAxis::atBottom)->visible());
    // The value axis stays, so the indicator can be read off it.
    QVERIFY(p.view->axis(QCPAxis::atLeft)->visible());
    QCOMPARE(p.plot.plotLayout()->rowSpacing(), 0);

    p.plot.xAxis->setRange(0, 61 * day);
    QCOMPARE(p.view->axis(QCPAxis::atBottom)->range(), QCPRange(0, 61 * day));
    p.view->axis(QCPAxis::atBottom)->setRange(5 * day, 20 * day);
    QCOMPARE(p.plot.xAxis->range(), QCPRange(5 * day, 20 * day));
}

void TestIndexViewProxy::holdersCreatedOnce()
{
    Pane p;
    QVERIFY(p.view->indexNames().isEmpty());
    p.view->setData(numberedBars(10)); // no holders yet: ignored
    p.view->showIndex("KDJ");
    QCOMPARE(p.plot.plottableCount(), 0);
    p.view->initHolders(60);
    const QStringList names{"成交量", "MACD", "KDJ", "Boll"};
    QCOMPARE(p.view->indexNames(), names);
    const int plottables = p.plot.plottableCount();
    QCOMPARE(plottables, 15); // 4 + 4 + 3 + 4
    p.view->initHolders(30);
    QCOMPARE(p.view->findChildren<IndexHolder*>().size(), 4);
    QCOMPARE(p.plot.plottableCount(), plottables);
    for (int i = 0; i < p.plot.plottableCount(); ++i)
        QCOMPARE(p.plot.plottable(i)->keyAxis(), p.view->axis(QCPAxis::atBottom));
    for (IndexHolder* h : p.view->findChildren<IndexHolder*>())
        QVERIFY(!h->isVisible());
}

void TestIndexViewProxy::windowOfLongHistory()
{
    Pane p;
    p.view->initHolders(60);
    p.view->setData(numberedBars(480));
    auto* vol = p.holder<VolumeHolder>();
    QVERIFY(vol->isVisible());

    // Window bars 420..479 at keys 1..60; bar 420 (even) rises.
    QVector<double> all = keysOf(vol->upBars) + keysOf(vol->downBars);
    std::sort(all.begin(), all.end());
    QCOMPARE(all, dayKeys(1, 60));
    QCOMPARE(keysOf(vol->upBars).first(), 1 * day);
    QCOMPARE(keysOf(vol->downBars).first(), 2 * day);
    QCOMPARE(valueAt(vol->upBars, 1 * day), 421.0);
    QCOMPARE(valueAt(vol->downBars, 60 * day), 480.0);
    // The averages saw the bars before the window: at key 1 the 10-bar mean
    // is of volumes 412..421, at key 60 the 5-bar mean of 476..480.
    QCOMPARE(keysOf(vol->vol10), dayKeys(1, 60));
    QCOMPARE(valueAt(vol->vol10, 1 * day), 416.5);
    QCOMPARE(valueAt(vol->vol5, 60 * day), 478.0);
    // The value axis fits the volumes, with a small margin above the highest.
    const QCPRange r = p.view->axis(QCPAxis::atLeft)->range();
    QVERIFY(r.lower <= 416.5);
    QVERIFY2(r.upper > 480.0 && r.upper < 480.0 * 1.1, qPrintable(QString::number(r.upper)));
}

void TestIndexViewProxy::threeBars()
{
    Pane p;
    p.view->initHolders(60);
    const QVector<Stock> bars = numberedBars(3);
    p.view->setData(bars);
    auto* vol = p.holder<VolumeHolder>();
    QCOMPARE(keysOf(vol->upBars), (QVector<double>{1 * day, 3 * day}));
    QCOMPARE(keysOf(vol->downBars), (QVector<double>{2 * day}));
    QCOMPARE(keysOf(vol->vol5), dayKeys(1, 3));
    QCOMPARE(valueAt(vol->vol5, 3 * day), 0.0);
    QCOMPARE(valueAt(vol->vol10, 3 * day), 0.0);

    p.view->showIndex("MACD");
    p.view->setData(bars);
    auto* macd = p.holder<MacdHolder>();
    QCOMPARE(keysOf(macd->diff), dayKeys(2, 3));
    QCOMPARE(keysOf(macd->dea), dayKeys(2, 3));
    QCOMPARE(keysOf(macd->upBars).size() + keysOf(macd->downBars).size(), 2);

    p.view->showIndex("KDJ");
    p.view->setData(bars);
    QCOMPARE(p.plottablesWithData(), 0);

    p.view->showIndex("Boll");
    p.view->setData(bars);
    QCOMPARE(p.plottablesWithData(), 0);
}

void TestIndexViewProxy::flatBarIsRisingAndZeroMacdIsRed()
{
    Pane p;
    p.view->initHolders(60);
    QVector<Stock> bars(6, bar(10, 10));
    p.view->setData(bars);
    auto* vol = p.holder<VolumeHolder>();
    QCOMPARE(keysOf(vol->upBars), dayKeys(1, 6));
    QCOMPARE(vol->downBars->dataCount(), 0);

    p.view->showIndex("MACD");
    p.view->setData(bars);
    auto* macd = p.holder<MacdHolder>();
    QCOMPARE(keysOf(macd->upBars), dayKeys(2, 6));
    QCOMPARE(macd->downBars->dataCount(), 0);
    QCOMPARE(valueAt(macd->upBars, 6 * day), 0.0);
}

void TestIndexViewProxy::macdValues()
{
    // Closes 10 then 11: ema12 = 10 + 2/13, ema26 = 10 + 2/27,
    // dif = 2/13 - 2/27 = 0.0797721, dea = 0.2 dif, macd = 2 (dif - dea) = 1.6 dif.
    Pane p;
    p.view->initHolders(60);
    p.view->showIndex("MACD");
    p.view->setData({bar(10, 10), bar(10, 11), bar(11, 9)});
    auto* macd = p.holder<MacdHolder>();
    const double dif = 2.0 / 13 - 2.0 / 27;
    QVERIFY(qAbs(valueAt(macd->diff, 2 * day) - dif) < 1e-5);
    QVERIFY(qAbs(valueAt(macd->dea, 2 * day) - 0.2 * dif) < 1e-5);
    QVERIFY(qAbs(valueAt(macd->upBars, 2 * day) - 1.6 * dif) < 1e-5);
    // The third bar falls to 9, far enough to turn the bar negative.
    QCOMPARE(keysOf(macd->downBars), (QVector<double>{3 * day}));
    QVERIFY(valueAt(macd->downBars, 3 * day) < 0.0);
}

void TestIndexViewProxy::bollBandsAndOhlc()
{
    // Closes alternate 9 and 11: mean 10, standard deviation 1, so the bands
    // are 12 and 8. 25 bars shown 10: window bars 15..24, valid from bar 19
    // (window index 4, key 5).
    QVector<Stock> bars;
    for (int i = 0; i < 25; ++i)
        bars.append(i % 2 == 0 ? bar(10, 9) : bar(10, 11));
    Pane p;
    p.view->initHolders(10);
    p.view->showIndex("Boll");
    p.view->setData(bars);
    auto* boll = p.holder<BollHolder>();
    QCOMPARE(keysOf(boll->middle), dayKeys(5, 10));
    QCOMPARE(keysOf(boll->candles), dayKeys(5, 10));
    QVERIFY(qAbs(valueAt(boll->upper, 5 * day) - 12.0) < 1e-5);
    QVERIFY(qAbs(valueAt(boll->middle, 5 * day) - 10.0) < 1e-5);
    QVERIFY(qAbs(valueAt(boll->lower, 5 * day) - 8.0) < 1e-5);
    QCOMPARE(boll->candles->data()->constBegin()->open, 10.0);
    QCOMPARE(boll->candles->chartStyle(), QCPFinancial::csOhlc);
}

void TestIndexViewProxy::showCurrentChangesNothing()
{
    Pane p;
    p.view->initHolders(60);
    p.view->setData(numberedBars(20));
    auto* vol = p.holder<VolumeHolder>();
    p.view->showIndex("成交量");
    // Choosing another holder would have emptied this one's series.
    QCOMPARE(vol->vol5->dataCount(), 20);
    QVERIFY(vol->isVisible());
}

void TestIndexViewProxy::unknownNameHidesAllUntilNextData()
{
    Pane p;
    p.view->initHolders(60);
    p.view->setData(numberedBars(20));
    p.view->showIndex("RSI");
    for (IndexHolder* h : p.view->findChildren<IndexHolder*>())
        QVERIFY(!h->isVisible());
    p.view->setData(numberedBars(20));
    QVERIFY(p.holder<VolumeHolder>()->isVisible());
    QCOMPARE(p.holder<VolumeHolder>()->vol5->dataCount(), 20);
    QCOMPARE(p.plottablesWithData(), 4);
}

void TestIndexViewProxy::windowFollowsLatestCount()
{
    Pane p;
    p.view->initHolders(30);
    p.view->setData(numberedBars(100));
    QCOMPARE(keysOf(p.holder<VolumeHolder>()->vol5), dayKeys(1, 30));
    // A chart that now shows 60 bars gets 60 pane bars under them.
    p.view->initHolders(60);
    p.view->setData(numberedBars(100));
    QCOMPARE(keysOf(p.holder<VolumeHolder>()->vol5), dayKeys(1, 60));
    QCOMPARE(valueAt(p.holder<VolumeHolder>()->upBars, 1 * day), 41.0); // bar 40
}

void TestIndexViewProxy::emptyBarsClearEverything()
{
    Pane p;
    p.view->initHolders(60);
    p.view->setData(numberedBars(20));
    QVERIFY(p.plottablesWithData() > 0);
    p.view->setData(QVector<Stock>());
    QCOMPARE(p.plottablesWithData(), 0);
}

QTEST_MAIN(TestIndexViewProxy)
#include "tst_indexviewproxy.moc"
