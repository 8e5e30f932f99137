// The quote-ranking client and the stock diagnosis client: URLs as the
// services take them, the rows and texts cut from fixture replies, and
// hostile texts.

#include "core/providers/quoteranking.h"
#include "core/providers/stockdoctor.h"

#include "tests/support/fixtures.h"
#include "tests/support/hostileinputs.h"
#include "tests/support/proxyfetch.h"
#include "tests/support/testhttpserver.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

namespace {

const char kRankingPrefix[] =
    "http://nufm.dfcfw.com/EM_Finance2014NumericApplication/JS.aspx?type=CT&cmd=C._AHH"
    "&sty=FCABHL&sortType=C&sortRule=-1&page=";
const char kRankingMiddle[] = "&pageSize=20&js=var%20quote_123%3d{rank:[(x)],pages:(pc)}"
                              "&token=7d3f0a9c2e5b8146f0c3a7e9d2b5c8f1&jsName=quote_123&_g=";
const char kRankingTail[] = "%20[HTTP/1.1%20200%20OK%2068ms]";

QStringList row17(const QString& item1, const QString& item4) {
    QStringList items;
    for (int i = 0; i < 17; ++i)
        items.append(QStringLiteral("f%1").arg(i));
    items[1] = item1;
    items[4] = item4;
    return items;
}

} // namespace

class TestRankingDoctor final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void rankingUrlsShape();
    void rankingFetched();
    void rankingRows_data();
    void rankingRows();

    void doctorUrlsByCode();
    void doctorFetched();
    void doctorSections();
    void doctorSpans_data();
    void doctorSpans();
    void doctorTitles();
    void doctorSummaryMissingParts_data();
    void doctorSummaryMissingParts();

    void hostileInputs();

private:
    TestHttpServer m_server;
};

void TestRankingDoctor::initTestCase() {
    QVERIFY(m_server.listenAsApplicationProxy());
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    qsrand(1);
    QT_WARNING_POP
}

void TestRankingDoctor::cleanupTestCase() {
    TestHttpServer::removeApplicationProxy();
}

// ---- Ranking ----------------------------------------------------------------

void TestRankingDoctor::rankingUrlsShape() {
    const QStringList urls = rankingUrls();
    QCOMPARE(urls.size(), 5);
    QSet<QString> randoms;
    for (int page = 1; page <= 5; ++page) {
        const QString& url = urls.at(page - 1);
        const QString head =
            QLatin1String(kRankingPrefix) + QString::number(page) + QLatin1String(kRankingMiddle);
        QVERIFY2(url.startsWith(head), qPrintable(url));
        QVERIFY2(url.endsWith(QLatin1String(kRankingTail)), qPrintable(url));
        QVERIFY(!url.contains(QLatin1Char('@')));
        // The "_g=" value: a fraction in "g" form.
        const QString random =
            url.mid(head.size(), url.size() - head.size() - int(qstrlen(kRankingTail)));
        bool ok = false;
        const double value = random.toDouble(&ok);
        QVERIFY2(ok && value >= 0.0 && value < 1.0, qPrintable(random));
        randoms.insert(random);
    }
    QCOMPARE(randoms.size(), 5);
    QCOMPARE(rankingUrls(QStringLiteral("ignored")).size(), 5);
}

void TestRankingDoctor::rankingFetched() {
    const QString fixture = fixtureText(QStringLiteral("providers/ranking-page1.js"));
    const QString url = rankingUrls().first();
    const QString text = fetchGbkViaProxy(m_server, url, fixture, "application/javascript");
    QCOMPARE(m_server.requests().size(), 1);
    QCOMPARE(text, fixture);

    const QVector<QStringList> rows = parseRanking(text);
    // Three rows of 17 items; the fourth has 16 and is skipped.
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(0), (QStringList{"", "600036", "招商银行", "27.64", "1.54", "148926", " 0.26 ",
                                      "27.22", "1.43"}));
    // Item 4 keeps its blanks.
    QCOMPARE(rows.at(1), (QStringList{"", "000001", "平安银行", " 11.27 ", "-1.14", "113000",
                                      "0.55", "11.40", "0.98"}));
    QCOMPARE(rows.at(2).value(1), QStringLiteral("300059"));
    for (const QStringList& row : rows)
        QCOMPARE(row.size(), 9);
}

