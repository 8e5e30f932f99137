#include "app/scan/stockinfotask.h"

#include "app/scan/scanfailures.h"
#include "app/scan/stockevent.h"
#include "app/shell/crashhandler.h"
#include "core/cancelflag.h"
#include "core/httpget.h"
#include "core/providers/eastmoneylhbdatainterface.h"
#include "core/stockapplication.h"
#include "core/utils.h"

#include <QCoreApplication>

#include <algorithm>

StockInfoTask::StockInfoTask(QObject* receiver, int eventType, const CancelFlag* stop,
                             std::shared_ptr<ScanFailures> failures)
    : m_receiver(receiver), m_eventType(eventType), m_stop(stop), m_failures(std::move(failures)) {
    if (StockApplication* app = StockApplication::instance())
        m_pairs = app->detailPairs();
}

StockInfoTask::~StockInfoTask() = default;

bool StockInfoTask::stopped() const {
    return m_stop && m_stop->isCancelled();
}

void StockInfoTask::run() {
    installThreadAltStack();
    StockApplication* app = StockApplication::instance();
    const int n = m_pairs.size();
    for (int i = 0; i < n && !stopped(); ++i) {
        const QString& date = m_pairs.at(i).first;
        const QString& code = m_pairs.at(i).second;

        EastmoneyLHBDataInterface client;
        const QString param = QStringLiteral("%1,%2").arg(code, date);
        const QStringList urls = client.urls(QStringList{param});
        HttpGetStatus status;
        const QString text =
            urls.isEmpty() ? QString()
                           : httpGet(urls.first(), &status, m_stop, kHttpGetTimeoutMs,
                                     EastmoneyLHBDataInterface::kMaxReplyBytes);
        if (stopped())
            return;
        const QVector<LHBUnit> units = client.parse(text, QString());
        // Every list entry has a seat that bought or sold: a page without one
        // (an error page, or a layout whose seat rows no longer read) was not
        // the page, and a page cut off in transfer is not all of it.
        const bool fetched =
            status.ok && std::any_of(units.cbegin(), units.cend(),
                                     [](const LHBUnit& unit) { return unit.side != 3; });
        if (m_failures) {
            const FetchFailure failure =
                status.ok ? FetchFailure::UnexpectedFormat : status.failure;
            m_failures->setSeatPage(date, code, fetched,
                                    fetched ? QString()
                                            : fetchFailureText(failure, status.httpStatus));
        }

        if (app && fetched) {
            app->setLhbSeats(date, code, units);
            for (const LHBUnit& unit : units)
                app->setSeatPageUrl(unit.name, unit.url);
        }

        QCoreApplication::postEvent(m_receiver, new StockEvent(m_eventType, (i * 100) / n));
        delayMs(kPauseMs, m_stop);
    }
}
