// Conversions of reply figures whose plain casts would be undefined.
#include "core/providers/numberconversion.h"

#include <QtTest>

#include <cmath>
#include <limits>

class TestNumberConversion final : public QObject {
    Q_OBJECT
private slots:
    void toInt_data();
    void toInt();
    void toFloat_data();
    void toFloat();
};

void TestNumberConversion::toInt_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    QTest::newRow("truncated toward zero") << 2521999.9 << 2521999;
    QTest::newRow("negative truncated toward zero") << -7.9 << -7;
    QTest::newRow("largest share count saturates") << 25219845601.0 << kMax;
    QTest::newRow("int max itself") << 2147483647.0 << kMax;
    QTest::newRow("below int min") << -1e12 << kMin;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << kMax;
    QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << kMin;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 0;
}

void TestNumberConversion::toInt() {
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(saturatingToInt(value), expected);
}

void TestNumberConversion::toFloat_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("in range") << 110.0 << 110.0;
    QTest::newRow("amount in wan") << 1100000.0 / 10000.0 << 110.0;
    QTest::newRow("beyond float max") << 1e300 << inf;
    QTest::newRow("below float lowest") << -1e300 << -inf;
    QTest::newRow("float max kept") << double(std::numeric_limits<float>::max())
                                    << double(std::numeric_limits<float>::max());
}

void TestNumberConversion::toFloat() {
    QFETCH(double, value);
    QFETCH(double, expected);
    QCOMPARE(double(narrowToFloat(value)), expected);
}

QTEST_APPLESS_MAIN(TestNumberConversion)
#include "tst_numberconversion.moc"
