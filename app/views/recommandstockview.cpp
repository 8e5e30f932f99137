#include "app/views/recommandstockview.h"

#include "core/stockapplication.h"
#include "core/utils.h"

#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QTextEdit>
#include <QVBoxLayout>

RecommandStockView::RecommandStockView(QWidget* parent)
    : QWidget(parent)
{
    m_stockList = new QListWidget(this);
    m_analysisText = new QTextEdit(this);
    m_layout = new QHBoxLayout(this);

    QGroupBox* listBox = createGroupBox(QStringLiteral("推荐股票"), m_stockList);
    listBox->setFixedWidth(108);
    createGroupBox(QStringLiteral("分析结果"), m_analysisText);

    m_analysisText->setReadOnly(true);
    QFont font;
    font.setPointSize(16);
    m_analysisText->setFont(font);
    m_analysisText->setTextColor(QColor(240, 64, 64));

    connect(m_stockList, &QListWidget::itemClicked, this, &RecommandStockView::onClickStockList);
    // The text follows the highlighted code however the highlight moved
    // (keys, a right click, a drag), not only on a click.
    connect(m_stockList, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> selected = m_stockList->selectedItems();
        if (selected.size() == 1)
            onClickStockList(selected.first());
    });
}

RecommandStockView::~RecommandStockView() = default;

const QString& RecommandStockView::emptyDayText()
{
    static const QString text = QStringLiteral(
        "今日龙虎榜无选股,本龙虎榜深度分析系统不会每天推荐股票,请耐心等待介入时机");
    return text;
}

QGroupBox* RecommandStockView::createGroupBox(const QString& title, QWidget* content)
{
    auto* box = new QGroupBox(title, this);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(content);
    m_layout->addWidget(box);
    return box;
}

void RecommandStockView::clear()
{
    m_stockList->clear();
    m_analysisText->setPlainText(QString());
    m_notice.clear();
}

void RecommandStockView::refresh(const QString& notice)
{
    m_notice = notice;
    m_stockList->clear();
    const QMap<QString, QString> recommendations = StockApplication::instance()->recommendations();
    if (!notice.isEmpty()) {
        // A failed fetch is never shown as a day without picks.
        m_analysisText->setPlainText(notice);
    } else if (recommendations.isEmpty()) {
        m_analysisText->setPlainText(emptyDayText());
    } else {
        // Neither the empty-day text nor a text of the previous scan belongs
        // beside this scan's list; a click on a code fills it.
        m_analysisText->setPlainText(QString());
    }
    m_stockList->addItems(recommendations.keys()); // QMap keys come in ascending order
}

void RecommandStockView::onClickStockList(QListWidgetItem* item)
{
    if (!item)
        return;
    // One line, as composed; the stock's name in it is the service's text.
    const QString text =
        oneLineText(StockApplication::instance()->recommendations().value(item->text()));
    // What the scan missed may bear on this pick too, so it stays in view.
    m_analysisText->setPlainText(m_notice.isEmpty() ? text
                                                    : m_notice + QStringLiteral("\n\n") + text);
}
