#include "TestSupport.h"
#include "utils/NamedMutex.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

using TestSupport::ChildProcess;
using TestSupport::ScratchFolder;

constexpr DWORD kWaitMs = 60000;
constexpr DWORD kRefused = static_cast<DWORD>(-1);
// What may be handed out as uninst.
constexpr ULONGLONG kLargestProgram = 1500000;

const wchar_t kMutexName[] = L"UnInstaller_Quorvane";

// uninst.exe as the build delivers it, one folder above this test program.
std::wstring DeliveredProgram()
{
    return TestSupport::ProgramFolder() + L"\\..\\uninst.exe";
}

RECT WindowRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

TEST(UninstProgram, IsSmallEnoughToHandOut)
{
    WIN32_FILE_ATTRIBUTE_DATA attributes = {};
    ASSERT_TRUE(
        GetFileAttributesExW(DeliveredProgram().c_str(), GetFileExInfoStandard, &attributes));
    const ULONGLONG size =
        (static_cast<ULONGLONG>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
    EXPECT_LE(size, kLargestProgram);
}

// The second stage as the first one starts it: the copy of uninst in the temp folder, told
// where the product is.
TEST(UninstProgram, StageTwoHoldsTheMutexAndShowsTheCentredWindowUntilItIsClosed)
{
    ScratchFolder temp;
    ScratchFolder product;
    const std::wstring uninst = temp.File(L"TZQuorvane_uninstall.exe");
    ASSERT_TRUE(CopyFileW(DeliveredProgram().c_str(), uninst.c_str(), FALSE));
    const std::wstring command = L"\"" + uninst + L"\" -instdir=\"" + product.Path() + L"\"";

    ChildProcess first(command);
    ASSERT_TRUE(first.Started());
    const HWND window =
        TestSupport::WaitForTopWindow(first.Id(), L"mainWnd", L"Quorvane 卸载", kWaitMs);
    ASSERT_NE(window, nullptr) << "no uninstall window came up";
    // Found as soon as it exists; it is centred once its skin is built.
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    auto centred = [&] {
        const RECT rect = WindowRect(window);
        return std::abs((rect.left + rect.right) - (work.left + work.right)) <= 2 &&
               std::abs((rect.top + rect.bottom) - (work.top + work.bottom)) <= 2;
    };
    const DWORD start = GetTickCount();
    while (!centred() && GetTickCount() - start < kWaitMs) {
        Sleep(20);
    }
    EXPECT_TRUE(centred()) << "not centred in the work area";
    EXPECT_TRUE(IsWindowVisible(window));
    const RECT rect = WindowRect(window);
    EXPECT_EQ(rect.right - rect.left, 700);
    EXPECT_EQ(rect.bottom - rect.top, 420);
    {
        Utils::NamedMutex mutex(kMutexName);
        EXPECT_FALSE(mutex.Acquire()) << "the running uninstaller does not hold its mutex";
    }

    ChildProcess second(command);
    EXPECT_EQ(second.Wait(kWaitMs), std::optional<DWORD>(kRefused));

    PostMessageW(window, WM_CLOSE, 1, 0);
    EXPECT_EQ(first.Wait(kWaitMs), std::optional<DWORD>(0));
    Utils::NamedMutex mutex(kMutexName);
    EXPECT_TRUE(mutex.Acquire()) << "the mutex outlived its uninstaller";
}

} // namespace
