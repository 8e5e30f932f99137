#include "app/scan/lhbpkwidget.h"

#include "app/scan/dayscreening.h"
#include "app/scan/scanfailures.h"
#include "app/scan/stockevent.h"
#include "app/scan/stockinfotask.h"
#include "app/scan/stocklisttask.h"
#include "app/scan/stockstatustask.h"
#include "app/views/elidedlabel.h"
#include "app/views/lhbtabwidget.h"
#include "app/views/recommandstockview.h"
#include "app/views/stocklistviewfactory.h"
#include "core/cancelflag.h"
#include "core/stockapplication.h"
#include "core/tradingcalendar.h"
#include "core/utils.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QThreadPool>
#include <QTimer>

namespace {
const char* const kDateFormat = "yyyy-MM-dd";
// Kind 2 of the stock list factory: the day's dragon-tiger list.
constexpr int kDayListViewKind = 2;

// The amount brings its unit: 万, or 亿 from 1亿 on.
QString infoTemplate() {
    return QStringLiteral(" 代码:%1,名称:%2,涨幅:%3%,换手率:%4%,交易额:%5");
}

QString infoPlaceholder() {
    const QString dash = QStringLiteral("-");
    return infoTemplate().arg(dash, dash, dash, dash, dash + QStringLiteral("万"));
}

// The failure notice names this many stocks, then "等".
constexpr int kNamedFailures = 10;

// A day's list is filled this many rows at a time, the window turning in
// between: a real day's fits at once, and the most rows the service may
// send (50 pages of 200) would hold up the window far longer in one go.
constexpr int kRowsPerTurn = 1000;

// Why the screens could not read an earlier day whose list came: they read
// a day only once some of its seats are stored.
QString unjudgedDayLine(const ScanFailures& failures, const QString& day) {
    if (failures.isEmptyDay(day))
        return QStringLiteral("%1 没有龙虎榜数据，可能是非交易日，可在设置中添加").arg(day);
    if (failures.seatPageFailedOn(day))
        return QStringLiteral("%1 的营业部数据全部获取失败，选股未能参照该日").arg(day);
    // No page was asked for: runs of days ("连续") get none.
    return QStringLiteral("%1 的上榜股票均不获取营业部数据，选股未能参照该日").arg(day);
}
} // namespace

LHBPKWidget::LHBPKWidget(QWidget* parent) : QWidget(parent) {
    auto* layout = new QGridLayout(this);

    m_stockList = createStockListView(kDayListViewKind, this);
    layout->addWidget(m_stockList, 0, 0, 1, 3);

    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setOrientation(Qt::Vertical);
    layout->addWidget(m_progress, 0, 3, 1, 1);

    m_infoLabel = createInfoLabel();
    m_infoLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    layout->addWidget(m_infoLabel, 1, 0, 1, 1);

    m_dateEdit = createDateEdit();
    m_dateEdit->setFixedWidth(110);
    layout->addWidget(m_dateEdit, 1, 1, 1, 1);

    m_scanButton = new QPushButton(QStringLiteral("扫描"), this);
    m_scanButton->setFixedWidth(72);
    layout->addWidget(m_scanButton, 1, 2, 1, 2);
    connect(m_scanButton, &QPushButton::clicked, this, &LHBPKWidget::onSearch);

    m_tabs = new LHBTabWidget();
    layout->addWidget(m_tabs, 2, 0, 1, 4);
    // The chart needs the height more than the list, which scrolls.
    layout->setRowStretch(0, 2);
    layout->setRowStretch(2, 3);

    connect(m_stockList, &StockListView::senderStock, this, &LHBPKWidget::onClickLHBList);
    m_listTimer = new QTimer(this);
    m_listTimer->setSingleShot(true);
    m_listTimer->setInterval(0);
    connect(m_listTimer, &QTimer::timeout, this, &LHBPKWidget::listMore);
    m_screening = new DayScreening(this);
    connect(m_screening, &DayScreening::finished, this, &LHBPKWidget::endScan);

    // One thread, so the tasks run one after another in the order started.
    m_pool = new QThreadPool();
    m_pool->setMaxThreadCount(1);
    m_stop = new CancelFlag(this);
    m_failures = std::make_shared<ScanFailures>();
}

