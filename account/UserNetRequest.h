#pragma once

#include "UserInfo.h"

#include <QString>
#include <QThread>
#include <QUrl>

class QJsonObject;
class QNetworkReply;

// Fetches the signed-in user's details with the stored token and keeps the last ones
// fetched. Like every request worker, the object lives in the GUI thread and its thread only
// posts StartSignal; GetUserInfoResultSignal comes exactly once per fetch.
class UserNetRequest : public QThread
{
    Q_OBJECT

public:
    UserNetRequest();
    ~UserNetRequest() override;

    void setParams(const QString &url, const QString &app_id, const QString &channel);
    UserInfo userInfo() const;
    void clearUserInfo();

signals:
    void StartSignal();
    void GetUserInfoResultSignal(bool result);

public slots:
    void GetRequest(QUrl url, QString app_id, QString channel, QString device_id,
                    QString authorization);
    void NetFinished(QNetworkReply *reply);
    void StartSlot();

protected:
    void run() override;

private:
    bool takeUserDetails(const QJsonObject &object);

    QString url;
    QString channel;
    QString appId;
    QString id;
    QString nickname;
};
