#include "QHttpNetRequest.h"

#include "FileUtils.h"
#include "HttpGet.h"
#include "ReplyEvaluation.h"
#include "ServiceEndpoints.h"
#include "SettingsStore.h"
#include "TextUtils.h"

#include <QDebug>
#include <QFile>
#include <QJsonObject>
#include <QNetworkReply>
#include <QTimer>

#include <cmath>

namespace {

constexpr int pollIntervalMs = 1000;
// Scene ids up to this value are placeholders of the service, never a real scan session.
constexpr qint64 highestUnusableSceneId = 10;

// The reply comes over plain http, so its image address is only followed to the web: a
// "file:" or "qrc:" address would read local data into the QR image file.
bool isWebAddress(const QString &address)
{
    const QString scheme = QUrl(address).scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

} // namespace

QHttpNetRequest::QHttpNetRequest()
    : imagePath(tempWorkDir() + newUuidString()), pollTimer(new QTimer)
{
    connect(this, &QHttpNetRequest::StartSignal, this, &QHttpNetRequest::StartSlot);
    connect(pollTimer, &QTimer::timeout, this, &QHttpNetRequest::CheckLoginStateSlot);
}

QHttpNetRequest::~QHttpNetRequest()
{
    delete pollTimer;
}

bool QHttpNetRequest::isPolling() const
{
    return pollTimer->isActive();
}

void QHttpNetRequest::StartSlot()
{
    GetRequest(QUrl(url), appId, channel, deviceId());
}

void QHttpNetRequest::GetRequest(QUrl url, QString app_id, QString channel, QString device_id)
{
    QNetworkRequest request = makeServiceRequest(url);
    setClientHeaders(request, app_id, channel, device_id);
    runGet(request, [this](QNetworkReply *reply) { NetFinished(reply); });
}

void QHttpNetRequest::NetFinished(QNetworkReply *reply)
{
    qDebug() << "NetFinished" << reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    QJsonObject object;
    QString imageUrl;
    if (evaluateServiceReply(reply, &object)) {
        qDebug() << object << object.value(QStringLiteral("url"));
        takeSceneId(object.value(QStringLiteral("scene_id")));
        const QJsonValue url = object.value(QStringLiteral("url"));
        if (url.isString() && isWebAddress(url.toString()))
            imageUrl = url.toString();
    }
    reply->deleteLater();
    if (imageUrl.isEmpty())
        emit QrCodeFailedSignal();
    else
        downloadImage(imageUrl);
}

// The fraction is dropped. A number beyond the 64-bit range is no scene id and cannot be
// converted safely, so it leaves the current one in place.
void QHttpNetRequest::takeSceneId(const QJsonValue &scene)
{
    if (!scene.isDouble())
        return;
    const double value = std::trunc(scene.toDouble());
    constexpr double twoToThe63 = 9223372036854775808.0;
    if (value >= -twoToThe63 && value < twoToThe63)
        sceneId = static_cast<qint64>(value);
}

void QHttpNetRequest::downloadImage(const QString &imageUrl)
{
    runGet(makeServiceRequest(QUrl(imageUrl)),
           [this](QNetworkReply *reply) { DownLoadFinished(reply); });
}

void QHttpNetRequest::DownLoadFinished(QNetworkReply *reply)
{
    qDebug() << "get netmessage";
    bool result = false;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::NoError && status == 200) {
        qDebug() << imagePath;
        result = storeImage(reply->readAll());
        qDebug() << "wirte file";
    }
    reply->deleteLater();
    qDebug() << "sent signal";
    emit DownloadResultSignal(result, imagePath);
    if (result) {
        pollTimer->stop();
        pollTimer->start(pollIntervalMs);
    }
}

// The file is truncated, so a shorter new image never keeps the tail of the old one, and
// only a complete write counts: a half-written file must not show as the new QR code.
bool QHttpNetRequest::storeImage(const QByteArray &data)
{
    QFile file(imagePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qDebug() << "open failed";
        return false;
    }
    const bool complete = file.write(data) == data.size();
    file.close();
    return complete && file.error() == QFileDevice::NoError;
}

void QHttpNetRequest::CheckLoginStateSlot()
{
    if (sceneId <= highestUnusableSceneId || pollWaiting)
        return;
    const QString stateUrl = QStringLiteral("%1=%2")
                                 .arg(serviceUrl(QStringLiteral("/v1/user/checkScene?scene_id")))
                                 .arg(sceneId);
    pollWaiting = true;
    requestLoginState(stateUrl);
    pollWaiting = false;
}

void QHttpNetRequest::requestLoginState(const QString &stateUrl)
{
    runGet(makeServiceRequest(QUrl(stateUrl)),
           [this](QNetworkReply *reply) { CheckLoginStateFinished(reply); });
}

void QHttpNetRequest::CheckLoginStateFinished(QNetworkReply *reply)
{
    QJsonObject object;
    if (evaluateServiceReply(reply, &object) && hasZeroCode(object)) {
        const QJsonValue data = object.value(QStringLiteral("data"));
        if (data.isString()) {
            token = data.toString();
            pollTimer->stop();
            emit LoginSuccessSignal(token);
        }
    }
    reply->deleteLater();
}
