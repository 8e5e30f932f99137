#pragma once

#include "core/stock.h"

#include <QString>
#include <QVector>
#include <QWidget>

#include <memory>

class IndexViewProxy;
class MaNIndicator;
class QAction;
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

    // Shows the latest count bars of bars; an empty code does nothing.
    void setData(int count, const QString& code, const QVector<Stock>& bars, const QString& period,
                 const QString& adjust);
    void fillChart(int count, const QVector<Stock>& bars);
    // Hands bars to the indicator pane and redraws.
    void refreshIndicators(const QVector<Stock>& bars);

    // Both take effect at the next replot.
    void setOverlayText(const QString& text, bool richText);
    void setTitleText(const QString& text);

    // The codes of the last setData or menu choice ("bfq"/"qfq"/"hfq",
    // "day"/"week"/"month").
    QString adjustCode() const { return adjust; }
    QString periodCode() const { return period; }

public slots:
    void onMouseClick(QMouseEvent* event);
    void doAction(QString text);

private:
    void setupCandles();
    void setupMaGraphs();
    QAction* addMappedAction(const QString& text, QSignalMapper* mapper);

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
};
