// uninst's start-up as the program runs it, with a window step that only reports: it appends
// to "<own name>.log" beside itself one block of lines
//   window / pid=ID / instdir=FOLDER / cwd=FOLDER / cmdline=COMMAND LINE /
//   uninstaller=present|absent / installer=present|absent / end
// the last two telling whether the copies of the silent uninstaller and of the installer lie
// beside it.
// and, when started with "-probehold=EVENT", holds the window step (and so the mutex) until
// that named event is set, at most ten minutes (beyond every bound of a test's wait).
#include "AppState.h"
#include "ModulePaths.h"
#include "UninstNames.h"
#include "UninstallerMain.h"
#include "utils/CommandLine.h"
#include "utils/Strings.h"

#include <windows.h>

#include <string>

namespace {

constexpr DWORD kLongestHoldMs = 600000;

void AppendToLog(const std::wstring &text)
{
    const std::wstring program = ModulePath();
    const std::wstring logPath = program.substr(0, program.rfind(L'.')) + L".log";
    HANDLE file = CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    const std::string bytes = Utils::ToNarrowString(text, CP_UTF8);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::wstring CurrentFolder()
{
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    return folder;
}

void HoldWhileAsked()
{
    Utils::CommandLine arguments;
    arguments.Parse(GetCommandLineW());
    if (!arguments.Has(L"-probehold")) {
        return;
    }
    HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, arguments.Value(L"-probehold").c_str());
    if (release != nullptr) {
        WaitForSingleObject(release, kLongestHoldMs);
        CloseHandle(release);
    }
}

std::wstring PresenceBeside(const wchar_t *name)
{
    return GetFileAttributesW(FileBesideModule(name).c_str()) != INVALID_FILE_ATTRIBUTES
               ? L"present"
               : L"absent";
}

bool ReportWindowStep(HINSTANCE, const std::wstring &installDir)
{
    AppendToLog(L"window\npid=" + std::to_wstring(GetCurrentProcessId()) + L"\ninstdir=" +
                installDir + L"\ncwd=" + CurrentFolder() + L"\ncmdline=" + GetCommandLineW() +
                L"\nuninstaller=" + PresenceBeside(kUninstallerCopyName) + L"\ninstaller=" +
                PresenceBeside(kInstallerCopyName) + L"\nend\n");
    HoldWhileAsked();
    return false;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int)
{
    return RunUninstaller(instance, arguments, ReportWindowStep);
}
