#include "ControlFiles.h"

#include "ImageFiles.h"
#include "WindowManagerUI.h"

namespace SkinUI {
namespace Testing {

void UseControlSkinSource(const wchar_t *package, bool sevenZip)
{
    CWindowManagerUI::SetResourcePackageFile(L"", false);
    CWindowManagerUI::SetResourcePath(ImageFixtureFolder().c_str());
    CWindowManagerUI::SetSevenZipPackage(sevenZip);
    if (package != nullptr)
        CWindowManagerUI::SetResourcePackageFile(package, true);
}

} // namespace Testing
} // namespace SkinUI
