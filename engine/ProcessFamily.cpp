#include "ProcessFamily.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace ProcessFamily {
namespace {

struct Entry
{
    Member member;
    pid_t parent = -1;
};

// "pid (name) state ppid pgrp session tty tpgid flags minflt cminflt majflt cmajflt utime
// stime cutime cstime priority nice threads itrealvalue starttime ...": the name may hold
// blanks and parentheses, so the fields are read after its last ")".
bool readEntry(pid_t pid, Entry &entry)
{
    char path[64];
    std::snprintf(path, sizeof(path), "/proc/%d/stat", int(pid));
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char text[1024];
    const ssize_t length = ::read(fd, text, sizeof(text) - 1);
    ::close(fd);
    if (length <= 0)
        return false;
    text[length] = '\0';
    const char *fields = std::strrchr(text, ')');
    if (!fields)
        return false;
    char state = 0;
    int parent = -1;
    unsigned long long startTime = 0;
    // After the state and the parent, 17 fields up to the start time.
    if (std::sscanf(fields + 1,
                    " %c %d %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s "
                    "%llu",
                    &state, &parent, &startTime) != 3)
        return false;
    entry.member = {pid, startTime};
    entry.parent = parent;
    return state != 'Z' && state != 'X';
}

int openPidFd(pid_t pid)
{
#ifdef SYS_pidfd_open
    return int(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    errno = ENOSYS;
    return -1;
#endif
}

bool isStill(const Member &member)
{
    Entry now;
    return readEntry(member.pid, now) && now.member.startTime == member.startTime;
}

} // namespace

Table Table::read()
{
    Table table;
    DIR *proc = ::opendir("/proc");
    if (!proc)
        return table;
    while (const dirent *item = ::readdir(proc)) {
        char *end = nullptr;
        const long pid = std::strtol(item->d_name, &end, 10);
        Entry entry;
        if (pid > 0 && *end == '\0' && readEntry(pid_t(pid), entry))
            table.m_childrenByParent.emplace(entry.parent, entry.member);
    }
    ::closedir(proc);
    return table;
}

std::vector<Member> Table::descendantsOf(pid_t root) const
{
    std::vector<Member> found;
    std::vector<pid_t> pending{root};
    while (!pending.empty()) {
        const pid_t parent = pending.back();
        pending.pop_back();
        const auto range = m_childrenByParent.equal_range(parent);
        for (auto child = range.first; child != range.second; ++child) {
            found.push_back(child->second);
            pending.push_back(child->second.pid);
        }
    }
    return found;
}

bool signal(const Member &member, int signalNumber)
{
    // Held by a descriptor, the process cannot pass its id on between the check and the
    // signal. Where the kernel has no such descriptor, the check comes just before it.
    const int pidFd = openPidFd(member.pid);
    if (pidFd < 0 && errno != ENOSYS)
        return false; // gone
    bool sent = false;
    if (isStill(member)) {
#ifdef SYS_pidfd_send_signal
        if (pidFd >= 0)
            sent = ::syscall(SYS_pidfd_send_signal, pidFd, signalNumber, nullptr, 0) == 0;
        else
#endif
            sent = ::kill(member.pid, signalNumber) == 0;
    }
    if (pidFd >= 0)
        ::close(pidFd);
    return sent;
}

} // namespace ProcessFamily
