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
#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

InstanceLock::InstanceLock(const QString &key)
{
    const QString path =
        QDir::tempPath() +
        QStringLiteral("/%1-%2.lock").arg(key).arg(static_cast<qulonglong>(getuid()));
    // The temp folder may be shared with other users: never follow a link planted there.
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW,
                  0600);
    if (m_fd < 0)
        return;
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
