#pragma once

#include <QString>

// An exclusive, per-user lock named by a key, held until the object goes away or the
// process ends (a named mutex on Windows, elsewhere an advisory lock on a file in a folder
// that only the user can write into: the private runtime folder, else the application-data
// folder).
class InstanceLock
{
public:
    explicit InstanceLock(const QString &key);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // True only when another process holds the lock. A lock that cannot be made at all
    // does not count, so a start is never refused for want of a lock file.
    bool isHeldElsewhere() const { return m_heldElsewhere; }

private:
    bool m_heldElsewhere = false;
#ifdef Q_OS_WIN
    void *m_mutex = nullptr;
#else
    int m_fd = -1;
#endif
};
