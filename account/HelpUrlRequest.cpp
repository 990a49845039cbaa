#include "HelpUrlRequest.h"

#include "HttpGet.h"
#include "ReplyEvaluation.h"
#include "SettingsStore.h"

#include <QJsonObject>
#include <QNetworkReply>

HelpUrlRequest::HelpUrlRequest()
{
    connect(this, &HelpUrlRequest::StartSignal, this, &HelpUrlRequest::StartSlot);
}

void HelpUrlRequest::StartSlot()
{
    const QString token = readConfigValue(QStringLiteral("user/token"));
    GetRequest(QUrl(url), appId, channel, deviceId(), token);
}

// The configuration is the same for every user and device, so only "app_id" is sent.
void HelpUrlRequest::GetRequest(QUrl url, QString app_id, QString /*channel*/,
                                QString /*device_id*/, QString /*authorization*/)
{
    QNetworkRequest request = makeServiceRequest(url);
    setRawTextHeader(request, "app_id", app_id);
    runGet(request, [this](QNetworkReply *reply) { NetFinished(reply); });
}

void HelpUrlRequest::NetFinished(QNetworkReply *reply)
{
    QString link;
    QJsonObject object;
    if (evaluateServiceReply(reply, &object)) {
        const QJsonValue qqUrl = object.value(QStringLiteral("qqUrl"));
        if (qqUrl.isString())
            link = qqUrl.toString();
    }
    reply->deleteLater();
    emit GetHelpUrlSignal(link);
}
