#include "FinishedThreadDisposal.h"

#include <QThread>

void deleteWhenFinished(QThread *thread)
{
    // Connected first, so that a thread that finishes meanwhile cannot be missed; a deletion
    // that it posted goes with the thread when the thread is deleted here.
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    if (thread->isFinished() || !thread->isRunning())
        delete thread;
}
