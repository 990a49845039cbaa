#pragma once

#include <atomic>

namespace SkinUI {
namespace Testing {

// Holds a flag for the life of a scope. The allocation hooks of the tests lock with it: a
// lock that allocated, or that waited on the platform, could call back into them.
class SpinLocked
{
public:
    explicit SpinLocked(std::atomic_flag &flag) : m_flag(flag)
    {
        while (m_flag.test_and_set(std::memory_order_acquire)) {
        }
    }
    SpinLocked(const SpinLocked &) = delete;
    SpinLocked &operator=(const SpinLocked &) = delete;
    ~SpinLocked() { m_flag.clear(std::memory_order_release); }

private:
    std::atomic_flag &m_flag;
};

} // namespace Testing
} // namespace SkinUI
