#include "tests/support/proxyfetch.h"

#include "core/httpget.h"
#include "tests/support/fixtures.h"
#include "tests/support/testhttpserver.h"

#include <QDebug>
#include <QStringList>
#include <QUrl>

QString fetchViaProxy(TestHttpServer& server, const QString& url, const QByteArray& body,
                      const QByteArray& contentType) {
    server.clearRequests();
    server.setRoute(url, body, 200, contentType);
    const QString text = httpGet(url);
    const QStringList requests = server.requests();
    if (requests.size() != 1 || QUrl(requests.first()) != QUrl(url)) {
        qWarning() << "requests:" << requests << "expected:" << url;
        return QString();
    }
    return text;
}

QString fetchGbkViaProxy(TestHttpServer& server, const QString& url, const QString& body,
                         const QByteArray& contentType) {
    return fetchViaProxy(server, url, toGbk(body), contentType);
}