void TestRankingDoctor::rankingRows_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("rows");
    const QString good = row17(QStringLiteral(" 600036 "), QStringLiteral(" 27.64 ")).join(',');
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("no quotes, 17 items") << good << 1;
    QTest::newRow("no quotes, other") << "var quote_123={rank:[],pages:0}" << 0;
    QTest::newRow("one quote") << "var x=\"" + good << 1;
    QTest::newRow("empty rank") << "var quote_123={rank:[\"\"],pages:0}" << 0;
    QTest::newRow("two rows") << "x=[\"" + good + "\",\"" + good + "\"]" << 2;
    QTest::newRow("18 items") << "x=[\"" + good + ",x\"]" << 0;
    QTest::newRow("escaped code")
        << "x=[\"" + QString(good).replace("600036", "\\u0036\\u0030\\u0030036") + "\"]" << 1;
}

void TestRankingDoctor::rankingRows() {
    QFETCH(QString, text);
    QFETCH(int, rows);
    const QVector<QStringList> parsed = parseRanking(text);
    QCOMPARE(parsed.size(), rows);
    for (const QStringList& row : parsed) {
        QCOMPARE(row.value(1), QStringLiteral("600036"));
        QCOMPARE(row.value(3), QStringLiteral(" 27.64 "));
        QCOMPARE(row.value(4), QStringLiteral("f5"));
        QCOMPARE(row.value(8), QStringLiteral("f15"));
    }
}

// ---- Diagnosis --------------------------------------------------------------

void TestRankingDoctor::doctorUrlsByCode() {
    QCOMPARE(doctorUrls({QStringLiteral("600036"), QStringLiteral("000001")}),
             (QStringList{QStringLiteral("http://stockapp.finance.qq.com/doctor/sh600036.html"),
                          QStringLiteral("http://stockapp.finance.qq.com/doctor/sz000001.html")}));
    QVERIFY(doctorUrls({}).isEmpty());
}

void TestRankingDoctor::doctorFetched() {
    const QString fixture = fixtureText(QStringLiteral("providers/doctor-sh600036.html"));
    const QString url = doctorUrls({QStringLiteral("600036")}).first();
    const QString text = fetchGbkViaProxy(m_server, url, fixture);
    QCOMPARE(m_server.requests().size(), 1);
    QCOMPARE(text, fixture);

    const QVector<QStringList> summary = parseDoctorSummary(text);
    QCOMPARE(summary.size(), 1);
    QCOMPARE(summary.first(),
             (QStringList{"72", "招商银行：短期强势，中期看好",
                          "该股近期放量上攻，资金持续流入，短线仍有上行空间。",
                          "技术面：均线多头排列\n资金面：主力资金净流入", "基本面：业绩稳定增长",
                          "短期看涨", "中期看平", "<span class=\"dqzs\">68.5</span>"}));
}

void TestRankingDoctor::doctorSections() {
    const QString page = fixtureText(QStringLiteral("providers/doctor-sh600036.html"));
    // Without a section the whole page is searched: every title, and the
    // page's first span.
    QString span = QStringLiteral("unchanged");
    QCOMPARE(
        parseDoctorPage(page, QString(), span),
        (QStringList{"技术面：均线多头排列", "资金面：主力资金净流入", "基本面：业绩稳定增长"}));
    QCOMPARE(span, QStringLiteral("诊断日期 2017-10-09"));
    // A section that is not on the page finds nothing and leaves the span.
    span = QStringLiteral("unchanged");
    QVERIFY(
        parseDoctorPage(page, QStringLiteral("<div class=\"icon03\">(.*)</div>"), span).isEmpty());
    QCOMPARE(span, QStringLiteral("unchanged"));
    // A section pattern that is a real regular expression works as well.
    span.clear();
    QCOMPARE(parseDoctorPage(page, QStringLiteral("<div class=\"icon0[2]\">(.*)</div>"), span),
             QStringList{"基本面：业绩稳定增长"});
    QCOMPARE(span, QStringLiteral("中期看平"));
    // A section whose items stand in nested <div> elements keeps them and
    // its span, and ends at its own closing tag.
    QString nested = page;
    nested.replace(QStringLiteral("<div class=\"icon01\"><ul>"),
                   QStringLiteral("<div class=\"icon01\"><DIV class=\"a\"><div><ul>"));
    nested.replace(QStringLiteral("资金面</li></ul>"),
                   QStringLiteral("资金面</li></ul></div></div>"));
    span.clear();
    QCOMPARE(parseDoctorPage(nested, QStringLiteral("<div class=\"icon01\">(.*)</div>"), span),
             (QStringList{"技术面：均线多头排列", "资金面：主力资金净流入"}));
    QCOMPARE(span, QStringLiteral("短期看涨"));
}

