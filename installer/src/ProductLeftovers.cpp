#include "ProductLeftovers.h"

#include "utils/RegistryTree.h"

#include <windows.h>

namespace {

const wchar_t *const kLeftoverFiles[] = {L"Installer.data", L"unins.data"};
const wchar_t kProductKey[] = L"Software\\TzSoft\\Quorvane";
const wchar_t kProductKeyShown[] = L"HKEY_CURRENT_USER\\Software\\TzSoft\\Quorvane";

bool IsGone(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// True when the file is gone. A read-only file is deleted too; one that still cannot be
// deleted keeps its attributes.
bool DeleteLeftoverFile(const std::wstring &path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    const bool readOnly =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly) {
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    if (DeleteFileW(path.c_str()) || IsGone(GetLastError())) {
        return true;
    }
    if (readOnly) {
        SetFileAttributesW(path.c_str(), attributes);
    }
    return false;
}

} // namespace

std::vector<std::wstring> RemoveProductLeftovers(const std::wstring &installDir)
{
    std::vector<std::wstring> stayed;
    for (const wchar_t *name : kLeftoverFiles) {
        const std::wstring path = installDir + L"\\" + name;
        if (!DeleteLeftoverFile(path)) {
            stayed.push_back(path);
        }
    }
    if (!Utils::DeleteRegistryKeyTree(HKEY_CURRENT_USER, kProductKey)) {
        stayed.push_back(kProductKeyShown);
    }
    return stayed;
}
