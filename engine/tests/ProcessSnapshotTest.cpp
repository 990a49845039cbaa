#include "ProcessSnapshot.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::wstring sleeperPath()
{
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, length);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"lookup_sleeper.exe";
}

// Real child processes, ended when the test ends.
class SleeperProcesses
{
public:
    ~SleeperProcesses()
    {
        for (const PROCESS_INFORMATION &info : m_started) {
            TerminateProcess(info.hProcess, 0);
            WaitForSingleObject(info.hProcess, 5000);
            CloseHandle(info.hThread);
            CloseHandle(info.hProcess);
        }
    }

    DWORD start()
    {
        std::wstring path = sleeperPath();
        std::wstring commandLine = L"\"" + path + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &info))
            return 0;
        m_started.push_back(info);
        return info.dwProcessId;
    }

private:
    std::vector<PROCESS_INFORMATION> m_started;
};

} // namespace

TEST(ProcessSnapshot, EmptyNameGivesEmptyMap)
{
    EXPECT_TRUE(ProcessSnapshot::processesByExeName(L"").empty());
}

// The processes found whose parent is this test, in ascending order: a copy that another
// program runs at the same time is none of this test's business.
template <typename Map> std::vector<DWORD> OwnChildren(const Map &found)
{
    std::vector<DWORD> children;
    for (const auto &process : found) {
        if (process.second == GetCurrentProcessId())
            children.push_back(process.first);
    }
    std::sort(children.begin(), children.end());
    return children;
}

TEST(ProcessSnapshot, FindsEveryCopyWithItsParent)
{
    SleeperProcesses sleepers;
    const DWORD first = sleepers.start();
    const DWORD second = sleepers.start();
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);

    const auto found = ProcessSnapshot::processesByExeName(L"lookup_sleeper.exe");
    EXPECT_EQ(OwnChildren(found),
              (std::vector<DWORD>{std::min(first, second), std::max(first, second)}));
}

TEST(ProcessSnapshot, ComparisonIsExactAndCaseSensitive)
{
    SleeperProcesses sleepers;
    const DWORD sleeper = sleepers.start();
    ASSERT_NE(sleeper, 0u);
    EXPECT_EQ(OwnChildren(ProcessSnapshot::processesByExeName(L"lookup_sleeper.exe")),
              std::vector<DWORD>{sleeper})
        << "the name itself";
    for (const wchar_t *name : {L"LOOKUP_SLEEPER.EXE", L"lookup_sleeper", L"lookup_sleeper.exe ",
                                L"C:\\lookup_sleeper.exe"})
        EXPECT_TRUE(OwnChildren(ProcessSnapshot::processesByExeName(name)).empty()) << name;
}
