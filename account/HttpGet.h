#pragma once

#include <QNetworkRequest>
#include <QString>
#include <QUrl>

#include <functional>

class QNetworkReply;

// The one way the account services talk to the web service: a GET through a network
// access manager that lives only for the call, waited for in a local event loop so that the
// caller keeps its straight-line flow while the GUI stays responsive. The wait is bounded:
// a reply that has not finished in time is aborted and reaches the handler as a network
// error, so a silent service can never hold a window or the start-up hostage. So is the
// body: it is requested uncompressed, and one of more than 4 MB is aborted the same way.

constexpr int defaultRequestTimeoutMs = 10000;

int requestTimeoutMs();
void setRequestTimeoutMs(int milliseconds);

// A GET request for url with the Content-Type every request of the service carries.
QNetworkRequest makeServiceRequest(const QUrl &url);
// Sets a raw header from text in the system's local 8-bit encoding; a text holding a line
// break or a zero is refused (the header is not set).
void setRawTextHeader(QNetworkRequest &request, const char *name, const QString &value);
// The headers by which the service knows the client: "app_id", "channel" and "device_id".
void setClientHeaders(QNetworkRequest &request, const QString &app_id, const QString &channel,
                      const QString &device_id);

// Sends the GET and returns after handler has run for the finished (or aborted) reply,
// also when the application quits during the wait. timeoutMs 0 takes requestTimeoutMs().
// The handler owns the reply's release.
void runGet(const QNetworkRequest &request, const std::function<void(QNetworkReply *)> &handler,
            int timeoutMs = 0);
