#pragma once

#include <QTabWidget>

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
    // False when another stock was shown while this one's data was loading:
    // the views then belong to that one, and this one's late replies are
    // dropped. A fetch that fails is said in its tab.
    bool showStock(const QString& code, const QString& date);
    void loadNews(const QString& code);
    // The stock still loading is shown no further and asks for nothing more.
    void dropPendingStock() { ++m_request; }
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
    // Both false when another stock was asked for meanwhile.
    bool fillChart(const QString& code, quint64 request);
    bool fillNews(const QString& code, quint64 request);
    void onPeriodOrAdjustChosen(const QString& period, const QString& adjust);

    RecommandStockView* m_recommend;
    CandlestickWidget* m_chart;
    LHBBS5Widget* m_seats;
    DataTableWidget* m_news;
    quint64 m_request = 0;      // the latest showStock or loadNews
    quint64 m_chartRequest = 0; // the latest chart fill: a stock or a menu choice
    QString m_code;             // the stock shown or loading; "" for none
    QString m_period;
    QString m_adjust;
};
