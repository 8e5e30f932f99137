#include "core/providers/providerinterfaces.h"

#include "core/providers/eastmoneylhbdatainterface.h"
#include "core/utils.h"

#include "tests/support/fixtures.h"

#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <limits>

using TextReader = std::function<void(const QString&)>;
Q_DECLARE_METATYPE(TextReader)

class TestProviderInterfaces final : public QObject {
    Q_OBJECT
private slots:
    void marketPrefix_data();
    void marketPrefix();
    void queryNumberFromFraction_data();
    void queryNumberFromFraction();
    void randomNumbersStayInRange();
    void regexCaptureAll_data();
    void regexCaptureAll();
    void unescapeUnicode_data();
    void unescapeUnicode();
    void readersGrowLinearly_data();
    void readersGrowLinearly();
};

void TestProviderInterfaces::marketPrefix_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("expected");
    QTest::newRow("shanghai") << "600036"
                              << "sh600036";
    QTest::newRow("shenzhen main") << "000001"
                                   << "sz000001";
    QTest::newRow("growth board") << "300750"
                                  << "sz300750";
    QTest::newRow("empty") << ""
                           << "sz";
}

void TestProviderInterfaces::marketPrefix() {
    QFETCH(QString, code);
    QFETCH(QString, expected);
    QCOMPARE(withMarketPrefix(code), expected);
}

void TestProviderInterfaces::queryNumberFromFraction_data() {
    QTest::addColumn<float>("fraction");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("zero") << 0.0f << qint64(0);
    QTest::newRow("half") << 0.5f << qint64(1073741824);
    // 1 - 2^-24 is the largest float below 1: 2^31 - 2^7.
    QTest::newRow("largest below one") << 0.99999994f << qint64(2147483520);
    QTest::newRow("exactly one clamps") << 1.0f << qint64(2147483647);
    // The generator's top value 2^31 - 1 times 2^-31 rounds to 1.0f.
    QTest::newRow("generator maximum")
        << static_cast<float>(2147483647 * 4.656612873077393e-10) << qint64(2147483647);
    QTest::newRow("negative") << -0.25f << qint64(0);
}

void TestProviderInterfaces::queryNumberFromFraction() {
    QFETCH(float, fraction);
    QFETCH(qint64, expected);
    QCOMPARE(::queryNumberFromFraction(fraction), expected);
}

void TestProviderInterfaces::randomNumbersStayInRange() {
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    qsrand(12345);
    QT_WARNING_POP
    for (int i = 0; i < 20000; ++i) {
        const float f = randomFraction();
        QVERIFY(f >= 0.0f && f <= 1.0f);
        const qint64 n = randomQueryNumber();
        QVERIFY(n >= 0 && n < Q_INT64_C(2147483648));
    }
}

void TestProviderInterfaces::regexCaptureAll_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("expected");
    const QString td = QStringLiteral("<td(.*)</td>");
    QTest::newRow("three cells") << "<tr><td>a</td><td class=x>b</td><td>c</td></tr>" << td
                                 << QStringList{"<td>a</td>", "<td class=x>b</td>", "<td>c</td>"};
    QTest::newRow("upper-case tags") << "<TR><TD>a</TD><TD>b</TD><TD>c</TD></TR>" << td
                                     << QStringList{"<TD>a</TD>", "<TD>b</TD>", "<TD>c</TD>"};
    QTest::newRow("cell over two lines")
        << "<td>\n  机构专用\n</td>" << td << QStringList{"<td>\n  机构专用\n</td>"};
    QTest::newRow("no match") << "<tr></tr>" << td << QStringList{};
    QTest::newRow("empty text") << "" << td << QStringList{};
    // A pattern that can match empty text must still come to an end.
    QTest::newRow("empty matches terminate") << "ab"
                                             << "x*" << QStringList{"", "", ""};
}

void TestProviderInterfaces::regexCaptureAll() {
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(QStringList, expected);
    QCOMPARE(::regexCaptureAll(text, pattern), expected);
}

void TestProviderInterfaces::unescapeUnicode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("chinese") << "\\u673a\\u6784: \\u4E13\\u7528"
                             << "机构: 专用";
    QTest::newRow("no escapes") << "plain text"
                                << "plain text";
    QTest::newRow("escaped backslash") << "\\\\u0041"
                                       << "\\A";
    QTest::newRow("too few digits") << "\\u12g4"
                                    << "\\u12g4";
    QTest::newRow("upper-case U") << "\\U0041"
                                  << "\\U0041";
    QTest::newRow("adjacent") << "\\u0041\\u0042c"
                              << "ABc";
    QTest::newRow("at the end") << "x\\u0031"
                                << "x1";
    QTest::newRow("surrogate pair") << "\\ud83d\\ude00" << QString::fromUtf8("\xF0\x9F\x98\x80");
}

void TestProviderInterfaces::unescapeUnicode() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    ::unescapeUnicode(text);
    QCOMPARE(text, expected);
}

void TestProviderInterfaces::readersGrowLinearly_data() {
    // A hostile reply's shapes within its bound: each "&" that starts no
    // reference, each opening tag without its closing one, each escape must
    // cost the same whatever follows it.
    QTest::addColumn<TextReader>("read");
    QTest::addColumn<QString>("unit");
    const QString page = fixtureText(QStringLiteral("providers/lhb-2017-10-09-002460.html"));
    const int name = page.indexOf(QLatin1Char('>'), page.indexOf(QLatin1String("/lhb/yyb/"))) + 1;
    const QString tr = QStringLiteral("<tr>(.*)</tr>");
    QTest::newRow("seat page, a seat name of \"&\"") << TextReader([=](const QString& run) {
        EastmoneyLHBDataInterface().parse(page.left(name) + run + page.mid(name), {});
    }) << "&&&&&&&&";
    QTest::newRow("all matches, opening tags only")
        << TextReader([tr](const QString& t) { ::regexCaptureAll(t, tr); }) << "<tr>";
    QTest::newRow("first match, opening tags only")
        << TextReader([tr](const QString& t) { ::regexFirstCapture(t, tr); }) << "<tr>";
    QTest::newRow("\\u escapes") << TextReader([](QString t) { ::unescapeUnicode(t); })
                                 << QStringLiteral("\\u4e2d").repeated(10);
}

void TestProviderInterfaces::readersGrowLinearly() {
    QFETCH(TextReader, read);
    QFETCH(QString, unit);
    // Best of three runs of as many reads as fill some 20 ms, so that
    // neither the clock nor a busy machine decides the ratio.
    const QString small = unit.repeated(2000), large = unit.repeated(8000);
    int calls = 1;
    QElapsedTimer timer;
    for (timer.start(); timer.elapsed() < 20 && calls < (1 << 20); calls *= 2) {
        timer.start();
        for (int i = 0; i < calls; ++i)
            read(small);
    }
    const auto best = [&](const QString& text) {
        qint64 fastest = std::numeric_limits<qint64>::max();
        for (int run = 0; run < 3; ++run) {
            timer.start();
            for (int i = 0; i < calls; ++i)
                read(text);
            fastest = std::min(fastest, std::max<qint64>(timer.nsecsElapsed(), 1));
        }
        return double(fastest);
    };
    const double growth = best(large) / best(small);
    // Four times the text: 4 is linear, 16 quadratic.
    QVERIFY2(growth < 8.0, qPrintable(QString::number(growth)));
}

QTEST_APPLESS_MAIN(TestProviderInterfaces)
#include "tst_providerinterfaces.moc"
