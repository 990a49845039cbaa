#include "RelaunchFromTemp.h"

#include "AppState.h"
#include "ModulePaths.h"
#include "UninstNames.h"
#include "utils/PrivateTempFolder.h"

#include <windows.h>

#include <shellapi.h>

#include <optional>
#include <string>

namespace {

// The install folder of a copy started without the silent uninstaller.
const wchar_t kMissingInstallDir[] = L"Test";

const wchar_t kNoUninstallerText[] = L"找不到卸载程序";

// The private temp folder, asked afresh each time; nothing when it cannot be had, so that
// no copy ever lands in whatever the current folder happens to be.
std::optional<std::wstring> PrivateTempFolder()
{
    wchar_t folder[MAX_PATH] = {};
    if (Utils::GetPrivateTempFolder(MAX_PATH, folder) != 0) {
        return std::nullopt;
    }
    return std::wstring(folder);
}

bool CopyIntoTemp(const std::wstring &source, const wchar_t *copyName)
{
    const std::optional<std::wstring> temp = PrivateTempFolder();
    return temp && CopyFileW(source.c_str(), (*temp + copyName).c_str(), FALSE);
}

// The value of "-instdir" in quotes; the folder has no trailing backslash, which would
// otherwise escape the closing quote.
std::wstring InstallDirArgument(const std::wstring &folder)
{
    return L"-instdir=\"" + folder + L"\"";
}

std::wstring UninstFolder()
{
    const std::wstring folder = ModuleFolder();
    return folder.empty() ? folder : folder.substr(0, folder.size() - 1);
}

// Copies uninst itself into the temp folder and starts the copy there with these arguments.
void StartTempCopy(const std::wstring &parameters)
{
    if (!CopyIntoTemp(ModulePath(), kUninstCopyName)) {
        return;
    }
    const std::optional<std::wstring> temp = PrivateTempFolder();
    if (!temp) {
        return;
    }
    ShellExecuteW(nullptr, L"open", (*temp + kUninstCopyName).c_str(), parameters.c_str(),
                  temp->c_str(), SW_SHOWNORMAL);
}

} // namespace

int RelaunchFromTemp(const AppState &state)
{
    CopyIntoTemp(GetInstallerDataPath(state), kInstallerCopyName);
    if (CopyIntoTemp(GetUninstallerDataPath(state), kUninstallerCopyName)) {
        StartTempCopy(InstallDirArgument(UninstFolder()) + L" " + state.CommandLine());
        return 0;
    }
    if (MessageBoxW(nullptr, kNoUninstallerText, kMessageCaption, MB_OKCANCEL) != IDOK) {
        return -1;
    }
    StartTempCopy(InstallDirArgument(kMissingInstallDir));
    return 0;
}
