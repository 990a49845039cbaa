#include "HardenDllSearchPath.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

// The hardening is for the whole process and cannot be undone, so this program holds this
// one test only.
TEST(HardenDllSearchPath, LoadsByNameOnlyFromTheSystemFolder)
{
    const wchar_t besideProgram[] = L"harden_payload.dll";
    TestSupport::ScratchFolder current;
    CopyFileW((TestSupport::ProgramFolder() + L"\\" + besideProgram).c_str(),
              current.File(L"planted.dll").c_str(), FALSE);
    ASSERT_TRUE(SetCurrentDirectoryW(current.Path().c_str()));

    // Before: libraries beside the program and in the current folder are found by name.
    HMODULE before = LoadLibraryW(besideProgram);
    ASSERT_NE(before, nullptr) << "the planted library is not loadable at all";
    FreeLibrary(before);

    HardenDllSearchPath();

    EXPECT_EQ(LoadLibraryW(besideProgram), nullptr);
    EXPECT_EQ(LoadLibraryW(L"planted.dll"), nullptr);
    for (const wchar_t *name : {L"version.dll", L"ws2_32.dll", L"dwmapi.dll", L"msimg32.dll"}) {
        EXPECT_NE(GetModuleHandleW(name), nullptr) << "not preloaded";
        EXPECT_NE(LoadLibraryW(name), nullptr) << "system libraries must still load by name";
    }
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    SetCurrentDirectoryW(system);
}

} // namespace
