// The shell's dialogs, main window, resources and the start-up steps that
// set style, translation and font.
#include "app/scan/lhbpkwidget.h"
#include "app/views/lhbtabwidget.h"
#include "app/views/stocklistview.h"
#include "chart/candlestickwidget.h"
#include "app/shell/lhbmainwindow.h"
#include "app/shell/pelostockconfigdialog.h"
#include "app/shell/startup.h"
#include "app/shell/stockaboutwidget.h"
#include "app/shell/stocknotewidget.h"
#include "core/inifile.h"
#include "core/stockapplication.h"
#include "core/tradingcalendar.h"

#include "tests/support/stockapptestmain.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QTextEdit>
#include <QTableWidget>
#include <QToolTip>
#include <QtTest>

#include <qcustomplot.h>

#include <functional>

namespace {

const QStringList kDays{QStringLiteral("2017-10-01"), QStringLiteral("2017-10-02")};

// Runs check on the next modal dialog once it is shown, then closes it; the
// caller then starts the code that opens it.
void onNextModal(std::function<void(QWidget*)> check) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, check] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            check(modal);
            modal->close();
        }
    });
    poll->start();
}

QPushButton* buttonWithText(QWidget* parent, const QString& text) {
    for (QPushButton* b : parent->findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

bool isFixedSize(QWidget* w, int width, int height) {
    return w->minimumSize() == QSize(width, height) && w->maximumSize() == QSize(width, height);
}

} // namespace

// Records the URLs the program asks the desktop to open.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

class TestShellWidgets : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void resourcesAreEmbedded();
    void styleTranslationAndFont();

    void aboutDialog();

    void notePage_data();
    void notePage();
    void noteIsReadOnly();

    void configShowsList();
    void configStoresText_data();
    void configStoresText();
    void configNamesWrongEntryRead();
    void configClosedOtherwiseKeepsList_data();
    void configClosedOtherwiseKeepsList();

    void mainWindowLayout();
    void mainWindowOpensModalDialogs_data();
    void mainWindowOpensModalDialogs();
    void homeOpensOwnInformationPage();

private:
    StockApplication* app() { return StockApplication::instance(); }
};

void TestShellWidgets::initTestCase() {
    QVERIFY(app());
    initVeskResources();
}

void TestShellWidgets::resourcesAreEmbedded() {
    QVERIFY(!QPixmap(QStringLiteral(":/images/vesk.png")).isNull());
    QVERIFY(QFile::exists(QStringLiteral(":/images/vesk.ico")));

    QFile page{QLatin1String(kInfoPagePath)};
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    QVERIFY(html.contains(QStringLiteral("龙虎榜")));
    // The page must name no web address: the program has no site.
    QVERIFY(!html.contains(QLatin1String("http")));
    QVERIFY(!html.contains(QLatin1String("www.")));
}

void TestShellWidgets::styleTranslationAndFont() {
    const bool haveCleanlooks =
        QStyleFactory::keys().contains(QStringLiteral("Cleanlooks"), Qt::CaseInsensitive);
    const QString expected =
        haveCleanlooks ? QStringLiteral("Cleanlooks") : QStringLiteral("Fusion");
    QCOMPARE(applyApplicationStyle(*app()), expected);
    QCOMPARE(QApplication::style()->objectName().toLower(), expected.toLower());

    QVERIFY(installQtTranslation(*app()));
    // Qt's own buttons now speak Chinese.
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
    QCOMPARE(box.button(QDialogButtonBox::Ok)->text(), QStringLiteral("确定"));

    applyApplicationFont(*app());
    QCOMPARE(QApplication::font().pointSize(), 10);
}

void TestShellWidgets::aboutDialog() {
    StockAboutWidget about(nullptr);
    const QString text = QStringLiteral("岱鸮龙虎榜股票分析系统 1.6.2.0)");
    QCOMPARE(about.windowTitle(), text);
    const QList<QLabel*> labels = about.findChildren<QLabel*>();
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.first()->text(), text);
    QCOMPARE(labels.first()->font().pointSize(), 12);
    QVERIFY(isFixedSize(&about, 410, 196));

    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QPushButton* ok = buttonWithText(&about, QStringLiteral("确定"));
    QVERIFY(ok);
    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(!about.isVisible());
}

void TestShellWidgets::notePage_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("localeCodec");
    QTest::addColumn<QString>("expected");
    const QString text = QStringLiteral("龙虎榜说明");
    QTest::newRow("UTF-8 with byte-order mark, GBK locale")
        << QByteArray("\xef\xbb\xbf") + text.toUtf8() << QByteArray("GBK") << text;
    QTest::newRow("GBK without mark, GBK locale")
        << QTextCodec::codecForName("GBK")->fromUnicode(text) << QByteArray("GBK") << text;
    QTest::newRow("UTF-8 without mark, UTF-8 locale")
        << text.toUtf8() << QByteArray("UTF-8") << text;
    QTest::newRow("missing file") << QByteArray() << QByteArray("UTF-8") << QString();
}

