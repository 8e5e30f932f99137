#include "chart/candlestickwidget.h"

#include "analysis/indicators/manindicator.h"
#include "analysis/klinerange.h"
#include "chart/bardateticker.h"
#include "chart/chartstyle.h"
#include "chart/indexviewproxy.h"
#include "chart/plainnumberticker.h"
#include "chart/plotadditions.h"
#include "chart/qwttext.h"
#include "core/utils.h"

#include <qcustomplot.h>

#include <QActionGroup>
#include <QCoreApplication>
#include <QCursor>
#include <QIcon>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalMapper>
#include <QStringList>
#include <QVBoxLayout>

#include <cmath>

// Outside any namespace, as Q_INIT_RESOURCE requires; the library is static,
// so its resources are registered only when asked for.
static void initChartResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(chart);
        return true;
    }();
    Q_UNUSED(done);
}

namespace {

// The bars the chart starts with, and that its title therefore leaves unsaid.
const QString kStartPeriod = QStringLiteral("day");
const QString kStartAdjust = QStringLiteral("hfq");

// The time axis's ticker, which labels the shown bars with their dates.
BarDateTicker* dateTicker(const QCustomPlot* plot)
{
    return dynamic_cast<BarDateTicker*>(plot->xAxis->ticker().data());
}

// The latest n entries of a vector (all of them when it holds fewer).
template <typename T>
QVector<T> lastEntries(const QVector<T>& v, int n)
{
    return v.mid(qMax(v.size() - n, 0));
}

} // namespace

CandlestickWidget::CandlestickWidget(bool embedded, QWidget* parent)
    : QWidget(parent)
    , embedded(embedded)
    , ma5Indicator(std::make_unique<MaNIndicator>(5))
    , ma10Indicator(std::make_unique<MaNIndicator>(10))
    , ma20Indicator(std::make_unique<MaNIndicator>(20))
{
    initChartResources();
    setWindowTitle(QStringLiteral("股票日K"));
    setWindowIcon(QIcon(QStringLiteral(":logo/pelo.png")));
    if (!embedded)
        setFixedSize(960, 320);

    auto* layout = new QVBoxLayout;
    setLayout(layout);

    plot = new QCustomPlot;
    plot->setBackground(QBrush(Qt::black, Qt::SolidPattern));
    plot->setLocale(QLocale(QLocale::Chinese, QLocale::China));
    plot->axisRect()->setupFullAxesBox(false);
    plot->setInteractions(QCP::iRangeDrag);
    layout->addWidget(plot, 0, Qt::Alignment());

    titleElement = new QCPTextElement(plot);
    titleElement->setTextColor(QColor(244, 244, 244));
    QFont font;
    font.setPointSize(16);
    titleElement->setFont(font);
    titleElement->setText(QStringLiteral("--"));
    plot->plotLayout()->insertRow(0);
    plot->plotLayout()->addElement(0, 0, titleElement);

    setupCandles();
    setupMaGraphs();

    mapper = new QSignalMapper(this);
    indexView = new IndexViewProxy(plot, 2, 0);
    // The candles carry the price axis and the dates below them: they get
    // three parts of the height to the indicator pane's one.
    plot->plotLayout()->setRowStretchFactor(1, 3.0);
    plot->plotLayout()->setRowStretchFactor(2, 1.0);

    // The price and time axes must read on the black background. The time
    // axis labels a few of the shown bars with their dates; the keys carry
    // none.
    ChartStyle::colourAxis(plot->yAxis);
    ChartStyle::colourAxis(plot->xAxis);
    plot->yAxis->setTicker(QSharedPointer<PlainNumberTicker>::create());
    plot->xAxis->setTicker(QSharedPointer<BarDateTicker>::create());
    plot->xAxis->setSubTicks(false);
    // The newest bar's label is centred on it: keep room for its right half.
    QMargins margins = plot->axisRect()->minimumMargins();
    margins.setRight(qMax(margins.right(), ChartStyle::dateLabelWidth(plot->xAxis) / 2));
    plot->axisRect()->setMinimumMargins(margins);

    plot->rescaleAxes(false);
    plot->xAxis->scaleRange(1.025, plot->xAxis->range().center());
    plot->yAxis->scaleRange(1.1, plot->yAxis->range().center());
    // No stock yet: the same empty look as a chart emptied of one.
    showScales(false);

    menu = new QMenu(this);
    auto* adjustMenu = new QMenu(QStringLiteral("除权"), menu);
    adjustGroup = new QActionGroup(this);
    addChoice(adjustMenu, adjustGroup, QStringLiteral("不复权"), QStringLiteral("bfq"));
    addChoice(adjustMenu, adjustGroup, QStringLiteral("前复权"), QStringLiteral("qfq"));
    addChoice(adjustMenu, adjustGroup, QStringLiteral("后复权"), QStringLiteral("hfq"));
    menu->addMenu(adjustMenu);
    indexMenu = new QMenu(QStringLiteral("指标"), menu);
    menu->addMenu(indexMenu);
    auto* periodMenu = new QMenu(QStringLiteral("K线"), menu);
    periodGroup = new QActionGroup(this);
    addChoice(periodMenu, periodGroup, QStringLiteral("日线"), QStringLiteral("day"));
    addChoice(periodMenu, periodGroup, QStringLiteral("周线"), QStringLiteral("week"));
    addChoice(periodMenu, periodGroup, QStringLiteral("月线"), QStringLiteral("month"));
    menu->addMenu(periodMenu);
    // Until bars say otherwise: the daily back-adjusted bars that a stock's
    // history is first fetched as.
    markChoice(adjustGroup, kStartAdjust);
    markChoice(periodGroup, kStartPeriod);

    connect(mapper, &QSignalMapper::mappedString, this, &CandlestickWidget::doAction);
    connect(plot, &QCustomPlot::mousePress, this, &CandlestickWidget::onMouseClick);
    plot->installEventFilter(this);
    // The axes' sizes are known only once a replot has laid them out; a
    // changed size (a resized window) gets its tick spacing in one more.
    connect(plot, &QCustomPlot::afterReplot, this, [this] {
        const bool price = ChartStyle::spaceTicks(plot->yAxis);
        const bool pane = ChartStyle::spaceTicks(indexView->axis(QCPAxis::atLeft));
        const bool dates = ChartStyle::spaceDateTicks(plot->xAxis);
        if (price || pane || dates)
            plot->replot(QCustomPlot::rpQueuedReplot);
    });

    textLayer = new vesk::QwtText(plot, QString(), vesk::QwtText::AutoText);
    textLayer->setAntialiased(true);
    textLayer->setColor(QColor(184, 26, 26));
    font.setPointSize(15);
    textLayer->setFont(font);
}

