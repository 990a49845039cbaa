#include "AccountTestEnvironment.h"

#include "HttpGet.h"
#include "ServiceEndpoints.h"
#include "SettingsStore.h"
#include "StubServiceServer.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QNetworkReply>

void pointServicesAt(const StubServiceServer &plain, const StubServiceServer *secure)
{
    setServiceBaseAddresses(plain.baseAddress(), (secure ? secure : &plain)->baseAddress());
    setRequestTimeoutMs(testRequestTimeoutMs);
}

void setRequestTimeoutFor(const StubServiceServer::Reply &reply)
{
    setRequestTimeoutMs(reply.hang ? hungRequestTimeoutMs : testRequestTimeoutMs);
}

namespace {

qint64 answeredRequestMs()
{
    StubServiceServer service;
    if (!service.startPlain())
        return testRequestTimeoutMs;
    const QString path = QStringLiteral("/answered");
    service.script(path, {StubServiceServer::json("{\"code\":0}")});
    QElapsedTimer clock;
    clock.start();
    runGet(
        makeServiceRequest(QUrl(service.baseAddress() + path)),
        [](QNetworkReply *reply) { reply->deleteLater(); }, testRequestTimeoutMs);
    return clock.elapsed();
}

} // namespace

qint64 mostTakenByRequestBoundTo(int boundMs)
{
    return boundMs + 1000 + 10 * answeredRequestMs();
}

qint64 mostTakenByRequestFor(const StubServiceServer::Reply &reply)
{
    return reply.hang ? mostTakenByRequestBoundTo(hungRequestTimeoutMs) : testRequestTimeoutMs;
}

void clearStoredToken()
{
    writeConfigValue(QStringLiteral("user"), QStringLiteral("token"), QString());
}

namespace {

const QByteArray serviceHeaderNames[] = {"Content-Type", "app_id",        "channel",
                                         "device_id",    "Authorization", "version"};

} // namespace

QByteArray sentServiceHeaders(const StubServiceServer::Request &request)
{
    QByteArray text;
    for (const QByteArray &name : serviceHeaderNames) {
        if (request.hasHeader(name))
            text += name + '=' + request.header(name) + '\n';
    }
    return text;
}

QByteArray serviceHeadersWith(const QHash<QByteArray, QByteArray> &headers)
{
    QHash<QByteArray, QByteArray> all = headers;
    all.insert("Content-Type", "application/json;charset=utf-8");
    QByteArray text;
    for (const QByteArray &name : serviceHeaderNames) {
        if (all.contains(name))
            text += name + '=' + all.value(name) + '\n';
    }
    return text;
}

QByteArray pngPicture(const QColor &color, int side)
{
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}
