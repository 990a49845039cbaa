#include "StopFlag.h"

#include <chrono>

void StopFlag::raise()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_raised.store(true);
    }
    m_raisedCondition.notify_all();
}

bool StopFlag::waitFor(int milliseconds)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_raisedCondition.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                      [this] { return m_raised.load(); });
}
