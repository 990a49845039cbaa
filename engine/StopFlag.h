#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

// A flag raised once by one thread and watched by another, whose pauses it cuts short:
// a worker that polls every half second still stops at once.
class StopFlag
{
public:
    void raise();
    bool isRaised() const { return m_raised.load(); }
    // Sleeps up to milliseconds, or less when the flag is raised; true when it is raised.
    bool waitFor(int milliseconds);

private:
    std::atomic<bool> m_raised{false};
    std::mutex m_mutex;
    std::condition_variable m_raisedCondition;
};
