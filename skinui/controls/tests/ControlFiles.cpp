#include "ControlFiles.h"

#include "WindowManagerUI.h"

#include <windows.h>

namespace SkinUI {
namespace Testing {

std::wstring ControlFixtureFolder()
{
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring folder(module);
    folder.erase(folder.find_last_of(L"\\/") + 1);
    return folder + L"controls\\";
}

std::wstring ControlFixture(const std::wstring &relativePath)
{
    return ControlFixtureFolder() + relativePath;
}

void UseControlSkinSource(const wchar_t *package, bool sevenZip)
{
    CWindowManagerUI::SetResourcePackageFile(L"", false);
    CWindowManagerUI::SetResourcePath(ControlFixtureFolder().c_str());
    CWindowManagerUI::SetSevenZipPackage(sevenZip);
    if (package != nullptr)
        CWindowManagerUI::SetResourcePackageFile(package, true);
}

} // namespace Testing
} // namespace SkinUI