void TestShellWidgets::notePage() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, localeCodec);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("missing.htm"));
    if (!bytes.isEmpty()) {
        path = dir.filePath(QStringLiteral("page.htm"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTextCodec* previous = QTextCodec::codecForLocale();
    QTextCodec::setCodecForLocale(QTextCodec::codecForName(localeCodec));
    StockNoteWidget note(QStringLiteral("说明标题"), path, nullptr);
    QTextCodec::setCodecForLocale(previous);

    QCOMPARE(note.windowTitle(), QStringLiteral("说明"));
    QVERIFY(isFixedSize(&note, 400, 189));
    QVERIFY(!note.windowIcon().isNull());
    QLabel* caption = note.findChild<QLabel*>();
    QVERIFY(caption);
    QCOMPARE(caption->text(), QStringLiteral("说明标题"));
    QTextEdit* page = note.findChild<QTextEdit*>();
    QVERIFY(page);
    QCOMPARE(page->toPlainText(), expected);
    QVERIFY(page->isReadOnly());
}

void TestShellWidgets::noteIsReadOnly() {
    StockNoteWidget note(QString::fromUtf8(kFirstRunCaption), QLatin1String(kInfoPagePath),
                         nullptr);
    note.show();
    QVERIFY(QTest::qWaitForWindowExposed(&note));
    QTextEdit* page = note.findChild<QTextEdit*>();
    QVERIFY(page);
    const QString before = page->toPlainText();
    QVERIFY(before.contains(QStringLiteral("龙虎榜")));
    page->setFocus();
    QTest::keyClicks(page, QStringLiteral("abc"));
    QTest::keyClick(page, Qt::Key_Backspace);
    QCOMPARE(page->toPlainText(), before);

    QPushButton* ok = buttonWithText(&note, QStringLiteral("确定"));
    QVERIFY(ok);
    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(!note.isVisible());
}

void TestShellWidgets::configShowsList() {
    app()->setNonTradeDays({QStringLiteral("2017-10-01"), QStringLiteral("2017-10-02")});
    PeloStockConfigDialog dialog(nullptr);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("软件配置"));
    QVERIFY(isFixedSize(&dialog, 320, 280));
    QTextEdit* editor = dialog.findChild<QTextEdit*>();
    QVERIFY(editor);
    QCOMPARE(editor->toPlainText(), QStringLiteral("2017-10-01,2017-10-02"));
    QTabWidget* tabs = dialog.findChild<QTabWidget*>();
    QVERIFY(tabs);
    QCOMPARE(tabs->count(), 1);
    QCOMPARE(tabs->tabText(0), QStringLiteral("非交易日"));
}

void TestShellWidgets::configStoresText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("rejected"); // the entry, or the reason, the message names
    // Weekdays, so that the calendar's answer comes from the list alone.
    const QString d1 = QStringLiteral("2031-06-09"), d2 = QStringLiteral("2031-06-10");
    const QStringList both{d1, d2};
    QTest::newRow("two days") << d1 + ',' + d2 << both << "";
    QTest::newRow("blank after the comma") << d1 + ", " + d2 << both << "";
    QTest::newRow("empty entries dropped") << " ," + d1 + ",, ," + d2 + ',' << both << "";
    QTest::newRow("one day per line") << d1 + '\n' + d2 + '\n' << both << "";
    QTest::newRow("full-width comma") << d1 + QStringLiteral("，") + d2 << both << "";
    QTest::newRow("empty text") << "" << QStringList{} << "";
    QTest::newRow("surrounding blank lines") << "\n  \n" + d1 + ',' + d2 + "\n\n" << both << "";
    // An invalid entry keeps the dialog open and the list as it was.
    for (const char* bad : {"foo", "2017-02-30", "2017-1-5"})
        QTest::newRow(bad) << d1 + ", " + bad << kDays << bad;
    // Days enough to take config.ini past the size a start reads.
    QTest::newRow("more days than config.ini holds")
        << (d1 + QLatin1Char(',')).repeated(int(IniFile::kMaxFileBytes) / d1.size()) << kDays
        << QStringLiteral("1 兆字节");
}

