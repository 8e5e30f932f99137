#include "analysis/screens/lhbstockscanner.h"

#include "core/stockapplication.h"

#include <QMap>
#include <QStringList>
#include <QVector>

#include <cmath>

namespace {

using SeatCache = QMap<QString, DaySeats>;

constexpr int kBuySide = 1;
constexpr int kSellSide = 2;

SeatCache seatCache() {
    StockApplication* app = StockApplication::instance();
    return app ? app->lhbSeats() : SeatCache();
}

// Sums amounts as the screens always have: each step adds in float and
// truncates toward zero. An amount that is not a number, or a sum that
// leaves the int range, makes the sum unusable instead of undefined.
class TruncatedSum {
public:
    void add(float amount) { step(float(m_value) + amount); }
    void subtract(float amount) { step(float(m_value) - amount); }
    bool atLeast(int threshold) const { return m_ok && m_value >= threshold; }

private:
    void step(float x) {
        if (!std::isfinite(x) || x >= 2147483648.0f || x < -2147483648.0f) {
            m_ok = false;
            return;
        }
        m_value = int(x);
    }

    int m_value = 0;
    bool m_ok = true;
};

// A screen judges only days whose seats were stored, and only a code stored
// under the days it reads. On success cache holds the copy of the seat cache
// that the screen reads.
bool readSeats(const QStringList& days, const QStringList& codeDays, const QString& code,
               SeatCache& cache) {
    cache = seatCache();
    for (const QString& d : days) {
        if (!cache.contains(d))
            return false;
    }
    for (const QString& d : codeDays) {
        if (!cache.value(d).contains(code))
            return false;
    }
    return true;
}

// The stock's seats of the buying table on a day, in page order.
QVector<LHBUnit> buyingSeats(const SeatCache& cache, const QString& day, const QString& code) {
    QVector<LHBUnit> seats;
    for (const LHBUnit& seat : cache.value(day).value(code)) {
        if (seat.side == kBuySide)
            seats.append(seat);
    }
    return seats;
}

// A seat of the buying table that bought at least 500 (10k CNY) net.
bool boughtStrongly(const LHBUnit& seat) {
    return seat.side == kBuySide && seat.netAmount >= 500.0f;
}

bool setResult(const QString& message, const QString& code, const QString& name,
               LHBScanResult& result) {
    // One-pass arg so that a "%2" inside a name is not replaced again.
    result.first = code;
    result.second = message.arg(name, code);
    return true;
}

} // namespace

bool LHBStockScanner::isMatch(const QString&, const QString&, const QString&, const QString&,
                              const QString&) {
    return false;
}

bool LHBStockScanner_5Over60Percent::matches(const QString& code, const QString& name,
                                             const QString& day, const QString& day1,
                                             const QString& day2, LHBScanResult& result) {
    Q_UNUSED(day1)
    Q_UNUSED(day2)
    SeatCache cache;
    if (!readSeats({day}, {day}, code, cache))
        return false;

    int count = 0;
    TruncatedSum net;
    for (const LHBUnit& seat : buyingSeats(cache, day, code)) {
        if (seat.rate >= 60.0f || seat.name.contains(QStringLiteral("机构专用")))
            ++count;
        net.add(seat.netAmount);
    }
    if (count >= 5 && net.atLeast(1000))
        return setResult(QStringLiteral("%1(%2)买入营业部均有不错收益率,值得推荐买入"), code, name,
                         result);
    return false;
}

bool LHBStockScanner_GeRiZuoT::matches(const QString& code, const QString& name, const QString& day,
                                       const QString& day1, const QString& day2,
                                       LHBScanResult& result) {
    const QStringList days{day, day1, day2};
    SeatCache cache;
    if (!readSeats(days, days, code, cache))
        return false;

    const QVector<LHBUnit> seatsD = cache.value(day).value(code);
    const QVector<LHBUnit> seatsD1 = cache.value(day1).value(code);
    const QVector<LHBUnit> seatsD2 = cache.value(day2).value(code);
    for (const LHBUnit& a : seatsD) {
        if (!boughtStrongly(a))
            continue;
        for (const LHBUnit& b : seatsD1) {
            if (b.side != kSellSide || !(b.netAmount >= -500.0f) || b.name != a.name)
                continue;
            for (const LHBUnit& c : seatsD2) {
                if (boughtStrongly(c) && c.name == b.name)
                    return setResult(QStringLiteral("%1(%2)主力隔日做T买入,可以考虑介入"), code,
                                     name, result);
            }
        }
    }
    return false;
}

bool LHBStockScanner_ZhuLiJiaCang::matches(const QString& code, const QString& name,
                                           const QString& day, const QString& day1,
                                           const QString& day2, LHBScanResult& result) {
    SeatCache cache;
    // D-2 is not read, but a scan whose D-2 pages all failed is not judged.
    if (!readSeats({day, day1, day2}, {day, day1}, code, cache))
        return false;

    const QVector<LHBUnit> seatsD = cache.value(day).value(code);
    const QVector<LHBUnit> seatsD1 = cache.value(day1).value(code);
    for (const LHBUnit& a : seatsD) {
        if (!boughtStrongly(a))
            continue;
        for (const LHBUnit& b : seatsD1) {
            if (boughtStrongly(b) && b.name == a.name)
                return setResult(QStringLiteral("%1(%2)主力加仓买入,大力推荐"), code, name, result);
        }
    }
    return false;
}

bool LHBStockScanner_5Over66Percent::matches(const QString& code, const QString& name,
                                             const QString& day, const QString& day1,
                                             const QString& day2, LHBScanResult& result) {
    Q_UNUSED(day1)
    Q_UNUSED(day2)
    SeatCache cache;
    if (!readSeats({day}, {day}, code, cache))
        return false;

    int count = 0;
    TruncatedSum net;
    for (const LHBUnit& seat : buyingSeats(cache, day, code)) {
        if (seat.rate >= 66.0f)
            ++count;
        net.add(seat.buyAmount);
        net.subtract(seat.sellAmount);
    }
    if (count >= 2 && net.atLeast(800))
        return setResult(QStringLiteral("%1(%2)优质营业部合力买入,值得推荐买入"), code, name,
                         result);
    return false;
}

bool runLHBScanners(const QString& code, const QString& name, const QString& day,
                    const QString& day1, const QString& day2, LHBScanResult& result) {
    if (LHBStockScanner_5Over60Percent().matches(code, name, day, day1, day2, result))
        return true;
    if (LHBStockScanner_GeRiZuoT().matches(code, name, day, day1, day2, result))
        return true;
    if (LHBStockScanner_ZhuLiJiaCang().matches(code, name, day, day1, day2, result))
        return true;
    return LHBStockScanner_5Over66Percent().matches(code, name, day, day1, day2, result);
}
