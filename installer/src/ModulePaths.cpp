#include "ModulePaths.h"

#include "AppState.h"

#include <windows.h>

namespace {

// Long enough for any path the system can give, so that no path is ever cut.
constexpr DWORD kLongestPath = 32768;

} // namespace

std::wstring ModulePath()
{
    std::wstring path(kLongestPath, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, &path[0], kLongestPath);
    path.resize(length < kLongestPath ? length : 0);
    return path;
}

std::wstring ModuleFolder()
{
    const std::wstring path = ModulePath();
    const std::size_t lastSeparator = path.find_last_of(L"\\/");
    return lastSeparator == std::wstring::npos ? std::wstring() : path.substr(0, lastSeparator + 1);
}

std::wstring FileBesideModule(const std::wstring &name)
{
    return ModuleFolder() + name;
}

std::wstring GetUninstallerDataPath(const AppState &state)
{
    return FileBesideModule(state.UninstallerDataName());
}

std::wstring GetInstallerDataPath(const AppState &state)
{
    return FileBesideModule(state.InstallerDataName());
}