void TestShellWidgets::configStoresText() {
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QFETCH(QString, rejected);
    app()->setNonTradeDays(kDays);

    PeloStockConfigDialog dialog(nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.findChild<QTextEdit*>()->setPlainText(text);
    QString message;
    if (!rejected.isEmpty())
        onNextModal([&message](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                message = box->text();
        });
    QPushButton* closeButton = buttonWithText(&dialog, QStringLiteral("关闭"));
    QVERIFY(closeButton);
    QTest::mouseClick(closeButton, Qt::LeftButton);
    QCOMPARE(dialog.isVisible(), !rejected.isEmpty());
    QVERIFY2(message.contains(rejected), qPrintable(message));
    // Stored as the list, not merged into it, and used by the calendar.
    QCOMPARE(app()->nonTradeDays(), expected);
    for (const QString& day : expected)
        QVERIFY(isNonTradingDay(QDate::fromString(day, Qt::ISODate)));
}

void TestShellWidgets::configNamesWrongEntryRead() {
    // From a hand-edited config.ini: named on opening, kept by "关闭".
    const QStringList read{QStringLiteral("2031-06-09"), QStringLiteral("元旦")};
    app()->setNonTradeDays(read);
    PeloStockConfigDialog dialog(nullptr);
    dialog.show();
    QCOMPARE(dialog.findChild<QTextEdit*>()->toPlainText(), read.join(QLatin1Char(',')));
    QLabel* note = dialog.findChild<QLabel*>();
    QVERIFY(note && note->text().contains(QStringLiteral("“元旦”")));
    QTest::mouseClick(buttonWithText(&dialog, QStringLiteral("关闭")), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(app()->nonTradeDays(), read);
}

void TestShellWidgets::configClosedOtherwiseKeepsList_data() {
    QTest::addColumn<bool>("escape");
    QTest::newRow("title-bar close") << false;
    QTest::newRow("Escape") << true;
}

void TestShellWidgets::configClosedOtherwiseKeepsList() {
    QFETCH(bool, escape);
    const QStringList days{QStringLiteral("2017-10-01"), QStringLiteral("2017-10-02")};
    app()->setNonTradeDays(days);

    PeloStockConfigDialog dialog(nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.findChild<QTextEdit*>()->setPlainText(QStringLiteral("2020-01-01"));
    if (escape)
        QTest::keyClick(&dialog, Qt::Key_Escape);
    else
        dialog.close();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(app()->nonTradeDays(), days);
}

void TestShellWidgets::mainWindowLayout() {
    LHBMainWindow window;
    QCOMPARE(window.windowTitle(), QStringLiteral("岱鸮龙虎榜分析系统1.6.2.0"));
    QVERIFY(!window.windowIcon().isNull());
    QCOMPARE(window.size(), QSize(960, 640));
    QVERIFY(qobject_cast<LHBPKWidget*>(window.centralWidget()));

    const QList<QAction*> menus = window.menuBar()->actions();
    QCOMPARE(menus.size(), 2);
    QCOMPARE(menus[0]->text(), QStringLiteral("&设置"));
    QCOMPARE(menus[1]->text(), QStringLiteral("&帮助"));
    QStringList settingTexts, helpTexts;
    for (QAction* a : menus[0]->menu()->actions())
        settingTexts << a->text();
    for (QAction* a : menus[1]->menu()->actions())
        helpTexts << a->text();
    QCOMPARE(settingTexts, QStringList{QStringLiteral("设置")});
    QCOMPARE(helpTexts, (QStringList{QStringLiteral("网站"), QStringLiteral("关于")}));

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* pk = qobject_cast<LHBPKWidget*>(window.centralWidget());

    // A stock's chart at the designed size: the candles take most of the
    // height, and the price axis can be read.
    QVector<Stock> bars(70);
    for (int i = 0; i < bars.size(); ++i) {
        bars[i].code = QStringLiteral("600001");
        bars[i].date = QDate(2017, 6, 1).addDays(i).toString(Qt::ISODate);
        bars[i].open = 10.0f + 0.1f * i;
        bars[i].close = bars[i].open + (i % 2 ? 0.3f : -0.2f);
        bars[i].high = bars[i].open + 0.4f;
        bars[i].low = bars[i].open - 0.3f;
        bars[i].volume = 1000.0f + 10.0f * i;
    }
    CandlestickWidget* chart = pk->tabs()->chart();
    pk->tabs()->setCurrentWidget(chart);
    chart->setData(60, QStringLiteral("600001"), bars, QStringLiteral("day"), QStringLiteral("hfq"));
    auto* plot = chart->findChild<QCustomPlot*>();
    QTest::qWait(100); // the queued replots that space the ticks
    plot->replot();
    QCOMPARE(plot->axisRects().size(), 2);
    const int price = plot->axisRects().at(0)->rect().height();
    const int pane = plot->axisRects().at(1)->rect().height();
    QVERIFY2(price >= 0.6 * (price + pane), qPrintable(QStringLiteral("%1 / %2").arg(price).arg(pane)));
    int labelled = 0;
    const QVector<double> ticks = plot->yAxis->tickVector();
    const QVector<QString> labels = plot->yAxis->tickVectorLabels();
    for (int i = 0; i < ticks.size(); ++i)
        labelled += plot->yAxis->range().contains(ticks.at(i)) && !labels.value(i).isEmpty();
    QVERIFY2(labelled >= 3, qPrintable(QStringLiteral("%1 of %2, %3 px").arg(labelled).arg(ticks.size()).arg(price)));

    // No text widens the window: a long name is cut off, and its whole
    // text (up to the tooltips' bound) is at hand as a tooltip, in the line
    // and in the list.
    const QString longName = QString(200, QChar(0x7532));
    QLabel* info = pk->infoLabel();
    info->setText(QStringLiteral(" 代码:600001,名称:") + longName);
    QVERIFY2(window.minimumSizeHint().width() <= 960,
             qPrintable(QString::number(window.minimumSizeHint().width())));
    QCOMPARE(window.width(), 960);
    info->grab();
    QCOMPARE(info->toolTip(), info->text());
    Stock named;
    named.code = QStringLiteral("600001");
    named.name = longName;
    pk->stockList()->addStock(named);
    QTableWidgetItem* nameCell = pk->stockList()->item(0, 1);
    const QPoint at = pk->stockList()->visualItemRect(nameCell).center();
    QHelpEvent help(QEvent::ToolTip, at, pk->stockList()->viewport()->mapToGlobal(at));
    QApplication::sendEvent(pk->stockList()->viewport(), &help);
    QCOMPARE(QToolTip::text(), longName);
    QVERIFY(window.minimumSizeHint().width() <= 960);

    // Still resizable.
    window.resize(700, 500);
    QCOMPARE(window.size(), QSize(700, 500));
}

void TestShellWidgets::mainWindowOpensModalDialogs_data() {
    QTest::addColumn<int>("menu");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("dialogClass");
    QTest::newRow("设置") << 0 << 0 << "PeloStockConfigDialog";
    QTest::newRow("关于") << 1 << 1 << "StockAboutWidget";
}

void TestShellWidgets::mainWindowOpensModalDialogs() {
    QFETCH(int, menu);
    QFETCH(int, action);
    QFETCH(QString, dialogClass);

    LHBMainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QString seenClass;
    QWidget* seenParent = nullptr;
    bool seenModal = false;
    onNextModal([&](QWidget* modal) {
        seenClass = QLatin1String(modal->metaObject()->className());
        seenParent = modal->parentWidget();
        seenModal = modal->isModal();
    });
    window.menuBar()->actions().at(menu)->menu()->actions().at(action)->trigger();

    QCOMPARE(seenClass, dialogClass);
    QCOMPARE(seenParent, static_cast<QWidget*>(&window));
    QVERIFY(seenModal);
    // Built for one use: gone once it has closed. (The scan widget's news
    // table is a dialog embedded deeper down; only direct children count.)
    QVERIFY(window.findChildren<QDialog*>(QString(), Qt::FindDirectChildrenOnly).isEmpty());
}

void TestShellWidgets::homeOpensOwnInformationPage() {
    UrlRecorder recorder;
    for (const char* scheme : {"file", "http", "https"})
        QDesktopServices::setUrlHandler(QLatin1String(scheme), &recorder, "open");

    QString pagePath;
    {
        LHBMainWindow window;
        window.menuBar()->actions().at(1)->menu()->actions().at(0)->trigger();
        window.visitHome(); // a second visit opens the same page again
        QCOMPARE(recorder.urls.size(), 2);
        for (const QUrl& url : recorder.urls)
            QVERIFY2(url.isLocalFile(), qPrintable(url.toString()));
        QCOMPARE(recorder.urls[0], recorder.urls[1]);
        pagePath = recorder.urls[0].toLocalFile();

        QFile shown(pagePath);
        QVERIFY(shown.open(QIODevice::ReadOnly));
        QFile embedded{QLatin1String(kInfoPagePath)};
        QVERIFY(embedded.open(QIODevice::ReadOnly));
        QCOMPARE(shown.readAll(), embedded.readAll());
        QVERIFY(pagePath.endsWith(QLatin1String(".htm")));

        // Without a browser (no handler; the test platform starts none) the
        // user is told so and given the page's address to copy.
        for (const char* scheme : {"file", "http", "https"})
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
        QString said;
        onNextModal([&said](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                said = box->text();
        });
        window.visitHome();
        QCOMPARE(QUrl(said.section(QLatin1Char('\n'), -1)), recorder.urls[0]);
    }
    // The temporary page goes with the window.
    QVERIFY(!QFile::exists(pagePath));
}

VESK_STOCKAPP_TEST_MAIN(TestShellWidgets)

#include "tst_shellwidgets.moc"
