#include "InstanceLock.h"

#ifdef Q_OS_WIN
#include <windows.h>

InstanceLock::InstanceLock(const QString &key)
{
    // "Local\" keeps the name inside the user's session.
    const QString name = QStringLiteral("Local\\") + key;
    HANDLE mutex = CreateMutexW(nullptr, TRUE, reinterpret_cast<LPCWSTR>(name.utf16()));
    if (!mutex)
        return;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        m_heldElsewhere = true;
        return;
    }
    m_mutex = mutex;
}

InstanceLock::~InstanceLock()
{
    if (m_mutex) {
        ReleaseMutex(static_cast<HANDLE>(m_mutex));
        CloseHandle(static_cast<HANDLE>(m_mutex));
    }
}

#else
#include "FileUtils.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A folder only this user can write into: a lock file there cannot be planted by another
// user to keep Quorvane from starting, nor to switch the single instance off.
QString lockFolder()
{
    const QString runtime = privateRuntimeDir();
    if (!runtime.isEmpty())
        return runtime;
    ensureDirExists(applicationDataDir());
    return applicationDataDir();
}

} // namespace

InstanceLock::InstanceLock(const QString &key)
{
    const QString path = lockFolder() + QStringLiteral("/%1.lock").arg(key);
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW,
                  0600);
    if (m_fd < 0)
        return;
    struct stat status = {};
    if (::fstat(m_fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != ::geteuid()) {
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    m_heldElsewhere = ::flock(m_fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

InstanceLock::~InstanceLock()
{
    // Closing the descriptor drops the lock; the file itself stays, so no other start
    // can race between an unlink and its own open.
    if (m_fd >= 0)
        ::close(m_fd);
}
#endif
