#include "BenchClock.h"

#include <windows.h>

#include <cstdio>

namespace {

ULONGLONG Ticks(const FILETIME &time)
{
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

} // namespace

double MillisecondsSinceProcessStart()
{
    FILETIME created = {}, exited = {}, kernel = {}, user = {};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    FILETIME now = {};
    GetSystemTimeAsFileTime(&now);
    // File times count 100-nanosecond steps.
    return static_cast<double>(Ticks(now) - Ticks(created)) / 10000.0;
}

void ReportFirstFrame()
{
    std::printf("first-frame-ms %.2f\n", MillisecondsSinceProcessStart());
    std::fflush(stdout);
}
