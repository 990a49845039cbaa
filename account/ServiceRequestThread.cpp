#include "ServiceRequestThread.h"

ServiceRequestThread::~ServiceRequestThread()
{
    // The thread only posts StartSignal, so it ends within moments of a start.
    while (isRunning())
        QThread::msleep(10);
}

void ServiceRequestThread::setParams(const QString &url, const QString &app_id,
                                     const QString &channel)
{
    this->url = url;
    appId = app_id;
    this->channel = channel;
}

void ServiceRequestThread::run()
{
    emit StartSignal();
}