CandlestickWidget::~CandlestickWidget() = default;

void CandlestickWidget::setupCandles()
{
    candles = new QCPFinancial(plot->xAxis, plot->yAxis);
    candles->setName(QStringLiteral("Candlestick"));
    candles->setChartStyle(QCPFinancial::csCandlestick);
    ChartStyle::colourPriceBars(candles);
}

void CandlestickWidget::setupMaGraphs()
{
    addGraph(plot, QStringLiteral("ma5"), nullptr, nullptr)->setPen(QPen(Qt::yellow));
    addGraph(plot, QStringLiteral("ma10"), nullptr, nullptr)->setPen(QPen(Qt::cyan));
    addGraph(plot, QStringLiteral("ma20"), nullptr, nullptr)->setPen(QPen(Qt::gray));
}

QAction* CandlestickWidget::addMappedAction(const QString& text, QSignalMapper* signalMapper)
{
    auto* action = new QAction(text, this);
    connect(action, &QAction::triggered, signalMapper, qOverload<>(&QSignalMapper::map));
    signalMapper->setMapping(action, text);
    return action;
}

QAction* CandlestickWidget::addChoice(QMenu* submenu, QActionGroup* group, const QString& text,
                                      const QString& code)
{
    QAction* action = addMappedAction(text, mapper);
    action->setCheckable(true);
    action->setData(code);
    group->addAction(action); // exclusive: one checked entry per submenu
    submenu->addAction(action);
    return action;
}

bool CandlestickWidget::markChoice(QActionGroup* group, const QString& code)
{
    for (QAction* action : group->actions()) {
        if (action->data().toString() == code) {
            action->setChecked(true);
            return true;
        }
    }
    return false;
}

QString CandlestickWidget::chosenCode(const QActionGroup* group)
{
    const QAction* checked = group->checkedAction();
    return checked ? checked->data().toString() : QString();
}