void TestRankingDoctor::doctorSpans_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("span");
    QTest::newRow("two spans") << "<span> a </span><span>b</span>"
                               << "a";
    QTest::newRow("upper-case tags") << "<SPAN>  c  </SPAN>"
                                     << "c";
    QTest::newRow("no span") << "<p>nothing</p>"
                             << "before";
    QTest::newRow("unclosed span") << "<span>open"
                                   << "before";
    QTest::newRow("classed span only") << "<span class=\"dqzs\">1</span>"
                                       << "before";
    QTest::newRow("empty span") << "<span></span>"
                                << "";
}

void TestRankingDoctor::doctorSpans() {
    QFETCH(QString, page);
    QFETCH(QString, span);
    QString result = QStringLiteral("before");
    QVERIFY(parseDoctorPage(page, QString(), result).isEmpty());
    QCOMPARE(result, span);
}

void TestRankingDoctor::doctorTitles() {
    QString span;
    // The title is the whole attribute value.
    QCOMPARE(parseDoctorPage(QStringLiteral("<ul><li title=\"A1\">x</li><LI TITLE=\"B2\">y</li>"
                                            "<li title=\"\">z</li><li class=\"n\">w</li></ul>"),
                             QString(), span),
             (QStringList{"A1", "B2", ""}));
    QVERIFY(parseDoctorPage(QStringLiteral("<li title=\"unclosed"), QString(), span).isEmpty());
}

void TestRankingDoctor::doctorSummaryMissingParts_data() {
    QTest::addColumn<QString>("remove");
    QTest::newRow("rank") << "<div class=\"ranks_72\">";
    QTest::newRow("headline") << "<div class=\"text-head\">";
    QTest::newRow("commentary") << "<div class=\"text-content\" id=\"content\">";
}

void TestRankingDoctor::doctorSummaryMissingParts() {
    QFETCH(QString, remove);
    QString page = fixtureText(QStringLiteral("providers/doctor-sh600036.html"));
    QVERIFY(page.contains(remove));
    page.remove(remove);
    QVERIFY(parseDoctorSummary(page).isEmpty());
}

void TestRankingDoctor::hostileInputs() {
    QStringList texts{QString(),
                      QStringLiteral("\""),
                      QStringLiteral("\"\""),
                      QStringLiteral("\",\""),
                      QStringLiteral("<div class=\"ranks\">"),
                      QStringLiteral("<div class=\"ranks\"><div class=\"text-head\"></div>"
                                     "<div class=\"text-content\"</div>"),
                      QStringLiteral("<div class=\"ranks\"><div class=\"text-head\"></div>"
                                     "<div class=\"text-content\">x</div>"),
                      QStringLiteral("<li title=\""),
                      QStringLiteral("<span></span"),
                      QStringLiteral("<div class=\"icon01\"></div><div class=\"icon02\">")};
    for (const QString& name :
         {QStringLiteral("ranking-page1.js"), QStringLiteral("doctor-sh600036.html")})
        texts << truncations(fixtureText(QStringLiteral("providers/") + name), 2);
    QRandomGenerator random(12);
    for (int n = 0; n < 30; ++n) {
        static const QString alphabet =
            QStringLiteral("<>/\"=, divclasranktexhdspnoi01-\"li title");
        const int length = static_cast<int>(random.bounded(300));
        texts.append(randomText(random, length, n % 3 ? alphabet : QString()));
    }
    texts << realReplyTexts();

    for (const QString& text : qAsConst(texts)) {
        for (const QStringList& row : parseRanking(text)) {
            QCOMPARE(row.size(), 9);
            QVERIFY(row.first().isEmpty());
        }
        QString span;
        parseDoctorPage(text, QStringLiteral("<div class=\"icon01\">(.*)</div>"), span);
        const QVector<QStringList> summary = parseDoctorSummary(text);
        QVERIFY(summary.size() <= 1);
        if (!summary.isEmpty()) {
            QVERIFY(summary.first().size() >= 7);
            QVERIFY(summary.first().first().size() <= 2);
        }
        if (!text.contains(QLatin1String("ranks"), Qt::CaseInsensitive))
            QVERIFY(summary.isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestRankingDoctor)
#include "tst_rankingdoctor.moc"