LHBPKWidget::~LHBPKWidget() {
    stopScan();
    // Waits for the running task, which posts to this widget; stopped, it
    // ends at once.
    delete m_pool;
}

void LHBPKWidget::stopScan() {
    m_stop->cancel();
    m_pool->clear(); // the tasks not yet started never run
    m_screening->stop();
    m_tabs->dropPendingStock();
}

QDate LHBPKWidget::initialDate(const QDate& today) {
    const int weekday = today.dayOfWeek();
    return weekday > 5 ? today.addDays(-(weekday - 5)) : today;
}

QDateEdit* LHBPKWidget::createDateEdit() {
    auto* edit = new QDateEdit(this);
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QString::fromLatin1(kDateFormat));
    edit->setDate(initialDate(QDate::currentDate()));
    return edit;
}

QLabel* LHBPKWidget::createInfoLabel() {
    // A long name is cut off rather than widen the window.
    auto* label = new ElidedLabel(this);
    QFont font = label->font();
    font.setPointSize(12);
    label->setFont(font);
    label->setText(infoPlaceholder());
    return label;
}

void LHBPKWidget::onSearch() {
    m_scanButton->setEnabled(false);
    m_progress->setValue(0);

    if (StockApplication* app = StockApplication::instance())
        app->clearCaches();

    // Nothing of the previous scan may stand under the new day, nor may a
    // stock still loading arrive into it.
    m_tabs->clearResults();
    m_infoLabel->setText(infoPlaceholder());
    m_listTimer->stop();
    m_unlisted.clear();
    m_screening->stop();
    m_shownCode.clear();
    m_noSeatsText.clear();
    m_stockList->clearContents();
    m_stockList->setRowCount(0);

    m_day = m_dateEdit->text();
    QDate date = QDate::fromString(m_day, QString::fromLatin1(kDateFormat));
    QStringList dates;
    dates << date.toString(QString::fromLatin1(kDateFormat));
    date = previousTradingDay(date);
    m_day1 = date.toString(QString::fromLatin1(kDateFormat));
    dates << m_day1;
    date = previousTradingDay(date);
    m_day2 = date.toString(QString::fromLatin1(kDateFormat));
    dates << m_day2;

    m_failures = std::make_shared<ScanFailures>();
    m_pool->start(new StockListTask(this, StockEvent::DayListFetched, dates, m_stop, m_failures));
    m_pool->start(new StockStatusTask(this, StockEvent::DayListsStored, m_stop));
}

void LHBPKWidget::updateStockList(const QVector<Stock>& stocks) {
    m_stockList->clear();
    m_unlisted = stocks;
    m_listed = 0;
    listMore();
}

void LHBPKWidget::listMore() {
    const int n = qMin(kRowsPerTurn, m_unlisted.size() - m_listed);
    m_stockList->addStocks(m_unlisted.mid(m_listed, n));
    m_listed += n;
    if (m_listed < m_unlisted.size())
        m_listTimer->start();
    else
        m_unlisted.clear();
}

