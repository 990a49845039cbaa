#include "StartNetRequest.h"

#include "HttpGet.h"
#include "ReplyEvaluation.h"
#include "SettingsStore.h"

#include <QDebug>
#include <QJsonObject>
#include <QNetworkReply>

namespace {

const QString reportVersion = QStringLiteral("5.16.1.0");

} // namespace

StartNetRequest::StartNetRequest() = default;

void StartNetRequest::setParams(const QString &url, const QString &app_id, const QString &channel)
{
    this->url = url;
    appId = app_id;
    this->channel = channel;
}

void StartNetRequest::sendReport(int mode)
{
    this->mode = mode;
    if (mode == plainReportMode) {
        runGet(
            makeServiceRequest(QUrl(url)), [this](QNetworkReply *reply) { NetFinished(reply); },
            replyTimeoutMs);
        return;
    }
    const QString token = readConfigValue(QStringLiteral("user/token"));
    GetRequest(QUrl(url), appId, channel, deviceId(), token);
}

// The token is read by the caller but deliberately not sent: reports are anonymous.
void StartNetRequest::GetRequest(QUrl url, QString app_id, QString channel, QString device_id,
                                 QString /*authorization*/)
{
    QNetworkRequest request = makeServiceRequest(url);
    setClientHeaders(request, app_id, channel, device_id);
    setRawTextHeader(request, "version", reportVersion);
    runGet(
        request, [this](QNetworkReply *reply) { NetFinished(reply); }, replyTimeoutMs);
}

void StartNetRequest::NetFinished(QNetworkReply *reply)
{
    QJsonObject object;
    if (evaluateServiceReply(reply, &object))
        qDebug() << "report" << object.value(QStringLiteral("code"))
                 << object.value(QStringLiteral("data"));
    reply->deleteLater();
}
