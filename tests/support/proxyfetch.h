#pragma once

#include <QByteArray>
#include <QString>

class TestHttpServer;

// Fetches of a client's real URL in the network tests. The server stands in
// for the service's host as the application's HTTP proxy (see
// TestHttpServer::listenAsApplicationProxy), so the unchanged URL reaches it.

// Serves body at url, fetches url with httpGet as the clients do and returns
// the decoded text. The server's request list is cleared first and then
// holds this fetch's requests only, for the caller to check further. The
// text is empty, with a warning that lists the requests, unless exactly one
// request went out with that URL.
QString fetchViaProxy(TestHttpServer& server, const QString& url, const QByteArray& body,
                      const QByteArray& contentType = "text/html");

// fetchViaProxy() with the body GBK-encoded, as the services send Chinese.
QString fetchGbkViaProxy(TestHttpServer& server, const QString& url, const QString& body,
                         const QByteArray& contentType = "text/html");
