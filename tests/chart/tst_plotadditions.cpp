#include "chart/plotadditions.h"

#include <QtTest>

class TestPlotAdditions : public QObject
{
    Q_OBJECT

private slots:
    void addGraphUsesDefaultAxes();
    void addGraphRejectsForeignAxes_data();
    void addGraphRejectsForeignAxes();
    void addGraphRejectsMissingAxis();
    void graphByName();
    void clearDataKeepsSettings();
    void clearDataOnEmptyAndNull();
};

void TestPlotAdditions::addGraphUsesDefaultAxes()
{
    QCustomPlot plot;
    QCPGraph* g = addGraph(&plot, "ma5");
    QVERIFY(g);
    QCOMPARE(g->name(), QString("ma5"));
    QCOMPARE(g->keyAxis(), plot.xAxis);
    QCOMPARE(g->valueAxis(), plot.yAxis);
    QCOMPARE(plot.graphCount(), 1);
    QCOMPARE(plot.graph(0), g);
}

void TestPlotAdditions::addGraphRejectsForeignAxes_data()
{
    QTest::addColumn<bool>("foreignKey");
    QTest::addColumn<bool>("foreignValue");
    QTest::newRow("key axis") << true << false;
    QTest::newRow("value axis") << false << true;
    QTest::newRow("both") << true << true;
}

void TestPlotAdditions::addGraphRejectsForeignAxes()
{
    QFETCH(bool, foreignKey);
    QFETCH(bool, foreignValue);
    QCustomPlot plot;
    QCustomPlot other;
    QTest::ignoreMessage(QtDebugMsg,
                         QRegularExpression("passed keyAxis or valueAxis doesn't have this QCustomPlot as parent"));
    QCPGraph* g = addGraph(&plot, "x", foreignKey ? other.xAxis : plot.xAxis,
                           foreignValue ? other.yAxis : plot.yAxis);
    QVERIFY(!g);
    QCOMPARE(plot.graphCount(), 0);
    QCOMPARE(plot.plottableCount(), 0);
    QCOMPARE(other.graphCount(), 0);
}

void TestPlotAdditions::addGraphRejectsMissingAxis()
{
    QCustomPlot plot;
    plot.axisRect()->removeAxis(plot.yAxis); // the plot resets yAxis to null
    QVERIFY(!plot.yAxis);
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("can't use default QCustomPlot xAxis or yAxis"));
    QVERIFY(!addGraph(&plot, "x"));
    QCOMPARE(plot.graphCount(), 0);
}

void TestPlotAdditions::graphByName()
{
    QCustomPlot plot;
    QCPGraph* first = addGraph(&plot, "ma5");
    QCPGraph* ma10 = addGraph(&plot, "ma10");
    QCPGraph* second = addGraph(&plot, "ma5");
    QVERIFY(first && ma10 && second && first != second);
    QCOMPARE(graph(&plot, "ma5"), first);
    QCOMPARE(graph(&plot, "ma10"), ma10);
    QVERIFY(!graph(&plot, "MA5"));
    QVERIFY(!graph(&plot, "ma"));
    QVERIFY(!graph(&plot, QString()));
    plot.removeGraph(first);
    QCOMPARE(graph(&plot, "ma5"), second);
}

void TestPlotAdditions::clearDataKeepsSettings()
{
    QCustomPlot plot;
    QCPGraph* g = addGraph(&plot, "line");
    g->setPen(QPen(Qt::cyan));
    g->setData({1, 2, 3}, {4, 5, 6});
    auto* bars = new QCPBars(plot.xAxis, plot.yAxis);
    bars->setName("bars");
    bars->setWidth(77760);
    bars->setData({1, 2}, {3, 4});
    auto* fin = new QCPFinancial(plot.xAxis, plot.yAxis);
    fin->setName("Candlestick");
    fin->setData({1}, {2}, {3}, {1}, {2.5});

    clearData(g);
    clearData(bars);
    clearData(fin);

    QCOMPARE(g->dataCount(), 0);
    QCOMPARE(bars->dataCount(), 0);
    QCOMPARE(fin->dataCount(), 0);
    QCOMPARE(g->name(), QString("line"));
    QCOMPARE(g->pen().color(), QColor(Qt::cyan));
    QCOMPARE(bars->name(), QString("bars"));
    QCOMPARE(bars->width(), 77760.0);
    QCOMPARE(fin->name(), QString("Candlestick"));
    QCOMPARE(g->keyAxis(), plot.xAxis);
    QCOMPARE(plot.plottableCount(), 3);

    // Cleared plottables take new data as before.
    g->addData(7, 8);
    QCOMPARE(g->dataCount(), 1);
    QCOMPARE(g->data()->at(0)->value, 8.0);
}

void TestPlotAdditions::clearDataOnEmptyAndNull()
{
    QCustomPlot plot;
    QCPGraph* g = addGraph(&plot, "g");
    clearData(g);
    clearData(g);
    QCOMPARE(g->dataCount(), 0);
    clearData(static_cast<QCPGraph*>(nullptr));
    clearData(static_cast<QCPBars*>(nullptr));
    clearData(static_cast<QCPFinancial*>(nullptr));
}

QTEST_MAIN(TestPlotAdditions)
#include "tst_plotadditions.moc"
