#include "core/tradingcalendar.h"

#include "core/stockapplication.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

QDate d(const char* text) {
    return QDate::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd"));
}

} // namespace

// Runs before any application object exists: only weekends and the
// built-in holidays count.
class TestCalendarBuiltIn final : public QObject {
    Q_OBJECT
private slots:
    void isNonTradingDay_data();
    void isNonTradingDay();
    void previousTradingDay_data();
    void previousTradingDay();
    void nextTradingDay_data();
    void nextTradingDay();
    void invalidDate();
};

void TestCalendarBuiltIn::isNonTradingDay_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<bool>("nonTrading");
    QTest::newRow("saturday") << d("2017-01-07") << true;
    QTest::newRow("sunday") << d("2017-01-08") << true;
    QTest::newRow("listed sunday") << d("2016-04-03") << true;
    QTest::newRow("listed monday") << d("2017-05-01") << true;
    QTest::newRow("listed thursday") << d("2016-03-31") << true;
    QTest::newRow("plain tuesday") << d("2017-05-02") << false;
    QTest::newRow("configured day without app") << d("2017-10-02") << false;
}

void TestCalendarBuiltIn::isNonTradingDay() {
    QFETCH(QDate, date);
    QFETCH(bool, nonTrading);
    QCOMPARE(::isNonTradingDay(date), nonTrading);
}

void TestCalendarBuiltIn::previousTradingDay_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("monday after weekend") << d("2017-01-02") << d("2016-12-30");
    QTest::newRow("across the spring festival") << d("2017-02-02") << d("2017-01-26");
    QTest::newRow("saturday") << d("2017-01-07") << d("2017-01-06");
    QTest::newRow("sunday") << d("2017-01-08") << d("2017-01-06");
    QTest::newRow("plain wednesday") << d("2017-01-04") << d("2017-01-03");
    QTest::newRow("listed day itself is not tested") << d("2017-05-01") << d("2017-04-28");
    QTest::newRow("configured list is empty without app") << d("2017-10-03") << d("2017-10-02");
}

void TestCalendarBuiltIn::previousTradingDay() {
    QFETCH(QDate, date);
    QFETCH(QDate, expected);
    QCOMPARE(::previousTradingDay(date), expected);
}

void TestCalendarBuiltIn::nextTradingDay_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("friday to monday") << d("2016-12-30") << d("2017-01-02");
    QTest::newRow("across the spring festival") << d("2017-01-26") << d("2017-02-02");
    QTest::newRow("over a listed monday") << d("2017-04-28") << d("2017-05-02");
    QTest::newRow("saturday") << d("2017-01-07") << d("2017-01-09");
    QTest::newRow("plain tuesday") << d("2017-01-03") << d("2017-01-04");
}

void TestCalendarBuiltIn::nextTradingDay() {
    QFETCH(QDate, date);
    QFETCH(QDate, expected);
    QCOMPARE(::nextTradingDay(date), expected);
}

void TestCalendarBuiltIn::invalidDate() {
    QVERIFY(::isNonTradingDay(QDate()));
    QVERIFY(!::previousTradingDay(QDate()).isValid());
    QVERIFY(!::nextTradingDay(QDate()).isValid());
}

// With an application object: its configured list counts as well.
class TestCalendarConfigured final : public QObject {
    Q_OBJECT
private slots:
    void init();
    void defaultListCounts();
    void changesTakeEffectAtOnce();
    void entriesMatchExactly();
    void emptyEntryMatchesNothing();
    void longRunOfListedDays();
};

void TestCalendarConfigured::init() {
    StockApplication::instance()->setNonTradeDays(
        QStringList{QStringLiteral("2017-10-01"), QStringLiteral("2017-10-02")});
}

void TestCalendarConfigured::defaultListCounts() {
    QVERIFY(::isNonTradingDay(d("2017-10-02")));
    QCOMPARE(::previousTradingDay(d("2017-10-09")), d("2017-10-06"));
    QCOMPARE(::previousTradingDay(d("2017-10-03")), d("2017-09-29"));
    QCOMPARE(::nextTradingDay(d("2017-09-29")), d("2017-10-03"));
    // Built-in holidays still count.
    QCOMPARE(::previousTradingDay(d("2017-02-02")), d("2017-01-26"));
}

void TestCalendarConfigured::changesTakeEffectAtOnce() {
    QVERIFY(!::isNonTradingDay(d("2017-10-06")));
    StockApplication::instance()->setNonTradeDays(QStringList{QStringLiteral("2017-10-06")});
    QVERIFY(::isNonTradingDay(d("2017-10-06")));
    QVERIFY(!::isNonTradingDay(d("2017-10-02")));
    // A Saturday gives the Friday before it unless that Friday is listed.
    QCOMPARE(::previousTradingDay(d("2017-10-07")), d("2017-10-05"));
}

void TestCalendarConfigured::entriesMatchExactly() {
    StockApplication::instance()->setNonTradeDays(QStringList{
        QStringLiteral(" 2017-10-04"), QStringLiteral("2017/10/05"), QStringLiteral("2017-10-6")});
    QVERIFY(!::isNonTradingDay(d("2017-10-04")));
    QVERIFY(!::isNonTradingDay(d("2017-10-05")));
    QVERIFY(!::isNonTradingDay(d("2017-10-06")));
}

void TestCalendarConfigured::emptyEntryMatchesNothing() {
    StockApplication::instance()->setNonTradeDays(
        QString::fromLatin1("2017-10-01,,2017-10-02").split(QLatin1Char(',')));
    QVERIFY(!::isNonTradingDay(d("2017-10-03")));
    QCOMPARE(::previousTradingDay(d("2017-10-03")), d("2017-09-29"));
    QVERIFY(!::previousTradingDay(QDate()).isValid());
}

void TestCalendarConfigured::longRunOfListedDays() {
    QStringList days;
    for (QDate day = d("2018-02-01"); day <= d("2018-02-28"); day = day.addDays(1))
        days << day.toString(QStringLiteral("yyyy-MM-dd"));
    StockApplication::instance()->setNonTradeDays(days);
    QCOMPARE(::previousTradingDay(d("2018-03-01")), d("2018-01-31"));
    QCOMPARE(::nextTradingDay(d("2018-01-31")), d("2018-03-01"));
}

int main(int argc, char** argv) {
    int status = 0;
    {
        TestCalendarBuiltIn builtIn;
        status |= QTest::qExec(&builtIn, argc, argv);
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The application object reads and writes config.ini in the working
    // directory; keep that out of the way.
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    StockApplication app(argc, argv);
    TestCalendarConfigured configured;
    status |= QTest::qExec(&configured, argc, argv);
    return status;
}

#include "tst_calendar.moc"
