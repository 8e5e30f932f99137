#pragma once

#include "core/stock.h"

#include <QString>
#include <QVector>
#include <QWidget>

#include <memory>

class IndexViewProxy;
class MaNIndicator;
class QAction;
class QActionGroup;
class QCPFinancial;
class QCPTextElement;
class QCustomPlot;
class QMenu;
class QMouseEvent;
class QSignalMapper;

namespace vesk {
class QwtText;
}

// The daily K-line chart of one stock: the latest bars as candlesticks with
// the 5-, 10- and 20-bar moving averages, a title, the indicator pane below
// and a right-click menu.
class CandlestickWidget final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(CandlestickWidget)

public:
    explicit CandlestickWidget(bool embedded = false, QWidget* parent = nullptr);
    ~CandlestickWidget() override;

    // Shows the latest count bars of bars, fetched with the given period and
    // adjustment, which the menu then marks; an empty code does nothing, and
    // no bars leave an empty chart under the code.
    void setData(int count, const QString& code, const QVector<Stock>& bars, const QString& period,
                 const QString& adjust);
    void fillChart(int count, const QVector<Stock>& bars);
    // Back to the look before any setData: no bars, the title "--".
    void clear();
    // Hands bars to the indicator pane and redraws.
    void refreshIndicators(const QVector<Stock>& bars);

    // The chart's title for a stock: its code, followed by the period
    // ("周K", "月K") and the adjustment ("不复权", "前复权") when they are not
    // the start-up's daily back-adjusted bars: "600001 周K 前复权".
    static QString titleFor(const QString& code, const QString& period, const QString& adjust);
    QString titleText() const;

    // The overlay takes effect at the next replot; the title asks for one.
    void setOverlayText(const QString& text, bool richText);
    void setTitleText(const QString& text);

    // The codes of the bars shown, as the last setData gave them
    // ("bfq"/"qfq"/"hfq", "day"/"week"/"month").
    QString adjustCode() const { return adjust; }
    QString periodCode() const { return period; }

signals:
    // The user chose a period or adjustment in the menu; the chart fetches
    // nothing itself, so its owner is to fetch such bars and call setData.
    void periodOrAdjustChosen(const QString& period, const QString& adjust);

public slots:
    void onMouseClick(QMouseEvent* event);
    void doAction(QString text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setupCandles();
    void setupMaGraphs();
    QAction* addMappedAction(const QString& text, QSignalMapper* mapper);
    QAction* addChoice(QMenu* submenu, QActionGroup* group, const QString& text,
                       const QString& code);
    void clearPlot();
    // The price and indicator scales, hidden while no bars are drawn.
    void showScales(bool shown);
    // Checks the menu entry of the code in the group; false for an unknown code.
    static bool markChoice(QActionGroup* group, const QString& code);
    static QString chosenCode(const QActionGroup* group);

    bool embedded;
    QCustomPlot* plot;
    QCPTextElement* titleElement;
    vesk::QwtText* textLayer;
    QCPFinancial* candles;
    QString code;
    QString adjust;
    QString period;
    QVector<Stock> bars;
    int count = 0;
    QMenu* menu;
    QMenu* indexMenu;
    // Destroyed in reverse order: 20, then 10, then 5.
    std::unique_ptr<MaNIndicator> ma5Indicator;
    std::unique_ptr<MaNIndicator> ma10Indicator;
    std::unique_ptr<MaNIndicator> ma20Indicator;
    IndexViewProxy* indexView;
    QSignalMapper* mapper;
    // The checkable "除权" and "K线" entries; each action's data is its code.
    QActionGroup* adjustGroup;
    QActionGroup* periodGroup;
    // The plot's press not yet released: the plot drags its range until it
    // sees the release, which a dialog or menu opened meanwhile may take.
    Qt::MouseButton pressedButton = Qt::NoButton;
};
