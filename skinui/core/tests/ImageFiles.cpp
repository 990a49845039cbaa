#include "ImageFiles.h"

#include "TestFiles.h"

namespace SkinUI {
namespace Testing {

std::wstring ImageFixtureFolder()
{
    std::wstring folder = SkinFixtureFolder();
    folder.erase(folder.size() - std::wstring(L"skins\\").size());
    return folder + L"images\\";
}

std::wstring ImageFixture(const std::wstring &relativePath)
{
    return ImageFixtureFolder() + relativePath;
}

} // namespace Testing
} // namespace SkinUI
