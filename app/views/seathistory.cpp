#include "app/views/seathistory.h"

#include "core/httpget.h"
#include "core/providers/servicehosts.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QLayout>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>

QString seatHistoryUrl(const QString& seatCode)
{
    // The list service's data centre answers the seat history as well.
    return QStringLiteral("http://") + QLatin1String(kEastmoneyDataHost)
        + QStringLiteral("/DataCenter_V3/stock2016/jymx.ashx?pagesize=50&page=1&js=var%20fyeUKhdn"
                         "&param=&sortRule=-1&sortType=&gpfw=0&code=%1")
              .arg(seatCode);
}

QVector<ColumnSpec> seatHistoryColumns()
{
    return {
        {QStringLiteral("日期"), QStringLiteral("TDate"), 128},
        {QStringLiteral("代码"), QStringLiteral("SCode"), 120},
        {QStringLiteral("股票"), QStringLiteral("SName"), 96},
        {QStringLiteral("买入"), QStringLiteral("BMoney"), 120, true},
        {QStringLiteral("卖出"), QStringLiteral("SMoney"), 120, true},
        {QStringLiteral("换手率"), QStringLiteral("ChgRadio"), 96, true},
        {QStringLiteral("价格"), QStringLiteral("CPrice"), 96, true},
        {QStringLiteral("上榜类型"), QStringLiteral("CTypeDes"), 140},
    };
}

QSize seatHistoryDialogSize(const DataTableWidget* dialog, const QSize& available)
{
    constexpr int shownRows = 15;
    const QTableWidget* table = dialog->table();
    int columns = 0;
    for (int i = 0; i < table->columnCount(); ++i)
        columns += table->columnWidth(i);
    const QMargins margins = dialog->layout()->contentsMargins();
    const int frame = 2 * table->frameWidth();
    const QSize wanted(margins.left() + frame + columns + table->verticalScrollBar()->sizeHint().width()
                           + margins.right(),
                       margins.top() + frame + table->horizontalHeader()->sizeHint().height()
                           + shownRows * table->verticalHeader()->defaultSectionSize()
                           + margins.bottom());
    // Room for the window frame and title bar, which the window system adds.
    return wanted.boundedTo(available - QSize(16, 48));
}

DataTableWidget* createSeatHistoryDialog(const QString& replyText, QWidget* parent)
{
    auto* dialog = new DataTableWidget(QStringLiteral("营业部历史上榜"), seatHistoryColumns(), parent);
    for (const auto& record : parseJsonArrayText(replyText))
        dialog->addRow(record);
    // Qt's default size showed two of the eight columns behind a scroll bar.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen)
        dialog->resize(seatHistoryDialogSize(dialog, screen->availableSize()));
    return dialog;
}

void showSeatHistory(const QString& seatCode, QWidget* parent)
{
    // The fetch keeps events flowing, so the parent may be gone afterwards.
    QPointer<QWidget> guard(parent);
    const QString reply = httpGet(seatHistoryUrl(seatCode));
    if (parent && !guard)
        return;
    QPointer<DataTableWidget> dialog = createSeatHistoryDialog(reply, parent);
    dialog->exec();
    delete dialog; // null when the parent took it down during exec

}
