#include "HttpGet.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

namespace {

int &timeoutSetting()
{
    static int milliseconds = defaultRequestTimeoutMs;
    return milliseconds;
}

} // namespace

int requestTimeoutMs()
{
    return timeoutSetting();
}

void setRequestTimeoutMs(int milliseconds)
{
    timeoutSetting() = milliseconds > 0 ? milliseconds : defaultRequestTimeoutMs;
}

QNetworkRequest makeServiceRequest(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QStringLiteral("application/json;charset=utf-8"));
    return request;
}

void setRawTextHeader(QNetworkRequest &request, const char *name, const QString &value)
{
    // A null value would make Qt drop the header; an empty one is sent as such.
    QByteArray bytes = value.toLocal8Bit();
    if (bytes.isNull())
        bytes = QByteArray("");
    request.setRawHeader(QByteArray(name), bytes);
}

void setClientHeaders(QNetworkRequest &request, const QString &app_id, const QString &channel,
                      const QString &device_id)
{
    setRawTextHeader(request, "app_id", app_id);
    setRawTextHeader(request, "channel", channel);
    setRawTextHeader(request, "device_id", device_id);
}

void runGet(const QNetworkRequest &request, const std::function<void(QNetworkReply *)> &handler,
            int timeoutMs)
{
    QNetworkAccessManager manager;
    QEventLoop loop;
    bool handled = false;
    QObject::connect(&manager, &QNetworkAccessManager::finished, &manager,
                     [&](QNetworkReply *reply) {
                         handled = true;
                         handler(reply);
                         loop.quit();
                     });

    QNetworkReply *reply = manager.get(request);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
    deadline.start(timeoutMs > 0 ? timeoutMs : requestTimeoutMs());
    if (!handled)
        loop.exec();
    // A quitting application ends every local loop before the reply is done; aborting it
    // still hands it to the handler, so the caller hears of the failure.
    if (!handled)
        reply->abort();
}