QString CandlestickWidget::titleFor(const QString& stockCode, const QString& barPeriod,
                                    const QString& barAdjust)
{
    QString title = oneLineText(stockCode); // the service's code, on a one-line title
    if (barPeriod != kStartPeriod) {
        if (barPeriod == QLatin1String("week"))
            title += QStringLiteral(" 周K");
        else if (barPeriod == QLatin1String("month"))
            title += QStringLiteral(" 月K");
        else if (barPeriod == QLatin1String("day"))
            title += QStringLiteral(" 日K");
    }
    if (barAdjust != kStartAdjust) {
        if (barAdjust == QLatin1String("qfq"))
            title += QStringLiteral(" 前复权");
        else if (barAdjust == QLatin1String("bfq"))
            title += QStringLiteral(" 不复权");
        else if (barAdjust == QLatin1String("hfq"))
            title += QStringLiteral(" 后复权");
    }
    return title;
}

QString CandlestickWidget::titleText() const
{
    return titleElement->text();
}

void CandlestickWidget::setData(int newCount, const QString& newCode, const QVector<Stock>& newBars,
                                const QString& newPeriod, const QString& newAdjust)
{
    if (newCode.isEmpty())
        return;
    count = newCount;
    code = newCode;
    period = newPeriod;
    adjust = newAdjust;
    markChoice(periodGroup, newPeriod);
    markChoice(adjustGroup, newAdjust);
    titleElement->setText(titleFor(newCode, newPeriod, newAdjust));
    if (newBars.isEmpty()) {
        // Another stock's candles under this code would be read as this one's.
        setWindowTitle(titleElement->text());
        clearPlot();
        return;
    }
    fillChart(newCount, newBars);
}

void CandlestickWidget::clear()
{
    code.clear();
    titleElement->setText(QStringLiteral("--"));
    setWindowTitle(QStringLiteral("股票日K"));
    clearPlot();
}

void CandlestickWidget::clearPlot()
{
    bars.clear();
    clearData(candles);
    for (const char* name : {"ma5", "ma10", "ma20"})
        clearData(graph(plot, QLatin1String(name)));
    indexView->setData(QVector<Stock>());
    if (BarDateTicker* ticker = dateTicker(plot))
        ticker->setDates({});
    showScales(false);
    plot->replot(QCustomPlot::rpRefreshHint);
}

void CandlestickWidget::showScales(bool shown)
{
    // The axes keep the ranges of the last bars drawn; an emptied chart must
    // not offer those as the scales of the stock now loading, nor draw its
    // grid lines where that stock's ticks stood.
    for (QCPAxis* axis : {plot->yAxis, indexView->axis(QCPAxis::atLeft)}) {
        axis->setTicks(shown);
        axis->setTickLabels(shown);
        axis->grid()->setVisible(shown);
    }
    plot->xAxis->setLabel(shown ? QStringLiteral("日期") : QString());
    plot->yAxis->setLabel(shown ? QStringLiteral("价格") : QString());
}

void CandlestickWidget::fillChart(int newCount, const QVector<Stock>& allBars)
{
    if (allBars.isEmpty())
        return;
    // A negative count would index before the series; it shows nothing.
    newCount = qMax(0, newCount);
    count = newCount;
    indexView->initHolders(newCount);
    if (indexMenu->actions().isEmpty()) {
        for (const QString& name : indexView->indexNames())
            indexMenu->addAction(addMappedAction(name, mapper));
    }

    QCPGraph* ma5 = graph(plot, QStringLiteral("ma5"));
    QCPGraph* ma10 = graph(plot, QStringLiteral("ma10"));
    QCPGraph* ma20 = graph(plot, QStringLiteral("ma20"));
    clearData(ma5);
    clearData(ma10);
    clearData(ma20);

    ma5Indicator->reset();
    ma10Indicator->reset();
    ma20Indicator->reset();

    // The averages see the whole history given, not only the bars shown.
    bars = allBars;
    QVector<IndicatorValue> values5, values10, values20;
    values5.reserve(bars.size());
    values10.reserve(bars.size());
    values20.reserve(bars.size());
    for (const Stock& bar : qAsConst(bars)) {
        values5.append(ma5Indicator->push(bar));
        values10.append(ma10Indicator->push(bar));
        values20.append(ma20Indicator->push(bar));
    }

    bars = lastEntries(bars, newCount);

    int highIndex = 0;
    int lowIndex = 0;
    float high = 0.0f;
    float low = 0.0f;
    findHighestLowest(bars, &highIndex, &lowIndex, &high, &low);

    // The x range follows count, so a short history stands at the left.
    plot->xAxis->setRange(0.0, (newCount + 1) * ChartStyle::keyStep);
    // A 1 % margin on each side; taken from the magnitude so that a negative
    // forward-adjusted low still stays inside.
    plot->yAxis->setRange(low - std::fabs(low) * 0.01, high + std::fabs(high) * 0.01);

    values5 = lastEntries(values5, newCount);
    values10 = lastEntries(values10, newCount);
    values20 = lastEntries(values20, newCount);

    QString titleText;
    QStringList dates;
    dates.reserve(bars.size());
    QVector<double> keys, opens, highs, lows, closes;
    keys.reserve(bars.size());
    opens.reserve(bars.size());
    highs.reserve(bars.size());
    lows.reserve(bars.size());
    closes.reserve(bars.size());
    qint64 keyStep = 0;
    for (int i = 0; i < bars.size(); ++i) {
        keyStep += static_cast<qint64>(ChartStyle::keyStep);
        const double key = static_cast<double>(keyStep);
        const Stock& bar = bars.at(i);
        if (i == 0)
            titleText = titleFor(bar.code, period, adjust);
        keys.append(key);
        dates.append(bar.date);
        opens.append(bar.open);
        highs.append(bar.high);
        lows.append(bar.low);
        closes.append(bar.close);
        if (values5.at(i).valid)
            ma5->addData(key, values5.at(i).value1);
        if (values10.at(i).valid)
            ma10->addData(key, values10.at(i).value1);
        if (values20.at(i).valid)
            ma20->addData(key, values20.at(i).value1);
    }
    titleElement->setText(titleText);
    if (BarDateTicker* ticker = dateTicker(plot))
        ticker->setDates(dates);

    indexView->setData(allBars);
    candles->setData(keys, opens, highs, lows, closes, false);
    showScales(true);
    plot->replot(QCustomPlot::rpRefreshHint);
    setWindowTitle(titleText);

    bars = allBars;
}

