// The data-update dialog against a local stand-in for the daily-bar service,
// reached through the proxy route at the real URLs: the order of the
// fetches, the progress, the files left under data/dl/, stocks whose fetch
// fails, an empty list, and input while it runs. Every run must end with the
// dialog closed.

#include "app/shell/stockdownloaddlg.h"

#include "tests/support/fixtures.h"
#include "tests/support/testhttpserver.h"

#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

namespace {

const QString kCacheDir = QStringLiteral("data/dl/");

QString serviceUrl(const QString& prefixedCode) {
    return QStringLiteral("http://api.finance.ifeng.com/akdaily/?code=%1&type=last")
        .arg(prefixedCode);
}

// One day of seventeen values whose last value names the stock.
QByteArray dayReply(const QString& code) {
    QStringList values{QStringLiteral("\"2017-10-09\"")};
    for (int i = 1; i < 16; ++i)
        values.append(QStringLiteral("\"%1\"").arg(i));
    values.append(QStringLiteral("\"%1\"").arg(code));
    return (QStringLiteral("{\"record\":[[") + values.join(QLatin1Char(',')) +
            QStringLiteral("]]}"))
        .toLatin1();
}

QStringList cachedFiles() {
    return QDir(kCacheDir).entryList(QDir::Files, QDir::Name);
}

// What the dialog had done each time its bar moved.
struct Step {
    int value;
    QStringList files;
    QStringList requests;
};

} // namespace

class TestStockDownLoadDlg final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void threeStocks();
    void oneStock();
    void noStocks();
    void failedStocks();
    void ignoresInput();

private:
    // Runs the dialog with exec() and records its steps; a run that has not
    // ended after timeoutMs is ended from outside and reported as stuck.
    bool run(StockDownLoadDlg& dialog, QVector<Step>* steps, int timeoutMs = 15000);

    TestHttpServer m_server;
};

void TestStockDownLoadDlg::initTestCase() {
    QVERIFY(m_server.listenAsApplicationProxy());
}

void TestStockDownLoadDlg::cleanupTestCase() {
    TestHttpServer::removeApplicationProxy();
    QDir(QStringLiteral("data")).removeRecursively();
}

void TestStockDownLoadDlg::init() {
    QDir(QStringLiteral("data")).removeRecursively();
    m_server.clearRoutes();
    m_server.clearRequests();
    m_server.setDefaultResponse("<html>not found</html>", 404);
}

bool TestStockDownLoadDlg::run(StockDownLoadDlg& dialog, QVector<Step>* steps, int timeoutMs) {
    auto* bar = dialog.findChild<QProgressBar*>();
    if (!bar || bar->value() != 0)
        return false;
    connect(bar, &QProgressBar::valueChanged, this, [this, steps](int value) {
        steps->append({value, cachedFiles(), m_server.requests()});
    });
    bool stuck = false;
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, &dialog, [&] {
        stuck = true;
        dialog.done(QDialog::Rejected);
    });
    guard.start(timeoutMs);
    dialog.exec();
    return !stuck && !dialog.isVisible();
}

void TestStockDownLoadDlg::threeStocks() {
    const QStringList codes{QStringLiteral("000001"), QStringLiteral("600000"),
                            QStringLiteral("600519")};
    m_server.setRoute(serviceUrl(QStringLiteral("sz000001")), dayReply(codes[0]));
    m_server.setRoute(serviceUrl(QStringLiteral("sh600000")), dayReply(codes[1]));
    m_server.setRoute(serviceUrl(QStringLiteral("sh600519")), dayReply(codes[2]));

    StockDownLoadDlg dialog(codes);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("数据更新"));
    QVERIFY(!dialog.isEnabled());
    QVector<Step> steps;
    QVERIFY(run(dialog, &steps));

    // Worked from the end of the list; one fetch and one file per step.
    const QStringList urls{serviceUrl(QStringLiteral("sh600519")),
                           serviceUrl(QStringLiteral("sh600000")),
                           serviceUrl(QStringLiteral("sz000001"))};
    QCOMPARE(steps.size(), 3);
    QCOMPARE(steps[0].value, 33);
    QCOMPARE(steps[0].requests, urls.mid(0, 1));
    QCOMPARE(steps[0].files, (QStringList{"600519"}));
    QCOMPARE(steps[1].value, 66);
    QCOMPARE(steps[1].requests, urls.mid(0, 2));
    QCOMPARE(steps[1].files, (QStringList{"600000", "600519"}));
    QCOMPARE(steps[2].value, 100);
    QCOMPARE(steps[2].requests, urls);
    QCOMPARE(steps[2].files, (QStringList{"000001", "600000", "600519"}));
    for (const QString& code : codes)
        QCOMPARE(readFileBytes(kCacheDir + code), dayReply(code));
    QCOMPARE(m_server.requestCount(), 3);
}

