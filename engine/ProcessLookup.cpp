#include "ProcessLookup.h"

#include "ProcessSnapshot.h"

QMap<quint32, quint32> findProcessesByName(const QString &exeName)
{
    QMap<quint32, quint32> found;
    if (exeName.isEmpty())
        return found;
#ifdef Q_OS_WIN
    const auto processes = ProcessSnapshot::processesByExeName(exeName.toStdWString());
#else
    const auto processes = ProcessSnapshot::processesByExeName(exeName.toStdString());
#endif
    for (const auto &[pid, parent] : processes)
        found.insert(pid, parent);
    return found;
}
