#include "app/views/lhbtabwidget.h"

#include "app/views/datatablewidget.h"
#include "app/views/lhbbs5widget.h"
#include "app/views/recommandstockview.h"
#include "chart/candlestickwidget.h"
#include "core/asyncfetch.h"
#include "core/providers/stocknewsinterface.h"
#include "core/stockapplication.h"
#include "core/utils.h"

#include <utility>

namespace {
// The chart shows the latest bars of this many trading days.
constexpr int kChartBars = 60;

// What a view says while its reply is on its way.
QString loadingText(const QString& what) {
    return QStringLiteral("%1 加载中…").arg(what);
}

// The code without a market prefix such as "sh"; the clients add their own.
QString plainCode(const QString& code) {
    return code.size() == 8 ? code.mid(2) : code;
}
} // namespace

LHBTabWidget::LHBTabWidget(QWidget* parent)
    : QTabWidget(parent), m_recommend(new RecommandStockView(this)),
      m_chart(new CandlestickWidget(true, nullptr)), m_seats(new LHBBS5Widget(this)),
      m_news(new DataTableWidget(QStringLiteral("新闻简讯"),
                                 {{QStringLiteral("股票"), QStringLiteral("symbol"), 96},
                                  {QStringLiteral("标题"), QStringLiteral("title"), 540},
                                  {QStringLiteral("日期"), QStringLiteral("time"), 160}},
                                 this)),
      m_chartFetch(new AsyncFetch(this)), m_newsFetch(new AsyncFetch(this)),
      m_period(QLatin1String(StockApplication::kDefaultKLinePeriod)),
      m_adjust(QLatin1String(StockApplication::kDefaultKLineAdjust)) {
    addTab(m_recommend, QStringLiteral("推荐股票"));
    addTab(m_chart, QStringLiteral("股票日K"));
    addTab(m_seats, QStringLiteral("买卖机构"));
    addTab(m_news, QStringLiteral("新闻简讯"));
    setCurrentIndex(0);
    connect(m_chart, &CandlestickWidget::periodOrAdjustChosen, this,
            &LHBTabWidget::onPeriodOrAdjustChosen);
    connect(m_chartFetch, &AsyncFetch::finished, this, &LHBTabWidget::onKLinesFetched);
    connect(m_newsFetch, &AsyncFetch::finished, this, &LHBTabWidget::onNewsFetched);
}

void LHBTabWidget::refreshRecommendations(const QString& notice) {
    m_recommend->refresh(notice);
}

void LHBTabWidget::showStock(const QString& code, const QString& date) {
    m_code = code;
    // The seats are in memory and change at once; the chart and the news
    // are emptied and say they are loading, so no view shows another
    // stock's data while the replies are on their way.
    m_seats->showStock(code, date);
    m_newsFetch->abort();
    m_news->clear();
    m_news->setNotice(loadingText(plainCode(code)));
    m_newsAfterChart = code;
    fillChart(code);
}

bool LHBTabWidget::isLoading() const {
    return m_chartFetch->isRunning() || m_newsFetch->isRunning() || !m_newsAfterChart.isEmpty();
}

void LHBTabWidget::dropPendingStock() {
    m_chartFetch->abort();
    m_newsFetch->abort();
    m_newsAfterChart.clear();
}

void LHBTabWidget::clearStock() {
    dropPendingStock();
    m_code.clear();
    m_chart->clear();
    m_seats->showStock(QString(), QString()); // no stock: no rows
    m_news->clear();
    m_news->setNotice(QString());
}

void LHBTabWidget::clearResults() {
    clearStock();
    m_recommend->clear();
}

void LHBTabWidget::onPeriodOrAdjustChosen(const QString& period, const QString& adjust) {
    // The choice holds for the stocks shown next, too.
    m_period = period;
    m_adjust = adjust;
    if (!m_code.isEmpty())
        fillChart(m_code);
}

void LHBTabWidget::fillChart(const QString& code) {
    // A menu choice made while these bars load asks for others, which win.
    m_chartFetch->abort();
    m_chart->clear();
    m_chart->setTitleText(loadingText(CandlestickWidget::titleFor(code, m_period, m_adjust)));
    StockApplication* app = StockApplication::instance();
    QVector<Stock> bars;
    HttpGetStatus status;
    if (!app || app->cachedKLines(code, m_period, m_adjust, &bars)) {
        status.ok = app != nullptr;
        drawChart(bars, status);
        return;
    }
    m_chartRequest = app->klineRequest(code, m_period, m_adjust);
    if (m_chartRequest.url.isEmpty())
        onKLinesFetched(QString(), status);
    else
        m_chartFetch->start(m_chartRequest.url, m_chartRequest.maxReplyBytes);
}

void LHBTabWidget::onKLinesFetched(const QString& text, const HttpGetStatus& status) {
    HttpGetStatus fetch = status;
    const QVector<Stock> bars = StockApplication::instance()->storeKLines(m_chartRequest, text, &fetch);
    drawChart(bars, fetch);
}

void LHBTabWidget::drawChart(const QVector<Stock>& bars, const HttpGetStatus& status) {
    m_chart->setData(kChartBars, m_code, bars, m_period, m_adjust);
    if (!status.ok)
        m_chart->setTitleText(QStringLiteral("%1 K线数据获取失败（%2）")
                                  .arg(CandlestickWidget::titleFor(m_code, m_period, m_adjust),
                                       fetchFailureText(status.failure, status.httpStatus)));
    // The news follows the bars, as it always has: one request at a time.
    if (!m_newsAfterChart.isEmpty())
        fillNews(std::exchange(m_newsAfterChart, QString()));
}

void LHBTabWidget::loadNews(const QString& code) {
    m_newsAfterChart.clear();
    fillNews(code);
}

void LHBTabWidget::fillNews(const QString& code) {
    m_newsCode = plainCode(code);
    // Emptied first, so a failed request never leaves another stock's news.
    m_news->clear();
    m_news->setNotice(loadingText(m_newsCode));
    m_newsFetch->start(StockNewsInterface().url(m_newsCode), StockNewsInterface::kMaxReplyBytes);
}

void LHBTabWidget::onNewsFetched(const QString& text, const HttpGetStatus& status) {
    // Part of a list would pass for all of a stock's news, and more items
    // than were asked for are no page of them.
    FetchFailure failure = serviceReplyFailure(status, text);
    QVector<QMap<QString, QString>> rows;
    if (failure == FetchFailure::None) {
        rows = StockNewsInterface().parse(text, QString());
        if (rows.size() > StockNewsInterface::kItemsAsked)
            failure = FetchFailure::UnexpectedFormat;
    }
    if (failure != FetchFailure::None) {
        m_news->setNotice(QStringLiteral("%1 新闻获取失败（%2）")
                              .arg(m_newsCode, fetchFailureText(failure, status.httpStatus)));
        return;
    }
    m_news->setNotice(QString());
    m_news->addRows(rows);
}
