#pragma once

#include "ServiceRequestThread.h"

#include <QString>
#include <QUrl>

class QNetworkReply;

// Fetches the customer-service link from the service's configuration. The object lives in
// the GUI thread and its thread only posts StartSignal; GetHelpUrlSignal comes exactly once
// per request, with the empty text when the link could not be had.
class HelpUrlRequest : public ServiceRequestThread
{
    Q_OBJECT

public:
    HelpUrlRequest();

signals:
    void GetHelpUrlSignal(QString url);

public slots:
    void GetRequest(QUrl url, QString app_id, QString channel, QString device_id,
                    QString authorization);
    void NetFinished(QNetworkReply *reply);
    void StartSlot();
};
