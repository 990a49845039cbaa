#include "TestFiles.h"

#include <windows.h>

#include <fstream>
#include <iterator>

namespace SkinUI {
namespace Testing {

namespace {

std::wstring ProgramFolder()
{
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring folder(module);
    folder.erase(folder.find_last_of(L"\\/") + 1);
    return folder;
}

} // namespace

std::wstring SkinFixtureFolder()
{
    return ProgramFolder() + L"skins\\";
}

std::wstring FrameSkinRoot()
{
    return ProgramFolder() + L"frameskin\\";
}

std::wstring SkinFixture(const std::wstring &relativePath)
{
    return SkinFixtureFolder() + relativePath;
}

std::vector<uint8_t> ReadWholeFile(const std::wstring &path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    std::vector<uint8_t> bytes;
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    LARGE_INTEGER size = {};
    GetFileSizeEx(file, &size);
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty())
        ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    CloseHandle(file);
    return bytes;
}

} // namespace Testing
} // namespace SkinUI
