#pragma once

#include "ServiceRequestThread.h"
#include "UserInfo.h"

#include <QString>
#include <QUrl>

class QJsonObject;
class QNetworkReply;

// Fetches the signed-in user's details with the stored token and keeps the last ones
// fetched. Like every request worker, the object lives in the GUI thread and its thread only
// posts StartSignal; GetUserInfoResultSignal comes exactly once per fetch.
class UserNetRequest : public ServiceRequestThread
{
    Q_OBJECT

public:
    UserNetRequest();

    UserInfo userInfo() const;
    void clearUserInfo();

signals:
    void GetUserInfoResultSignal(bool result);

public slots:
    void GetRequest(QUrl url, QString app_id, QString channel, QString device_id,
                    QString authorization);
    void NetFinished(QNetworkReply *reply);
    void StartSlot();

private:
    bool takeUserDetails(const QJsonObject &object);

    QString id;
    QString nickname;
};
