#pragma once

#include <QDir>
#include <QFile>
#include <QHash>
#include <QMultiHash>
#include <QSet>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

// The processes this test started, at any depth. A process whose parent was killed is
// handed to this one rather than to the system's first process (the test is made their
// "subreaper"), so a converter that outlives its stopped engine is still counted.
namespace ProcessTree {

inline bool keepOrphans()
{
    return prctl(PR_SET_CHILD_SUBREAPER, 1) == 0;
}

// Descendants of this process that still run (ended ones waiting to be reaped left out),
// leaving out the processes in apartFrom and everything below them (a helper of the test's
// own, such as its X server).
inline QList<qint64> runningDescendantIds(const QSet<qint64> &apartFrom = {})
{
    QMultiHash<qint64, qint64> children;
    QHash<qint64, char> states;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!isPid || !stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the name may hold blanks, so read after its ")".
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 2)
            continue;
        states.insert(pid, fields[0].at(0));
        children.insert(fields[1].toLongLong(), pid);
    }
    QList<qint64> running;
    QList<qint64> pending{getpid()};
    while (!pending.isEmpty()) {
        for (qint64 child : children.values(pending.takeLast())) {
            if (apartFrom.contains(child))
                continue;
            if (states.value(child) != 'Z')
                running.append(child);
            pending.append(child);
        }
    }
    return running;
}

inline int runningDescendants(const QSet<qint64> &apartFrom = {})
{
    return runningDescendantIds(apartFrom).size();
}

// Kills every descendant that still runs, so that what a failed case left behind neither
// holds up nor confuses the cases after it.
inline void killDescendants(const QSet<qint64> &apartFrom = {})
{
    for (qint64 pid : runningDescendantIds(apartFrom))
        ::kill(static_cast<pid_t>(pid), SIGKILL);
}

} // namespace ProcessTree
