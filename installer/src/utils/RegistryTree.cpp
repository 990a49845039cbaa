#include "utils/RegistryTree.h"

#include <string>

namespace Utils {

namespace {

// Longest path handled, in characters; the working buffer holds it and its terminator.
constexpr std::size_t kMaxPathLength = 519;
constexpr DWORD kNameCapacity = 260;

using NtDeleteKeyFunction = LONG(NTAPI *)(HANDLE key);

bool DeleteRegistryKeyRecursive(HKEY root, std::wstring &path);

class OpenKey
{
public:
    explicit OpenKey(HKEY key) : key_(key) {}
    ~OpenKey() { RegCloseKey(key_); }
    OpenKey(const OpenKey &) = delete;
    OpenKey &operator=(const OpenKey &) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_;
};

bool FirstSubKeyName(HKEY key, std::wstring &name)
{
    wchar_t buffer[kNameCapacity] = {};
    DWORD length = kNameCapacity;
    if (RegEnumKeyExW(key, 0, buffer, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    name.assign(buffer, length);
    return true;
}

bool DeleteSubKeys(HKEY root, HKEY key, std::wstring &path)
{
    if (path.back() != L'\\') {
        path += L'\\';
    }
    const std::size_t childStart = path.size();
    std::wstring deletedName;
    std::wstring name;
    // Index 0 each time: every successful pass removes the sub-key it was given.
    while (FirstSubKeyName(key, name)) {
        // The same name again means the key survived its deletion; going on would never end.
        if (name == deletedName || childStart + name.size() > kMaxPathLength) {
            return false;
        }
        path.resize(childStart);
        path += name;
        if (!DeleteRegistryKeyRecursive(root, path)) {
            return false;
        }
        deletedName = name;
    }
    return true;
}

// Deletes the key that the handle holds, itself: the registry's own deletion by name opens
// the key anew and so would reach through a link to the key it points to.
bool DeleteOpenKey(HKEY key)
{
    static const auto ntDeleteKey =
        reinterpret_cast<NtDeleteKeyFunction>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey")));
    return ntDeleteKey != nullptr && ntDeleteKey(key) >= 0;
}

bool DeleteRegistryKeyRecursive(HKEY root, std::wstring &path)
{
    // A link is opened as itself, never as the key it points to: only the link goes, and what
    // it points to, which may lie anywhere, stays.
    HKEY handle = nullptr;
    const LONG opened =
        RegOpenKeyExW(root, path.c_str(), REG_OPTION_OPEN_LINK, KEY_READ | DELETE, &handle);
    if (opened != ERROR_SUCCESS) {
        return opened == ERROR_FILE_NOT_FOUND;
    }
    OpenKey key(handle);
    const std::size_t pathLength = path.size();
    const bool subKeysDeleted = DeleteSubKeys(root, key.get(), path);
    path.resize(pathLength);
    return subKeysDeleted && DeleteOpenKey(key.get());
}

} // namespace

bool DeleteRegistryKeyTree(HKEY root, const wchar_t *subKey)
{
    // An empty path (or one naming the root itself) would wipe every key under the root.
    if (subKey == nullptr || subKey[0] == L'\0' || subKey[0] == L'\\') {
        return false;
    }
    std::wstring path(subKey);
    if (path.size() > kMaxPathLength) {
        return false;
    }
    return DeleteRegistryKeyRecursive(root, path);
}

} // namespace Utils
