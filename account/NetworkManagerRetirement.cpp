#include "NetworkManagerRetirement.h"

#include <QNetworkAccessManager>
#include <QThread>

namespace {

// Runs for the whole process and is never destroyed: a manager still waiting for a busy
// network thread at exit must not hold the exit back.
QThread *retirementThread()
{
    static QThread *const thread = [] {
        auto *retirement = new QThread;
        retirement->setObjectName(QStringLiteral("retired network managers"));
        retirement->start();
        return retirement;
    }();
    return thread;
}

} // namespace

void retireNetworkManager(QNetworkAccessManager *manager)
{
    if (!manager)
        return;
    // Its replies move along as its children and go with it.
    manager->moveToThread(retirementThread());
    manager->deleteLater();
}
