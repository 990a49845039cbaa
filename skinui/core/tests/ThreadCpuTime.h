#pragma once

#include <windows.h>

#include <chrono>

namespace SkinUI {
namespace Testing {

// The CPU time in the kernel and user times the system reports, which count 100 ns.
inline std::chrono::milliseconds CpuTimeFrom(const FILETIME &kernel, const FILETIME &user)
{
    auto ticks = [](const FILETIME &time) {
        return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return std::chrono::milliseconds((ticks(kernel) + ticks(user)) / 10000);
}

// The CPU time the calling thread has spent so far; the longest time there is when it cannot
// be read, so that a bound fails rather than holds. A speed bound measured with it holds on a
// busy machine too: the time the thread waits for a processor is not counted.
std::chrono::milliseconds ThreadCpuTime();

// The CPU time the calling thread spends on the work.
template <typename Work> std::chrono::milliseconds ThreadCpuTimeOf(Work &&work)
{
    const std::chrono::milliseconds start = ThreadCpuTime();
    work();
    const std::chrono::milliseconds end = ThreadCpuTime();
    if (start == std::chrono::milliseconds::max() || end == std::chrono::milliseconds::max())
        return std::chrono::milliseconds::max();
    return end - start;
}

} // namespace Testing
} // namespace SkinUI
