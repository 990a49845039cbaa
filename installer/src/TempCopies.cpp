#include "TempCopies.h"

#include "ModulePaths.h"
#include "UninstNames.h"
#include "utils/PrivateTempFolder.h"

#include <windows.h>

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
    if (!temp) {
        return false;
    }
    const std::wstring copy = *temp + copyName;
    DeleteFileW(copy.c_str());
    return CopyFileW(source.c_str(), copy.c_str(), FALSE);
}

bool TempCopyExists(const wchar_t *copyName)
{
    const std::optional<std::wstring> temp = PrivateTempFolder();
    return temp && GetFileAttributesW((*temp + copyName).c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {

bool SameFolder(const std::wstring &a, const std::wstring &b)
{
    wchar_t fullA[MAX_PATH] = {};
    wchar_t fullB[MAX_PATH] = {};
    const DWORD lengthA = GetFullPathNameW(a.c_str(), MAX_PATH, fullA, nullptr);
    const DWORD lengthB = GetFullPathNameW(b.c_str(), MAX_PATH, fullB, nullptr);
    return lengthA > 0 && lengthA < MAX_PATH && lengthB > 0 && lengthB < MAX_PATH &&
           CompareStringOrdinal(fullA, -1, fullB, -1, TRUE) == CSTR_EQUAL;
}

} // namespace

void RemoveTempCopiesBesideProgram(bool installerStarted)
{
    const std::optional<std::wstring> temp = PrivateTempFolder();
    if (!temp || !SameFolder(*temp, ModuleFolder())) {
        return;
    }
    DeleteFileW((*temp + kUninstallerCopyName).c_str());
    if (!installerStarted) {
        DeleteFileW((*temp + kInstallerCopyName).c_str());
    }
}
