#pragma once

#include <QDir>
#include <QFile>
#include <QHash>
#include <QMultiHash>
#include <QSet>

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

// Descendants of this process that still run (ended ones waiting to be reaped not counted),
// leaving out the processes in apartFrom and everything below them (a helper of the test's
// own, such as its X server).
inline int runningDescendants(const QSet<qint64> &apartFrom = {})
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
    int running = 0;
    QList<qint64> pending{getpid()};
    while (!pending.isEmpty()) {
        for (qint64 child : children.values(pending.takeLast())) {
            if (apartFrom.contains(child))
                continue;
            running += states.value(child) != 'Z' ? 1 : 0;
            pending.append(child);
        }
    }
    return running;
}

} // namespace ProcessTree
