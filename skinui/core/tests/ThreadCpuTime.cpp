#include "ThreadCpuTime.h"

#include <windows.h>

namespace SkinUI {
namespace Testing {

std::chrono::milliseconds ThreadCpuTime()
{
    FILETIME creation, exit, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &creation, &exit, &kernel, &user))
        return std::chrono::milliseconds::max();
    auto ticks = [](const FILETIME &time) {
        return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    // FILETIME counts 100 ns.
    return std::chrono::milliseconds((ticks(kernel) + ticks(user)) / 10000);
}

} // namespace Testing
} // namespace SkinUI
