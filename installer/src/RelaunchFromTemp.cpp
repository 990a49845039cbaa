#include "RelaunchFromTemp.h"

#include "AppState.h"
#include "ModulePaths.h"
#include "TempCopies.h"
#include "UninstNames.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace {

// The install folder of a copy started without the silent uninstaller.
const wchar_t kMissingInstallDir[] = L"Test";

const wchar_t kNoUninstallerText[] = L"找不到卸载程序";
const wchar_t kNoTempCopyText[] = L"无法将卸载程序复制到临时文件夹，请关闭正在运行的卸载程序后重试";

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

int TellNoTempCopy()
{
    MessageBoxW(nullptr, kNoTempCopyText, kMessageCaption, MB_OK);
    return -1;
}

// Copies uninst itself into the temp folder and starts the copy there with these arguments;
// the exit code of stage one: 0, or -1 after telling the user that there is no copy.
int StartTempCopy(const std::wstring &parameters)
{
    const std::optional<std::wstring> temp = PrivateTempFolder();
    if (!temp || !CopyIntoTemp(ModulePath(), kUninstCopyName)) {
        return TellNoTempCopy();
    }
    ShellExecuteW(nullptr, L"open", (*temp + kUninstCopyName).c_str(), parameters.c_str(),
                  temp->c_str(), SW_SHOWNORMAL);
    return 0;
}

} // namespace

int RelaunchFromTemp(const AppState &state)
{
    // The installer only serves the finished page's offer of the newest version.
    CopyIntoTemp(GetInstallerDataPath(state), kInstallerCopyName);
    if (CopyIntoTemp(GetUninstallerDataPath(state), kUninstallerCopyName)) {
        return StartTempCopy(InstallDirArgument(UninstFolder()) + L" " + state.CommandLine());
    }
    if (MessageBoxW(nullptr, kNoUninstallerText, kMessageCaption, MB_OKCANCEL) != IDOK) {
        return -1;
    }
    // The copy goes on without a silent uninstaller; an earlier one left in its place would
    // run on the stand-in folder instead.
    if (TempCopyExists(kUninstallerCopyName)) {
        return TellNoTempCopy();
    }
    return StartTempCopy(InstallDirArgument(kMissingInstallDir));
}
