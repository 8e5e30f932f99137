#include "app/shell/lhbmainwindow.h"

#include "app/scan/lhbpkwidget.h"
#include "app/shell/pelostockconfigdialog.h"
#include "app/shell/startup.h"
#include "app/shell/stockaboutwidget.h"
#include "app/shell/version.h"

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTemporaryFile>
#include <QUrl>

LHBMainWindow::LHBMainWindow(QWidget* parent) : QMainWindow(parent) {
    initVeskResources();
    setWindowTitle(QStringLiteral("岱鸮龙虎榜分析系统%1").arg(QLatin1String(kVeskVersion)));
    setWindowIcon(QIcon(QStringLiteral(":/images/vesk.png")));

    m_pkWidget = new LHBPKWidget(nullptr);
    setCentralWidget(m_pkWidget);
    resize(960, 640);

    QMenu* settingMenu = menuBar()->addMenu(tr("&设置"));
    auto* settingAction = new QAction(QStringLiteral("设置"), this);
    settingMenu->addAction(settingAction);
    connect(settingAction, &QAction::triggered, this, &LHBMainWindow::visitSetting);

    QMenu* helpMenu = menuBar()->addMenu(tr("&帮助"));
    auto* homeAction = new QAction(QStringLiteral("网站"), this);
    helpMenu->addAction(homeAction);
    connect(homeAction, &QAction::triggered, this, &LHBMainWindow::visitHome);
    auto* aboutAction = new QAction(QStringLiteral("关于"), this);
    helpMenu->addAction(aboutAction);
    connect(aboutAction, &QAction::triggered, this, &LHBMainWindow::visitAbout);
}

LHBMainWindow::~LHBMainWindow() = default;

void LHBMainWindow::closeEvent(QCloseEvent* event) {
    // Closing the window ends the program: no scan may go on fetching
    // behind it.
    m_pkWidget->stopScan();
    QMainWindow::closeEvent(event);
}

void LHBMainWindow::visitHome() {
    // The program has no web site of its own: show its information page,
    // written out of the resources so that any browser can open it.
    if (!m_infoPage) {
        QFile source{QLatin1String(kInfoPagePath)};
        auto* page =
            new QTemporaryFile(QDir::tempPath() + QStringLiteral("/vesk-info-XXXXXX.htm"), this);
        if (!source.open(QIODevice::ReadOnly) || !page->open() ||
            page->write(source.readAll()) != source.size() || !page->flush()) {
            const QString why = source.isOpen() ? page->errorString() : source.errorString();
            QMessageBox::warning(this, QStringLiteral("网站"),
                                 QStringLiteral("无法写出本程序的信息页（%1）").arg(why));
            delete page;
            return;
        }
        page->close();
        m_infoPage = page;
    }
    const QUrl url = QUrl::fromLocalFile(m_infoPage->fileName());
    if (QDesktopServices::openUrl(url))
        return;
    // Said where the user looks, with the address to copy into a browser.
    QMessageBox box(QMessageBox::Warning, QStringLiteral("网站"),
                    QStringLiteral("无法打开浏览器。请将下面的地址复制到浏览器中打开：\n%1")
                        .arg(url.toString()),
                    QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.exec();
}

void LHBMainWindow::visitAbout() {
    StockAboutWidget about(this);
    about.exec();
}

void LHBMainWindow::visitSetting() {
    PeloStockConfigDialog dialog(this);
    dialog.exec();
}
