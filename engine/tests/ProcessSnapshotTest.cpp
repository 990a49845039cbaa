#include "ProcessSnapshot.h"

#include <gtest/gtest.h>
#include <windows.h>

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

TEST(ProcessSnapshot, FindsEveryCopyWithItsParent)
{
    SleeperProcesses sleepers;
    const DWORD first = sleepers.start();
    const DWORD second = sleepers.start();
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);

    const auto found = ProcessSnapshot::processesByExeName(L"lookup_sleeper.exe");
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found.at(first), GetCurrentProcessId());
    EXPECT_EQ(found.at(second), GetCurrentProcessId());
}

TEST(ProcessSnapshot, ComparisonIsExactAndCaseSensitive)
{
    SleeperProcesses sleepers;
    ASSERT_NE(sleepers.start(), 0u);
    for (const wchar_t *name : {L"LOOKUP_SLEEPER.EXE", L"lookup_sleeper", L"lookup_sleeper.exe ",
                                L"C:\\lookup_sleeper.exe"})
        EXPECT_TRUE(ProcessSnapshot::processesByExeName(name).empty()) << name;
}
