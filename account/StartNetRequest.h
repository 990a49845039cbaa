#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkReply;

// Sends one start or install report and waits for the reply, before the application's event
// loop runs. The outcome changes nothing; the wait is bounded like every request's.
class StartNetRequest : public QObject
{
    Q_OBJECT

public:
    // The only mode start-up uses; any mode other than plainReportMode sends the full headers.
    static constexpr int headedReportMode = 0;
    // A bare GET of the url with only the content type.
    static constexpr int plainReportMode = 1;

    StartNetRequest();

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
};
