#include "app/stockinfotask.h"

#include "app/stockevent.h"
#include "core/httpget.h"
#include "core/providers/eastmoneylhbdatainterface.h"
#include "core/stockapplication.h"
#include "core/utils.h"

#include <QCoreApplication>

StockInfoTask::StockInfoTask(QObject* receiver, int eventType)
    : m_receiver(receiver), m_eventType(eventType) {
    if (StockApplication* app = StockApplication::instance())
        m_pairs = app->detailPairs();
}

StockInfoTask::~StockInfoTask() = default;

void StockInfoTask::run() {
    StockApplication* app = StockApplication::instance();
    const int n = m_pairs.size();
    for (int i = 0; i < n; ++i) {
        const QString& date = m_pairs.at(i).first;
        const QString& code = m_pairs.at(i).second;

        EastmoneyLHBDataInterface client;
        const QString param = QStringLiteral("%1,%2").arg(code, date);
        const QStringList urls = client.urls(QStringList{param});
        const QString text = urls.isEmpty() ? QString() : httpGet(urls.first());
        const QVector<LHBUnit> units = client.parse(text, QString());

        if (app) {
            if (!units.isEmpty())
                app->setLhbSeats(date, code, units);
            for (const LHBUnit& unit : units)
                app->setSeatPageUrl(unit.name, unit.url);
        }

        QCoreApplication::postEvent(m_receiver, new StockEvent(m_eventType, (i * 100) / n));
        delayMs(kPauseMs);
    }
}
