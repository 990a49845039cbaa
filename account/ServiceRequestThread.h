#pragma once

#include <QString>
#include <QThread>

// The pattern every request thread of the web service follows. The object lives in the
// thread that made it (the GUI thread) and its own thread only posts StartSignal, so start()
// means "perform the request soon, in the GUI thread", where the request waits in a local
// event loop. Subclasses connect StartSignal to their StartSlot.
class ServiceRequestThread : public QThread
{
    Q_OBJECT

public:
    ServiceRequestThread() = default;
    ~ServiceRequestThread() override;

    // Called once after construction, before the first start.
    void setParams(const QString &url, const QString &app_id, const QString &channel);

signals:
    void StartSignal();

protected:
    void run() override;

    QString url;
    QString channel;
    QString appId;
};
