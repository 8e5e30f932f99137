#include "core/asyncfetch.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QPointer>
#include <QThread>

namespace {

// Keeps no cookie, so a request goes out as httpGet()'s own manager of one
// call sends it.
class NoCookieJar final : public QNetworkCookieJar {
public:
    using QNetworkCookieJar::QNetworkCookieJar;
    bool setCookiesFromUrl(const QList<QNetworkCookie>&, const QUrl&) override { return false; }
};

// One manager for the application's thread, living as long as the
// application object; each manager runs a network thread of its own.
QNetworkAccessManager* sharedManager() {
    static QPointer<QNetworkAccessManager> manager;
    if (!manager) {
        QCoreApplication* app = QCoreApplication::instance();
        Q_ASSERT(app && QThread::currentThread() == app->thread());
        manager = new QNetworkAccessManager(app);
        manager->setCookieJar(new NoCookieJar(manager));
    }
    return manager;
}

} // namespace

AsyncFetch::AsyncFetch(QObject* parent) : QObject(parent) {}

AsyncFetch::~AsyncFetch() {
    abort();
}

void AsyncFetch::start(const QString& url, qint64 maxBodyBytes, int timeoutMs) {
    abort();
    m_running = true;
    m_request = std::make_unique<HttpRequest>(sharedManager(), url, timeoutMs, maxBodyBytes);
    connect(m_request.get(), &HttpRequest::done, this, &AsyncFetch::onDone);
}

void AsyncFetch::abort() {
    ++m_serial;
    m_running = false;
    if (m_request) {
        // Aborted without a word: its end is nobody's news now.
        disconnect(m_request.get(), nullptr, this, nullptr);
        m_request.reset();
    }
}

void AsyncFetch::onDone() {
    // Called from inside the network reply's own signal: the request goes
    // once that has returned, and the result is handed on at the next turn,
    // so a receiver may open a dialog or start the next request.
    HttpRequest* request = m_request.release();
    request->deleteLater();
    const QString text = request->text();
    const HttpGetStatus status = request->status();
    const quint64 serial = m_serial;
    QMetaObject::invokeMethod(
        this,
        [this, serial, text, status] {
            if (serial != m_serial)
                return; // superseded or dropped meanwhile
            m_running = false;
            emit finished(text, status);
        },
        Qt::QueuedConnection);
}
