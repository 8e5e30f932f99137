#pragma once

#include "core/stockapplication.h"

#include <QTabWidget>

class AsyncFetch;
class CandlestickWidget;
class DataTableWidget;
class LHBBS5Widget;
class RecommandStockView;

// The lower half of the scan widget: the scan's recommendations, and the
// chart, seats and news of the stock selected in the list.
class LHBTabWidget final : public QTabWidget {
    Q_OBJECT
    Q_DISABLE_COPY(LHBTabWidget)
public:
    explicit LHBTabWidget(QWidget* parent = nullptr);

    // Reloads the recommended codes after a scan; a notice of what the scan
    // could not fetch takes the place of the analysis text.
    void refreshRecommendations(const QString& notice = QString());
    // Fills the chart, seat and news tabs for one stock on the scanned day;
    // the chart shows the period and adjustment last chosen in its menu.
    // Returns at once: the seats are shown, the chart and the news say they
    // are loading until their replies come (the news is asked for once the
    // chart's bars are in). Showing another stock meanwhile drops this one's
    // requests, so late replies never reach the views. A fetch that fails is
    // said in its tab.
    void showStock(const QString& code, const QString& date);
    void loadNews(const QString& code);
    // Whether a reply for the chart or the news is still awaited.
    bool isLoading() const;
    // The stock still loading is shown no further and asks for nothing more.
    void dropPendingStock();
    // Drops a stock still loading and empties the chart, seat and news tabs.
    void clearStock();
    // clearStock(), and the recommendations go too: a new scan shows
    // nothing of the previous one.
    void clearResults();

    RecommandStockView* recommendView() const { return m_recommend; }
    CandlestickWidget* chart() const { return m_chart; }
    LHBBS5Widget* seatTable() const { return m_seats; }
    DataTableWidget* newsTable() const { return m_news; }

private:
    void fillChart(const QString& code);
    void onKLinesFetched(const QString& text, const HttpGetStatus& status);
    void drawChart(const QVector<Stock>& bars, const HttpGetStatus& status);
    void fillNews(const QString& code);
    void onNewsFetched(const QString& text, const HttpGetStatus& status);
    void onPeriodOrAdjustChosen(const QString& period, const QString& adjust);

    RecommandStockView* m_recommend;
    CandlestickWidget* m_chart;
    LHBBS5Widget* m_seats;
    DataTableWidget* m_news;
    // One request in flight for each: a new stock or chart choice replaces it.
    AsyncFetch* m_chartFetch;
    AsyncFetch* m_newsFetch;
    KLineRequest m_chartRequest; // the bars loading
    QString m_newsCode;          // the news loading (plain code)
    QString m_newsAfterChart;    // the stock whose news waits for its bars
    QString m_code;              // the stock shown or loading; "" for none
    QString m_period;
    QString m_adjust;
};