void CandlestickWidget::refreshIndicators(const QVector<Stock>& newBars)
{
    if (newBars.isEmpty())
        return;
    indexView->setData(newBars);
    // The pane fits its own value axis; the shared x range and the price
    // axis keep the view the fill set up (or the user dragged to).
    plot->replot(QCustomPlot::rpRefreshHint);
}

void CandlestickWidget::setOverlayText(const QString& text, bool richText)
{
    textLayer->setText(text, richText ? vesk::QwtText::RichText : vesk::QwtText::AutoText);
}

void CandlestickWidget::setTitleText(const QString& text)
{
    titleElement->setText(oneLineText(text));
    // Queued, so a title set right after setData costs no second redraw.
    plot->replot(QCustomPlot::rpQueuedReplot);
}

void CandlestickWidget::onMouseClick(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        menu->exec(QCursor::pos());
    event->accept();
}

bool CandlestickWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != plot)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        pressedButton = static_cast<QMouseEvent*>(event)->button();
        break;
    case QEvent::MouseButtonRelease:
        pressedButton = Qt::NoButton;
        break;
    case QEvent::MouseMove: {
        // The button is up though the plot never saw it go: end the drag
        // before this move, or it would drag the chart with no button held.
        const auto* move = static_cast<QMouseEvent*>(event);
        if (pressedButton != Qt::NoButton && !(move->buttons() & pressedButton)) {
            QMouseEvent release(QEvent::MouseButtonRelease, move->localPos(), move->windowPos(),
                                move->screenPos(), pressedButton, move->buttons(),
                                move->modifiers());
            QCoreApplication::sendEvent(plot, &release);
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void CandlestickWidget::doAction(QString text)
{
    // The bars on show change only when the owner's setData brings the new
    // ones, so period and adjust keep saying what is drawn.
    if (text.contains(QStringLiteral("复权"))) {
        if (text == QStringLiteral("后复权"))
            markChoice(adjustGroup, QStringLiteral("hfq"));
        else if (text == QStringLiteral("前复权"))
            markChoice(adjustGroup, QStringLiteral("qfq"));
        else
            markChoice(adjustGroup, QStringLiteral("bfq"));
        emit periodOrAdjustChosen(chosenCode(periodGroup), chosenCode(adjustGroup));
        return;
    }
    if (text.contains(QStringLiteral("线"))) {
        if (text == QStringLiteral("周线"))
            markChoice(periodGroup, QStringLiteral("week"));
        else if (text == QStringLiteral("月线"))
            markChoice(periodGroup, QStringLiteral("month"));
        else
            markChoice(periodGroup, QStringLiteral("day"));
        emit periodOrAdjustChosen(chosenCode(periodGroup), chosenCode(adjustGroup));
        return;
    }
    indexView->showIndex(text);
    if (!bars.isEmpty())
        refreshIndicators(bars);
}
