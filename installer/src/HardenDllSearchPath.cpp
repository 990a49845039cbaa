#include "HardenDllSearchPath.h"

#include <windows.h>

#include <string>

namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI *)(DWORD);

// Kept for the whole process: the look-up is done once.
SetDefaultDllDirectoriesFunction setDefaultDllDirectories = nullptr;

const wchar_t *const kPreloadedLibraries[] = {
    L"\\version.dll", L"\\ws2_32.dll",  L"\\sxs.dll",     L"\\dwmapi.dll",        L"\\msimg32.dll",
    L"\\d3d8.dll",    L"\\ieframe.dll", L"\\ws2help.dll", L"\\WindowsCodecs.dll",
};

void PreloadSystemLibraries()
{
    wchar_t systemFolder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(systemFolder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    for (const wchar_t *name : kPreloadedLibraries) {
        LoadLibraryW((std::wstring(systemFolder) + name).c_str());
    }
}

} // namespace

void HardenDllSearchPath()
{
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (kernel != nullptr) {
        setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
            reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    }
    if (setDefaultDllDirectories != nullptr) {
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    SetDllDirectoryW(L"");
    PreloadSystemLibraries();
}