void LHBPKWidget::customEvent(QEvent* event) {
    const int type = static_cast<int>(event->type());
    if (type < StockEvent::DayListFetched || type > StockEvent::AllSeatsStored)
        return;
    if (m_stop->isCancelled())
        return; // a report that was under way when the scan was stopped
    const auto* stockEvent = static_cast<const StockEvent*>(event);

    switch (type) {
    case StockEvent::DayListsStored: {
        m_progress->setValue(stockEvent->value());
        QVector<Stock> stocks;
        if (StockApplication* app = StockApplication::instance())
            stocks = app->dayStocks().value(m_day);
        updateStockList(stocks);
        // Without D's list there is nothing to screen: the scan ends here,
        // saying so, rather than fetch seats that no screen will read.
        if (m_failures->days().contains(m_day)) {
            endScan();
            break;
        }
        // The info task takes its work list now, from the stored day lists.
        m_pool->start(new StockInfoTask(this, StockEvent::SeatsStored, m_stop, m_failures));
        m_pool->start(new StockStatusTask(this, StockEvent::AllSeatsStored, m_stop));
        break;
    }
    case StockEvent::SeatsStored:
        m_progress->setValue(stockEvent->value());
        followSeatPhase();
        break;
    case StockEvent::AllSeatsStored:
        m_progress->setValue(0);
        finishScan();
        break;
    default:
        break;
    }
}

void LHBPKWidget::finishScan() {
    StockApplication* app = StockApplication::instance();
    const QMap<QString, QVector<Stock>> days =
        app ? app->dayStocks() : QMap<QString, QVector<Stock>>();
    const auto day = days.constFind(m_day);
    // Without D's list there is nothing to screen, but the scan is over all
    // the same: the button must come back, or no further scan could start.
    if (day == days.constEnd()) {
        endScan();
        return;
    }
    QSet<QString> codes;
    for (const Stock& stock : day.value())
        codes.insert(stock.code);
    m_screening->start(codes.values(), app->stockNames(), m_day, m_day1, m_day2);
}

void LHBPKWidget::endScan() {
    m_scanButton->setEnabled(true);
    m_progress->setValue(0);
    const QString notice = failureText();
    m_tabs->refreshRecommendations(notice);
    // What went wrong, or that the day has no picks, is the scan's answer:
    // the user must see it from whichever tab they are on.
    StockApplication* app = StockApplication::instance();
    if (!notice.isEmpty() || !app || app->recommendations().isEmpty())
        m_tabs->setCurrentWidget(m_tabs->recommendView());
    followSeatPhase(); // "still being fetched" is over
}

void LHBPKWidget::followSeatPhase() {
    if (m_noSeatsText.isEmpty())
        return; // the stock shown has its seats, or none is shown
    StockApplication* app = StockApplication::instance();
    const bool stored = app && app->lhbSeats().value(m_day).contains(m_shownCode);
    // Shown again as a click shows it: in full once its seats are in,
    // else with the line saying why as things stand now.
    if (stored || noSeatsText(m_shownCode) != m_noSeatsText)
        onClickLHBList(m_shownCode);
}

QString LHBPKWidget::failureText(const ScanFailures& failures, const QString& day,
                                 const QString& day1, const QString& day2) {
    const QStringList days = failures.days();
    if (days.contains(day)) {
        // The network is worth checking only when nothing answered.
        const QString advice = isNoAnswer(failures.dayFailure(day))
                                   ? QStringLiteral("请检查网络后重新扫描")
                                   : QStringLiteral("请稍后重新扫描");
        return QStringLiteral("%1 龙虎榜数据获取失败（%2），%3")
            .arg(day, failures.dayReason(day), advice);
    }
    QStringList lines;
    for (const QString& earlier : {day1, day2}) {
        if (days.contains(earlier))
            lines << QStringLiteral("%1 龙虎榜数据获取失败（%2），选股结果可能不完整")
                         .arg(earlier, failures.dayReason(earlier));
        else if (failures.seatsArrived(day) && !failures.seatsArrived(earlier))
            lines << unjudgedDayLine(failures, earlier);
    }
    const QStringList codes = failures.seatPageCodes();
    if (!codes.isEmpty())
        lines << seatFailureLine(codes, failures.seatPageReasons());
    if (const int rows = failures.badCodeRows())
        lines << QStringLiteral("%1 条龙虎榜记录的股票代码无效，已略去").arg(rows);
    return lines.join(QLatin1Char('\n'));
}

