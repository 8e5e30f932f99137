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
        if (!source.open(QIODevice::ReadOnly))
            return;
        auto* page =
            new QTemporaryFile(QDir::tempPath() + QStringLiteral("/vesk-info-XXXXXX.htm"), this);
        if (!page->open() || page->write(source.readAll()) != source.size() || !page->flush()) {
            delete page;
            return;
        }
        page->close();
        m_infoPage = page;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_infoPage->fileName()));
}

void LHBMainWindow::visitAbout() {
    StockAboutWidget about(this);
    about.exec();
}

void LHBMainWindow::visitSetting() {
    PeloStockConfigDialog dialog(this);
    dialog.exec();
}
