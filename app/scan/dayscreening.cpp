#include "app/scan/dayscreening.h"

#include "analysis/screens/lhbstockscanner.h"
#include "core/stockapplication.h"

#include <QElapsedTimer>

namespace {
// A real day's stocks take a few milliseconds in all; the most the service
// may list (50 pages of 200 rows) far longer.
constexpr int kMsPerTurn = 10;
} // namespace

DayScreening::DayScreening(QObject* parent) : QObject(parent) {
    m_next.setSingleShot(true);
    m_next.setInterval(0);
    connect(&m_next, &QTimer::timeout, this, &DayScreening::screenMore);
}

void DayScreening::start(const QStringList& codes, const QMap<QString, QString>& names,
                         const QString& day, const QString& day1, const QString& day2) {
    stop();
    m_codes = codes;
    m_names = names;
    m_day = day;
    m_day1 = day1;
    m_day2 = day2;
    screenMore();
}

void DayScreening::stop() {
    m_next.stop();
    m_codes.clear();
    m_names.clear();
}

void DayScreening::screenMore() {
    StockApplication* app = StockApplication::instance();
    QElapsedTimer clock;
    clock.start();
    while (!m_codes.isEmpty() && clock.elapsed() < kMsPerTurn) {
        const QString code = m_codes.takeLast();
        LHBScanResult result;
        if (runLHBScanners(code, m_names.value(code), m_day, m_day1, m_day2, result) && app)
            app->setRecommendation(result.first, result.second);
    }
    if (!m_codes.isEmpty()) {
        m_next.start();
        return;
    }
    m_names.clear();
    emit finished();
}
