#include "RobustnessRun.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <psapi.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

namespace SkinUI {
namespace Testing {

const char *const RobustnessRun::kMinutesVariable = "SKINUI_ROBUSTNESS_MINUTES";

namespace {

const auto kLongestInput = std::chrono::milliseconds(1000);
// What the heap may grow by after the first tenth of a run without anything being lost: it
// takes memory from the system in steps of its own, and keeps what it took.
const size_t kHeapSteps = 4 * 1024 * 1024;

// The minutes of a long run, or 0 for a run of the test's own length.
long LongRunMinutes()
{
    const char *text = getenv(RobustnessRun::kMinutesVariable);
    const long minutes = text != nullptr ? strtol(text, nullptr, 10) : 0;
    return minutes > 0 ? minutes : 0;
}

} // namespace

RobustnessRun::RobustnessRun(const char *name, std::chrono::milliseconds budget, int inputs,
                             size_t growthPerInput)
    : m_name(name), m_long(LongRunMinutes() > 0), m_limit(m_long ? INT_MAX : inputs),
      m_growthPerInput(growthPerInput),
      m_budget(m_long ? std::chrono::minutes(LongRunMinutes()) : budget),
      m_start(CpuBudget::ProcessCpuTime()), m_lastInput(m_start)
{
}

RobustnessRun::~RobustnessRun()
{
    const double megabyte = 1024.0 * 1024.0;
    printf("%s: %d inputs in %.1f s of CPU time, the slowest %lld ms; committed memory %.1f MB "
           "after the first tenth, %.1f MB at the end\n",
           m_name.c_str(), m_count,
           static_cast<double>((CpuBudget::ProcessCpuTime() - m_start).count()) / 1000.0,
           static_cast<long long>(m_slowest.count()), m_warmBytes / megabyte,
           CommittedBytes() / megabyte);
    fflush(stdout);
    // CPU time does not depend on the machine's load: the bound holds in every run.
    EXPECT_LE(m_slowest, kLongestInput) << m_name << ": an input took too long";
    CheckMemory();
}

void RobustnessRun::CheckMemory() const
{
    if (!m_warm)
        return; // too short a run to tell
    const size_t allowed =
        m_warmBytes + kHeapSteps + m_growthPerInput * static_cast<size_t>(m_count - m_warmCount);
    EXPECT_LE(CommittedBytes(), allowed)
        << m_name << ": memory grew by " << (CommittedBytes() - m_warmBytes) / 1024
        << " KB over " << m_count - m_warmCount << " inputs after the first tenth";
}

bool RobustnessRun::Next()
{
    const std::chrono::milliseconds now = CpuBudget::ProcessCpuTime();
    const std::chrono::milliseconds took = now - m_lastInput;
    if (m_count > 0 && took > m_slowest)
        m_slowest = took;
    // Named as it happens, so that a long run tells which inputs to look at.
    if (m_count > 0 && m_long && took > kLongestInput) {
        printf("%s: input %d took %lld ms of CPU time\n", m_name.c_str(), Index(),
               static_cast<long long>(took.count()));
        fflush(stdout);
    }
    m_lastInput = now;
    if (!m_warm && ((now - m_start) * 10 >= m_budget || m_count * 10LL >= m_limit)) {
        m_warm = true;
        m_warmBytes = CommittedBytes();
        m_warmCount = m_count;
    }
    if (m_count >= m_limit || now - m_start >= m_budget)
        return false;
    ++m_count;
    return true;
}

size_t RobustnessRun::CommittedBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(),
                              reinterpret_cast<PROCESS_MEMORY_COUNTERS *>(&counters),
                              sizeof(counters)))
        return 0;
    return counters.PagefileUsage;
}

} // namespace Testing
} // namespace SkinUI
