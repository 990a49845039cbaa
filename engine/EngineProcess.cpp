#include "EngineProcess.h"

void EngineProcess::reportFailedStart()
{
    m_startFailurePending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_startFailurePending)
                return;
            m_startFailurePending = false;
            emit failedToStart();
        },
        Qt::QueuedConnection);
}

void EngineProcess::appendOutput(const QByteArray &chunk)
{
    const int room = kOutputLimit - m_output.size();
    if (room > 0)
        m_output.append(chunk.constData(), qMin(room, chunk.size()));
}
