#pragma once

#include <QDir>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <vector>

// While it lives, this process cannot open one more descriptor: the limit is lowered a little
// above what is open and the room left is filled with the null device.
class NoDescriptorsLeft
{
public:
    NoDescriptorsLeft()
    {
        getrlimit(RLIMIT_NOFILE, &m_original);
        rlimit tight = m_original;
        tight.rlim_cur = static_cast<rlim_t>(openDescriptors() + 16);
        setrlimit(RLIMIT_NOFILE, &tight);
        for (int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC); fd >= 0;
             fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC))
            m_filling.push_back(fd);
    }
    ~NoDescriptorsLeft()
    {
        for (int fd : m_filling)
            ::close(fd);
        setrlimit(RLIMIT_NOFILE, &m_original);
    }
    NoDescriptorsLeft(const NoDescriptorsLeft &) = delete;
    NoDescriptorsLeft &operator=(const NoDescriptorsLeft &) = delete;

    static int openDescriptors()
    {
        return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size();
    }

private:
    rlimit m_original{};
    std::vector<int> m_filling;
};
