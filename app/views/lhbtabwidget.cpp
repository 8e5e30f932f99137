#include "app/views/lhbtabwidget.h"

#include "app/views/datatablewidget.h"
#include "app/views/lhbbs5widget.h"
#include "app/views/recommandstockview.h"
#include "chart/candlestickwidget.h"
#include "core/httpget.h"
#include "core/providers/stocknewsinterface.h"
#include "core/stockapplication.h"
#include "core/utils.h"

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
      m_period(QLatin1String(StockApplication::kDefaultKLinePeriod)),
      m_adjust(QLatin1String(StockApplication::kDefaultKLineAdjust)) {
    addTab(m_recommend, QStringLiteral("推荐股票"));
    addTab(m_chart, QStringLiteral("股票日K"));
    addTab(m_seats, QStringLiteral("买卖机构"));
    addTab(m_news, QStringLiteral("新闻简讯"));
    setCurrentIndex(0);
    connect(m_chart, &CandlestickWidget::periodOrAdjustChosen, this,
            &LHBTabWidget::onPeriodOrAdjustChosen);
}

void LHBTabWidget::refreshRecommendations(const QString& notice) {
    m_recommend->refresh(notice);
}

bool LHBTabWidget::showStock(const QString& code, const QString& date) {
    const quint64 request = ++m_request;
    m_code = code;
    // The seats are in memory and change at once; the chart and the news
    // are emptied and say they are loading, so no view shows another
    // stock's data while the replies are on their way.
    m_seats->showStock(code, date);
    m_news->clear();
    m_news->setNotice(loadingText(plainCode(code)));
    if (!fillChart(code, request))
        return false;
    return fillNews(code, request);
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
        fillChart(m_code, m_request);
}

bool LHBTabWidget::fillChart(const QString& code, quint64 request) {
    // A menu choice made while these bars load asks for others, which win.
    const quint64 chartRequest = ++m_chartRequest;
    const QString period = m_period;
    const QString adjust = m_adjust;
    const QString title = CandlestickWidget::titleFor(code, period, adjust);
    m_chart->clear();
    m_chart->setTitleText(loadingText(title));
    bool fetched = false;
    HttpGetStatus fetch;
    QVector<Stock> bars;
    if (StockApplication* app = StockApplication::instance())
        bars = app->getKLines(code, period, adjust, &fetched, &fetch);
    if (request != m_request)
        return false;
    if (chartRequest != m_chartRequest)
        return true;
    m_chart->setData(kChartBars, code, bars, period, adjust);
    if (!fetched)
        m_chart->setTitleText(QStringLiteral("%1 K线数据获取失败（%2）")
                                  .arg(title, fetchFailureText(fetch.failure, fetch.httpStatus)));
    return true;
}

void LHBTabWidget::loadNews(const QString& code) {
    fillNews(code, ++m_request);
}

bool LHBTabWidget::fillNews(const QString& code, quint64 request) {
    const QString plain = plainCode(code);
    // Emptied first, so a failed request never leaves another stock's news.
    m_news->clear();
    m_news->setNotice(loadingText(plain));
    StockNewsInterface client;
    HttpGetStatus status;
    const QString text = httpGet(client.url(plain), &status, nullptr, kHttpGetTimeoutMs,
                                 StockNewsInterface::kMaxReplyBytes);
    if (request != m_request)
        return false; // a later stock's news went in meanwhile
    // Part of a list would pass for all of a stock's news, and more items
    // than were asked for are no page of them.
    FetchFailure failure = serviceReplyFailure(status, text);
    QVector<QMap<QString, QString>> rows;
    if (failure == FetchFailure::None) {
        rows = client.parse(text, QString());
        if (rows.size() > StockNewsInterface::kItemsAsked)
            failure = FetchFailure::UnexpectedFormat;
    }
    if (failure != FetchFailure::None) {
        m_news->setNotice(QStringLiteral("%1 新闻获取失败（%2）")
                              .arg(plain, fetchFailureText(failure, status.httpStatus)));
        return true;
    }
    m_news->setNotice(QString());
    m_news->addRows(rows);
    return true;
}
