#include "MainProgramTurn.h"

#include "ModulePaths.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace {

const wchar_t kMainProgramName[] = L"Quorvane.exe";
const wchar_t kUninstallArgument[] = L"-uninstall";

bool IsFile(const std::wstring &path)
{
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace

void RunMainProgramTurn()
{
    const std::wstring mainProgram = FileBesideModule(kMainProgramName);
    if (!IsFile(mainProgram)) {
        return;
    }
    SHELLEXECUTEINFOW start = {};
    start.cbSize = sizeof(start);
    start.fMask = SEE_MASK_NOCLOSEPROCESS;
    start.lpVerb = L"open";
    start.lpFile = mainProgram.c_str();
    start.lpParameters = kUninstallArgument;
    start.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&start) || start.hProcess == nullptr) {
        return;
    }
    // Waiting on the handle, not on the exit code: a program may well end with the code
    // that also means "still running".
    WaitForSingleObject(start.hProcess, INFINITE);
    CloseHandle(start.hProcess);
}
