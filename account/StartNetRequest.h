#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkReply;

// Sends one start or install report and waits for the reply, before the application's event
// loop runs. The outcome changes nothing; the wait is bounded like every request's, or by a
// bound of its own.
class StartNetRequest : public QObject
{
    Q_OBJECT

public:
    // The only mode start-up uses; any mode other than plainReportMode sends the full headers.
    static constexpr int headedReportMode = 0;
    // A bare GET of the url with only the content type.
    static constexpr int plainReportMode = 1;

    // How long the start report may hold the first window back.
    static constexpr int startReportTimeoutMs = 2000;

    StartNetRequest();

    // Bounds the wait for this request's reply; 0 keeps the bound of every request.
    void setReplyTimeoutMs(int milliseconds) { replyTimeoutMs = milliseconds; }
    void setParams(const QString &url, const QString &app_id, const QString &channel);
    void sendReport(int mode);

public slots:
    void GetRequest(QUrl url, QString app_id, QString channel, QString device_id,
                    QString authorization);
    void NetFinished(QNetworkReply *reply);

private:
    QString url;
    QString channel;
    QString appId;
    int mode = headedReportMode;
    int replyTimeoutMs = 0;
};