void TestStockDownLoadDlg::oneStock() {
    m_server.setRoute(serviceUrl(QStringLiteral("sz002460")), dayReply(QStringLiteral("002460")));
    StockDownLoadDlg dialog({QStringLiteral("002460")});
    QElapsedTimer sinceFull;
    qint64 closedAfter = -1;
    auto* bar = dialog.findChild<QProgressBar*>();
    QVERIFY(bar);
    connect(bar, &QProgressBar::valueChanged, this, [&](int value) {
        if (value == 100)
            sinceFull.start();
    });
    connect(&dialog, &QDialog::finished, this, [&] {
        if (sinceFull.isValid())
            closedAfter = sinceFull.elapsed();
    });
    QVector<Step> steps;
    QVERIFY(run(dialog, &steps));
    QCOMPARE(steps.size(), 1);
    QCOMPARE(steps[0].value, 100);
    QCOMPARE(steps[0].files, (QStringList{"002460"}));
    // It closes on the next tick, not at once.
    QVERIFY2(closedAfter >= 500, qPrintable(QString::number(closedAfter)));
}

void TestStockDownLoadDlg::noStocks() {
    StockDownLoadDlg dialog({});
    QVector<Step> steps;
    QElapsedTimer timer;
    timer.start();
    QVERIFY(run(dialog, &steps));
    QVERIFY(timer.elapsed() < 5000);
    QVERIFY(steps.isEmpty());
    QCOMPARE(dialog.findChild<QProgressBar*>()->value(), 0);
    QCOMPARE(m_server.requestCount(), 0);
    QVERIFY(cachedFiles().isEmpty());
}

void TestStockDownLoadDlg::failedStocks() {
    // An error page for one stock, an empty reply for another; each stands
    // between stocks that are served.
    m_server.setRoute(serviceUrl(QStringLiteral("sz000002")), dayReply(QStringLiteral("000002")));
    m_server.setRoute(serviceUrl(QStringLiteral("sh600519")), "<html>server error</html>", 500);
    m_server.setRoute(serviceUrl(QStringLiteral("sh600000")), QByteArray());
    m_server.setRoute(serviceUrl(QStringLiteral("sz000001")), dayReply(QStringLiteral("000001")));
    QVERIFY(QDir().mkpath(kCacheDir));
    {
        QFile earlier(kCacheDir + QStringLiteral("600519"));
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write(dayReply(QStringLiteral("600519")));
    }

    StockDownLoadDlg dialog({QStringLiteral("000001"), QStringLiteral("600000"),
                             QStringLiteral("600519"), QStringLiteral("000002")});
    QVector<Step> steps;
    QVERIFY(run(dialog, &steps));
    QCOMPARE(steps.size(), 4);
    QCOMPARE(steps[0].value, 25);
    QCOMPARE(steps[1].value, 50);
    QCOMPARE(steps[2].value, 75);
    QCOMPARE(steps[3].value, 100);
    QCOMPARE(m_server.requests(), (QStringList{serviceUrl(QStringLiteral("sz000002")),
                                               serviceUrl(QStringLiteral("sh600519")),
                                               serviceUrl(QStringLiteral("sh600000")),
                                               serviceUrl(QStringLiteral("sz000001"))}));
    // A failed fetch leaves the stock's earlier copy as it was and makes no
    // empty one; the stocks after it are fetched and saved all the same.
    QCOMPARE(cachedFiles(), (QStringList{"000001", "000002", "600519"}));
    QCOMPARE(readFileBytes(kCacheDir + QStringLiteral("600519")),
             dayReply(QStringLiteral("600519")));
    QCOMPARE(readFileBytes(kCacheDir + QStringLiteral("000001")),
             dayReply(QStringLiteral("000001")));
    QCOMPARE(readFileBytes(kCacheDir + QStringLiteral("000002")),
             dayReply(QStringLiteral("000002")));
}

void TestStockDownLoadDlg::ignoresInput() {
    // Escape closes an ordinary dialog...
    QDialog plain;
    plain.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plain));
    QTest::keyClick(&plain, Qt::Key_Escape);
    QVERIFY(!plain.isVisible());

    // ...but not this one, which runs to its end.
    m_server.setRoute(serviceUrl(QStringLiteral("sh600036")), dayReply(QStringLiteral("600036")));
    m_server.setRoute(serviceUrl(QStringLiteral("sz300059")), dayReply(QStringLiteral("300059")));
    StockDownLoadDlg dialog({QStringLiteral("600036"), QStringLiteral("300059")});
    bool stillOpen = false;
    QTimer::singleShot(100, &dialog, [&] {
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QTest::keyClick(&dialog, Qt::Key_Return);
        QTest::mouseClick(&dialog, Qt::LeftButton);
        stillOpen = dialog.isVisible();
    });
    QVector<Step> steps;
    QVERIFY(run(dialog, &steps));
    QVERIFY(stillOpen);
    QCOMPARE(steps.size(), 2);
    QCOMPARE(steps.last().value, 100);
    QCOMPARE(cachedFiles(), (QStringList{"300059", "600036"}));
}

QTEST_MAIN(TestStockDownLoadDlg)
#include "tst_stockdownloaddlg.moc"