QString LHBPKWidget::seatFailureLine(const QStringList& codes, const QStringList& reasons) {
    QString named = codes.mid(0, kNamedFailures).join(QStringLiteral("、"));
    if (codes.size() > kNamedFailures)
        named += QStringLiteral("等");
    const QString why = reasons.isEmpty()
                            ? QString()
                            : QStringLiteral("（%1）").arg(reasons.join(QStringLiteral("、")));
    return QStringLiteral("%1 只股票的营业部数据获取失败%2：%3").arg(codes.size()).arg(why, named);
}

QString LHBPKWidget::noSeatsText(const QString& code) const {
    if (m_failures->seatPageFailed(m_day, code))
        return QStringLiteral("营业部数据获取失败");
    // Listings of a run of days get no seat request (see StockInfoTask).
    bool requested = false;
    if (StockApplication* app = StockApplication::instance()) {
        for (const Stock& stock : app->dayStocks().value(m_day)) {
            if (stock.code == code && !stock.typeText.contains(QStringLiteral("连续")))
                requested = true;
        }
    }
    if (!requested)
        return QStringLiteral("此类上榜不获取营业部数据");
    if (!m_scanButton->isEnabled())
        return QStringLiteral("营业部数据尚未获取，扫描进行中");
    return QStringLiteral("营业部数据未获取");
}

void LHBPKWidget::onClickLHBList(const QString& code) {
    StockApplication* app = StockApplication::instance();
    if (!app)
        return;
    const QVector<Stock> stocks = app->dayStocks().value(m_day);
    // A code listed under two names has a row for each: the line follows
    // the highlighted row's record, else the code's first.
    const int row = m_stockList->currentRow();
    const QTableWidgetItem* codeCell = m_stockList->item(row, 0);
    const QTableWidgetItem* nameCell = m_stockList->item(row, 1);
    const bool rowOfCode = codeCell && nameCell && codeCell->text().trimmed() == code;
    const Stock* record = nullptr;
    for (const Stock& stock : stocks) {
        if (stock.code != code)
            continue;
        if (!record)
            record = &stock;
        if (rowOfCode && stock.name == nameCell->text()) {
            record = &stock;
            break;
        }
    }
    // The information line is one line whatever the service's name holds.
    const QString name = oneLineText(record ? record->name : app->stockNames().value(code));
    const QString dash = QStringLiteral("-");
    const QString line =
        infoTemplate().arg(code, name, record ? figureText(record->changePercent) : dash,
                           record ? figureText(record->turnoverRate) : dash,
                           record ? wanAmountText(record->amount) : dash + QStringLiteral("万"));
    // The code's other row (listed under two names): only the line is the
    // row's own; the seats, chart and news on show or loading are the code's.
    const QPersistentModelIndex shownRow = m_shownRow;
    m_shownRow = rowOfCode ? m_stockList->model()->index(row, 0) : QModelIndex();
    if (code == m_shownCode && m_noSeatsText.isEmpty() && shownRow.isValid() &&
        m_shownRow.isValid() && m_shownRow != shownRow) {
        m_infoLabel->setText(line);
        return;
    }

    // A stock can be shown only once its seats on D are stored, which may
    // already be while the seat task is still running.
    const QMap<QString, DaySeats> seats = app->lhbSeats();
    const auto day = seats.constFind(m_day);
    m_shownCode = code;
    if (day == seats.constEnd() || !day.value().contains(code)) {
        // Nothing of the previous stock may stand under this one's row:
        // the views go empty and the line says why, until the seat task
        // changes that (followSeatPhase).
        m_noSeatsText = noSeatsText(code);
        m_tabs->clearStock();
        m_infoLabel->setText(QStringLiteral(" 代码:%1,名称:%2,%3").arg(code, name, m_noSeatsText));
        return;
    }
    m_noSeatsText.clear();

    // The line and the seats are in memory and change at once; the chart
    // and news say they are loading until their replies come.
    m_infoLabel->setText(line);
    m_tabs->showStock(code, m_day);
}
