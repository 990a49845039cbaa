#pragma once

#include "ServiceRequestThread.h"

#include <QString>
#include <QUrl>

class QJsonValue;
class QNetworkReply;
class QTimer;

// Sign-in by WeChat QR code: fetches a QR code and its scene id, stores the QR image in a
// file of its own and, once the image is there, asks every second whether the scene has
// been scanned; hands out the token when it has. A QR code request that brings no code to
// show (the service cannot be reached, refuses, or answers without an image address) is
// reported by QrCodeFailedSignal, so that the sign-in does not wait on a code that never
// comes. The object lives in the GUI thread: its
// thread only posts StartSignal, so every request runs there in a bounded local wait.
class QHttpNetRequest : public ServiceRequestThread
{
    Q_OBJECT

public:
    QHttpNetRequest();
    ~QHttpNetRequest() override;

    QString imageFilePath() const { return imagePath; }
    qint64 currentSceneId() const { return sceneId; }
    bool isPolling() const;

signals:
    void DownloadResultSignal(bool result, QString filepath);
    void LoginSuccessSignal(QString token);
    void QrCodeFailedSignal();

public slots:
    void NetFinished(QNetworkReply *reply);
    void DownLoadFinished(QNetworkReply *reply);
    void CheckLoginStateFinished(QNetworkReply *reply);
    void GetRequest(QUrl url, QString app_id, QString channel, QString device_id);
    void StartSlot();
    void CheckLoginStateSlot();

private:
    void takeSceneId(const QJsonValue &scene);
    void downloadImage(const QString &imageUrl);
    void requestLoginState(const QString &stateUrl);
    bool storeImage(const QByteArray &data);

    QString imagePath;
    qint64 sceneId = 0;
    QString token;
    QTimer *pollTimer = nullptr;
    // A tick that arrives while a poll still waits is skipped, so polls never nest.
    bool pollWaiting = false;
};
