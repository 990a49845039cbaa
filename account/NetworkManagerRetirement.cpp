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
    // Its replies go here, in the thread that made them: moved along with the manager, a used
    // reply corrupts Qt's thread bookkeeping, and requests made on several threads then crash
    // the process now and then.
    qDeleteAll(manager->children());
    manager->moveToThread(retirementThread());
    manager->deleteLater();
}
