#include "ThreadCpuTime.h"

namespace SkinUI {
namespace Testing {

std::chrono::milliseconds ThreadCpuTime()
{
    FILETIME creation, exit, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &creation, &exit, &kernel, &user))
        return std::chrono::milliseconds::max();
    return CpuTimeFrom(kernel, user);
}

} // namespace Testing
} // namespace SkinUI
