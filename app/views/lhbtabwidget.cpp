#include "app/views/lhbtabwidget.h"

#include "app/views/datatablewidget.h"
#include "app/views/lhbbs5widget.h"
#include "app/views/recommandstockview.h"
#include "chart/candlestickwidget.h"
#include "core/httpget.h"
#include "core/providers/stocknewsinterface.h"
#include "core/stockapplication.h"

namespace {
// The chart shows the latest bars of this many trading days.
constexpr int kChartBars = 60;
} // namespace

LHBTabWidget::LHBTabWidget(QWidget* parent)
    : QTabWidget(parent), m_recommend(new RecommandStockView(this)),
      m_chart(new CandlestickWidget(true, nullptr)), m_seats(new LHBBS5Widget(this)),
      m_news(new DataTableWidget(QStringLiteral("新闻简讯"),
                                 {{QStringLiteral("股票"), QStringLiteral("symbol"), 96},
                                  {QStringLiteral("标题"), QStringLiteral("title"), 540},
                                  {QStringLiteral("日期"), QStringLiteral("time"), 160}},
                                 this)) {
    addTab(m_recommend, QStringLiteral("推荐股票"));
    addTab(m_chart, QStringLiteral("股票日K"));
    addTab(m_seats, QStringLiteral("买卖机构"));
    addTab(m_news, QStringLiteral("新闻简讯"));
    setCurrentIndex(0);
}

void LHBTabWidget::refreshRecommendations(const QString& notice) {
    m_recommend->refresh(notice);
}

bool LHBTabWidget::showStock(const QString& code, const QString& date) {
    const quint64 request = ++m_request;
    QVector<Stock> bars;
    if (StockApplication* app = StockApplication::instance())
        bars = app->getKLines(code);
    if (request != m_request)
        return false;
    m_chart->setData(kChartBars, code, bars, QStringLiteral("day"), QStringLiteral("bfq"));
    m_seats->showStock(code, date);
    return fillNews(code, request);
}

void LHBTabWidget::loadNews(const QString& code) {
    fillNews(code, ++m_request);
}

bool LHBTabWidget::fillNews(const QString& code, quint64 request) {
    // Drop a market prefix such as "sh"; the client adds its own.
    const QString plain = code.size() == 8 ? code.mid(2) : code;
    // Emptied first, so a failed request never leaves another stock's news.
    m_news->clear();
    StockNewsInterface client;
    const QString text = httpGet(client.url(plain));
    if (request != m_request)
        return false; // a later stock's news went in meanwhile
    const QVector<QMap<QString, QString>> rows = client.parse(text, QString());
    for (const auto& row : rows)
        m_news->addRow(row);
    return true;
}
