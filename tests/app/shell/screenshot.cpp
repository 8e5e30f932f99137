// Takes the README's screenshot: the main window after a scan of the test
// fixtures, served by a local server that stands in for the data services
// through an HTTP proxy, with a listed stock's chart shown.
//
//   vesk_screenshot <output.png>     (run by scripts/screenshot.sh under xvfb-run)
#include "app/scan/lhbpkwidget.h"
#include "app/shell/lhbmainwindow.h"
#include "app/shell/startup.h"
#include "app/views/lhbtabwidget.h"
#include "app/views/recommandstockview.h"
#include "app/views/stocklistview.h"
#include "core/providers/eastmoneylhbdatainterface.h"
#include "core/providers/eastmoneylhblistinterface.h"
#include "core/providers/stocknewsinterface.h"
#include "core/providers/stockqqhistoryinterface.h"
#include "core/stockapplication.h"
#include "tests/support/fixtures.h"
#include "tests/support/testhttpserver.h"

#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QUrl>

#include <cstdio>
#include <functional>

namespace {

const QString kDay = QStringLiteral("2017-10-09");

QByteArray fixture(const QString& name) {
    return toGbk(fixtureText(QStringLiteral("scan/") + name));
}

bool routeFixtures(TestHttpServer& server) {
    server.setDefaultResponse(QByteArray(), 404);
    EastmoneyLHBListInterface lists;
    for (const char* day : {"2017-10-09", "2017-10-06", "2017-10-05"}) {
        const QString d = QLatin1String(day);
        server.setRoute(lists.urls(QStringList{d}).value(0),
                        fixture(QStringLiteral("list-%1.js").arg(d)));
    }
    const QDir data(fixturePath(QStringLiteral("scan")));
    EastmoneyLHBDataInterface seats;
    for (const QString& file : data.entryList({QStringLiteral("seats-*.html")})) {
        // seats-yyyy-MM-dd-code.html
        const QString date = file.mid(6, 10);
        const QString code = file.mid(17, 6);
        server.setRoute(seats.urls(QStringList{code + QLatin1Char(',') + date}).value(0),
                        fixture(file));
    }
    // The K-line and news queries carry a random number: routed by path.
    StockQQHistoryInterface klines;
    StockNewsInterface news;
    const QString code = QStringLiteral("600001");
    server.setRoute(QUrl(klines.urls(QStringList{code}).value(0)).path(),
                    fixture(QStringLiteral("kline.json")), 200, "application/json");
    server.setRoute(QUrl(news.url(code)).path(), fixture(QStringLiteral("news.json")), 200,
                    "application/json");
    return !fixture(QStringLiteral("kline.json")).isEmpty();
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

int fail(const char* what) {
    std::fprintf(stderr, "screenshot: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2)
        return fail("usage: vesk_screenshot <output.png>");
    const QString output = QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1]));

    // config.ini and the first-run marker go to a scratch folder, not the user's.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return fail("no scratch folder");
    qputenv("XDG_CONFIG_HOME", scratch.path().toLocal8Bit());
    QDir::setCurrent(scratch.path());

    StockApplication app(argc, argv);
    initVeskResources();
    applyChineseLocale();
    applyApplicationStyle(app);
    installQtTranslation(app);
    applyApplicationFont(app);

    TestHttpServer server;
    if (!server.listen() || !routeFixtures(server))
        return fail("fixture server could not start");
    server.installAsApplicationProxy();

    LHBMainWindow window;
    window.show();
    auto* pk = window.findChild<LHBPKWidget*>();
    if (!pk)
        return fail("no scan widget");
    pk->dateEdit()->setDate(QDate::fromString(kDay, QStringLiteral("yyyy-MM-dd")));
    pk->scanButton()->click();
    if (!waitUntil([pk] { return pk->scanButton()->isEnabled(); }, 120000))
        return fail("scan did not end");
    pk->threadPool()->waitForDone(5000);

    // Show the recommended text of the first stock, then that stock's chart.
    QListWidget* recommended = pk->tabs()->recommendView()->stockList();
    if (recommended->count() == 0)
        return fail("no recommendation");
    StockListView* list = pk->stockList();
    int row = -1;
    for (int r = 0; r < list->rowCount() && row < 0; ++r)
        if (list->item(r, 0) && list->item(r, 0)->text() == QLatin1String("600001"))
            row = r;
    if (row < 0)
        return fail("600001 not listed");
    list->selectRow(row);
    pk->onClickLHBList(QStringLiteral("600001"));
    pk->tabs()->setCurrentIndex(1);
    waitUntil([] { return false; }, 500); // let the chart lay out and paint

    if (!window.grab().save(output))
        return fail("could not write the picture");
    std::printf("%s\n", qPrintable(output));
    return 0;
}
