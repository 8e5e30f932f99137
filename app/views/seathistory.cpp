#include "app/views/seathistory.h"

#include "app/views/servicetext.h"
#include "core/providers/servicehosts.h"
#include "core/utils.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QLayout>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>

#include <cmath>

QString seatHistoryUrl(const QString& seatCode)
{
    // The list service's data centre answers the seat history as well.
    return QStringLiteral("http://") + QLatin1String(kEastmoneyDataHost)
        + QStringLiteral("/DataCenter_V3/stock2016/jymx.ashx?pagesize=%2&page=1&js=var%20fyeUKhdn"
                         "&param=&sortRule=-1&sortType=&gpfw=0&code=%1")
              .arg(seatCode, QString::number(kSeatHistoryRowsAsked));
}

namespace {

// The service gives the amounts in 元; the seat table beside the dialog
// shows 万元, so the history does too. A text that is no number is "-".
QString yuanAsWan(const QString& text)
{
    const double yuan = readFigure(text);
    if (std::isnan(yuan))
        return QStringLiteral("-");
    // To the 元 hundred, without the trailing zeros: 30000000 -> 3000.
    return fixedFigureText(yuan / 10000.0, 2);
}

// A figure shown as the service writes it, or "-" when it is no number.
QString figureAsSent(const QString& text)
{
    return std::isnan(readFigure(text)) ? QStringLiteral("-") : text;
}

// Widens every column to its widest text, header included, so that no date,
// amount or listing reason is cut off; an unusually long text is cut off at
// the cap rather than stretching the dialog past the screen.
void fitColumnsToTexts(QTableWidget* table)
{
    constexpr int maxColumnWidth = 400;
    for (int c = 0; c < table->columnCount(); ++c) {
        const int designed = table->columnWidth(c);
        table->resizeColumnToContents(c); // its cells' and its header's widest text
        const int wanted = table->columnWidth(c);
        table->setColumnWidth(c, qBound(designed, wanted, qMax(designed, maxColumnWidth)));
    }
}

} // namespace

QVector<ColumnSpec> seatHistoryColumns()
{
    return {
        {QStringLiteral("日期"), QStringLiteral("TDate"), 128},
        {QStringLiteral("代码"), QStringLiteral("SCode"), 120},
        {QStringLiteral("股票"), QStringLiteral("SName"), 96},
        {QStringLiteral("买入(万元)"), QStringLiteral("BMoney"), 120, true},
        {QStringLiteral("卖出(万元)"), QStringLiteral("SMoney"), 120, true},
        // The service's "ChgRadio" is the day's change, not the turnover rate.
        {QStringLiteral("涨幅(%)"), QStringLiteral("ChgRadio"), 96, true},
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

DataTableWidget* createSeatHistoryDialog(const QString& replyText, const QString& seatName,
                                         QWidget* parent)
{
    return createSeatHistoryDialog(parseJsonArrayText(replyText), seatName, parent);
}

DataTableWidget* createSeatHistoryDialog(QVector<QMap<QString, QString>> records,
                                         const QString& seatName, QWidget* parent)
{
    QString title = QStringLiteral("营业部历史上榜");
    if (!seatName.isEmpty())
        title += QStringLiteral(" - ") + shownLine(seatName);
    auto* dialog = new DataTableWidget(title, seatHistoryColumns(), parent);
    for (auto& record : records) {
        for (const QString& key : {QStringLiteral("BMoney"), QStringLiteral("SMoney")}) {
            const auto amount = record.find(key);
            if (amount != record.end())
                *amount = yuanAsWan(*amount);
        }
        for (const QString& key : {QStringLiteral("ChgRadio"), QStringLiteral("CPrice")}) {
            const auto figure = record.find(key);
            if (figure != record.end())
                *figure = figureAsSent(*figure);
        }
    }
    dialog->addRows(records);
    fitColumnsToTexts(dialog->table());
    // Qt's default size showed two of the eight columns behind a scroll bar.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen)
        dialog->resize(seatHistoryDialogSize(dialog, screen->availableSize()));
    return dialog;
}

void showSeatHistory(const QString& reply, const HttpGetStatus& status, const QString& seatName,
                     QWidget* parent)
{
    FetchFailure failure = serviceReplyFailure(status, reply);
    QVector<QMap<QString, QString>> records;
    if (failure == FetchFailure::None) {
        records = parseJsonArrayText(reply);
        // More entries than were asked for are no page of this seat's history.
        if (records.size() > kSeatHistoryRowsAsked)
            failure = FetchFailure::UnexpectedFormat;
    }
    if (failure != FetchFailure::None) {
        // An empty dialog would read as "this seat has no recent entries".
        QPointer<QMessageBox> box = new QMessageBox(
            QMessageBox::Warning, QStringLiteral("营业部历史上榜"),
            asPlainText(QStringLiteral("未能获取“%1”的历史上榜数据。").arg(shownLine(seatName))),
            QMessageBox::Ok, parent);
        box->setInformativeText(QStringLiteral("原因：")
                                + fetchFailureText(failure, status.httpStatus));
        box->exec();
        delete box; // null when the parent took it down during exec
        return;
    }
    QPointer<DataTableWidget> dialog = createSeatHistoryDialog(records, seatName, parent);
    dialog->exec();
    delete dialog; // null when the parent took it down during exec
}
