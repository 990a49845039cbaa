#include "TestSupport.h"
#include "utils/NamedMutex.h"

#include <gtest/gtest.h>

namespace {

std::wstring UniqueName()
{
    return L"UnInstaller_Test_" + std::to_wstring(GetCurrentProcessId());
}

long ProbeInAnotherProcess(const std::wstring &name)
{
    return TestSupport::RunProgram(L"\"" + TestSupport::ProgramFolder() + L"\\mutex_probe.exe\" " +
                                       name,
                                   TestSupport::kProgramWaitMs);
}

TEST(NamedMutex, OneHolderAtATimeAcrossProcesses)
{
    const std::wstring name = UniqueName();
    {
        Utils::NamedMutex first(name);
        EXPECT_FALSE(first.IsAcquired());
        EXPECT_TRUE(first.Acquire());
        EXPECT_TRUE(first.IsAcquired());

        // The system object carries the fixed prefix.
        HANDLE opened =
            OpenMutexW(SYNCHRONIZE, FALSE, (std::wstring(L"D1A547DB89C0BC61_") + name).c_str());
        EXPECT_NE(opened, nullptr);
        if (opened != nullptr) {
            CloseHandle(opened);
        }

        Utils::NamedMutex second(name);
        EXPECT_FALSE(second.Acquire());
        EXPECT_FALSE(second.IsAcquired());
        EXPECT_EQ(ProbeInAnotherProcess(name), 1);
    }
    // Released with its holder.
    EXPECT_EQ(ProbeInAnotherProcess(name), 0);
    Utils::NamedMutex again(name);
    EXPECT_TRUE(again.Acquire());
}

} // namespace
