#pragma once

#include <sys/types.h>

#include <map>
#include <vector>

// The processes below an engine, read from the process table. Linux only. A process is named
// with its start time, so that a process that has ended meanwhile and whose id has passed to
// another is never signalled in its place.
namespace ProcessFamily {

struct Member
{
    pid_t pid = -1;
    unsigned long long startTime = 0; // in clock ticks since boot
};

// The processes that run, as read in one pass over the process table.
class Table
{
public:
    static Table read();

    // Every process whose chain of parents leads to root, at any depth and in any session or
    // process group (root itself left out).
    std::vector<Member> descendantsOf(pid_t root) const;

private:
    std::multimap<pid_t, Member> m_childrenByParent;
};

// Sends signal to member if it is still the process it was; false when it is gone.
bool signal(const Member &member, int signal);

} // namespace ProcessFamily
