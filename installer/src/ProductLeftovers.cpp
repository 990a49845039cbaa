#include "ProductLeftovers.h"

#include "utils/RegistryTree.h"

#include <windows.h>

namespace {

const wchar_t *const kLeftoverFiles[] = {L"Installer.data", L"unins.data"};
const wchar_t kProductKey[] = L"Software\\TzSoft\\Quorvane";

} // namespace

void RemoveProductLeftovers(const std::wstring &installDir)
{
    for (const wchar_t *name : kLeftoverFiles) {
        DeleteFileW((installDir + L"\\" + name).c_str());
    }
    Utils::DeleteRegistryKeyTree(HKEY_CURRENT_USER, kProductKey);
}
