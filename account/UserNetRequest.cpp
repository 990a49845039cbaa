#include "UserNetRequest.h"

#include "HttpGet.h"
#include "ReplyEvaluation.h"
#include "SettingsStore.h"

#include <QJsonObject>
#include <QNetworkReply>

UserNetRequest::UserNetRequest()
{
    connect(this, &UserNetRequest::StartSignal, this, &UserNetRequest::StartSlot);
}

UserInfo UserNetRequest::userInfo() const
{
    return UserInfo{id, nickname};
}

void UserNetRequest::clearUserInfo()
{
    id.clear();
    nickname.clear();
}

void UserNetRequest::StartSlot()
{
    const QString token = readConfigValue(QStringLiteral("user/token"));
    GetRequest(QUrl(url), appId, channel, deviceId(), token);
}

void UserNetRequest::GetRequest(QUrl url, QString app_id, QString channel, QString device_id,
                                QString authorization)
{
    QNetworkRequest request = makeServiceRequest(url);
    setClientHeaders(request, app_id, channel, device_id);
    setRawTextHeader(request, "Authorization", authorization);
    runGet(request, [this](QNetworkReply *reply) { NetFinished(reply); });
}

void UserNetRequest::NetFinished(QNetworkReply *reply)
{
    QJsonObject object;
    const bool result = evaluateServiceReply(reply, &object) && takeUserDetails(object);
    reply->deleteLater();
    emit GetUserInfoResultSignal(result);
}

// "code" is taken as a 32-bit integer, so a number that is no whole 32-bit value reads as
// 0, as the service's other clients read it. Keys missing from "data" keep what is stored.
bool UserNetRequest::takeUserDetails(const QJsonObject &object)
{
    const QJsonValue code = object.value(QStringLiteral("code"));
    if (!code.isDouble() || code.toInt() != 0)
        return false;
    const QJsonValue data = object.value(QStringLiteral("data"));
    if (!data.isObject())
        return false;

    const QJsonObject details = data.toObject();
    const QJsonValue userId = details.value(QStringLiteral("id"));
    if (userId.isDouble())
        id = QString::number(userId.toInt());
    const QJsonValue name = details.value(QStringLiteral("nickname"));
    if (name.isString())
        nickname = name.toString();
    return true;
}
