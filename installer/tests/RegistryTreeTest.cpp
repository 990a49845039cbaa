#include "utils/RegistryTree.h"

#include <gtest/gtest.h>

#include <sddl.h>

#include <string>

namespace {

// Every key of these tests lies under a key of its own in the test prefix's HKCU.
class RegistryTreeTest : public testing::Test
{
protected:
    void SetUp() override { DeleteTree(base_); }
    void TearDown() override { DeleteTree(base_); }

    static bool Create(const std::wstring &path)
    {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                            &key, nullptr) != ERROR_SUCCESS) {
            return false;
        }
        const DWORD value = 7;
        RegSetValueExW(key, L"value", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value),
                       sizeof(value));
        RegCloseKey(key);
        return true;
    }

    static bool Exists(const std::wstring &path)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(key);
        return true;
    }

    // A registry link at linkPath (under HKCU) to the key at targetPath (under HKCU).
    static bool CreateLink(const std::wstring &linkPath, const std::wstring &targetPath)
    {
        HKEY link = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, linkPath.c_str(), 0, nullptr,
                            REG_OPTION_VOLATILE | REG_OPTION_CREATE_LINK, KEY_ALL_ACCESS, nullptr,
                            &link, nullptr) != ERROR_SUCCESS) {
            return false;
        }
        // A link names its target by its full path in the registry's own namespace.
        const std::wstring target = L"\\Registry\\User\\" + UserSid() + L"\\" + targetPath;
        const LONG set = RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK,
                                        reinterpret_cast<const BYTE *>(target.data()),
                                        static_cast<DWORD>(target.size() * sizeof(wchar_t)));
        RegCloseKey(link);
        return set == ERROR_SUCCESS;
    }

    static std::wstring UserSid()
    {
        HANDLE token = nullptr;
        std::wstring sid;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
            return sid;
        }
        BYTE buffer[256] = {};
        DWORD size = 0;
        wchar_t *text = nullptr;
        if (GetTokenInformation(token, TokenUser, buffer, sizeof(buffer), &size) &&
            ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER *>(buffer)->User.Sid, &text)) {
            sid = text;
            LocalFree(text);
        }
        CloseHandle(token);
        return sid;
    }

    static bool LinkExists(const std::wstring &path)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), REG_OPTION_OPEN_LINK, KEY_READ, &key) !=
            ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(key);
        return true;
    }

    // Clean-up by the platform's own tree deletion, independent of the code under test.
    static void DeleteTree(const std::wstring &path)
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
    }

    const std::wstring base_ =
        L"Software\\UninstRegistryTest_" + std::to_wstring(GetCurrentProcessId());
};

TEST_F(RegistryTreeTest, DeletesANestedTreeAndSparesNeighboursWithTheSamePrefix)
{
    const std::wstring tree = base_ + L"\\Tree";
    for (const wchar_t *path : {L"\\a\\b\\c\\d", L"\\a\\b2", L"\\e", L""}) {
        ASSERT_TRUE(Create(tree + path));
    }
    const std::wstring neighbours[] = {base_ + L"\\Tree2", base_ + L"\\TreeX\\child",
                                       base_ + L"\\Tre"};
    for (const std::wstring &neighbour : neighbours) {
        ASSERT_TRUE(Create(neighbour));
    }

    EXPECT_TRUE(Utils::DeleteRegistryKeyTree(HKEY_CURRENT_USER, tree.c_str()));

    EXPECT_FALSE(Exists(tree));
    for (const std::wstring &neighbour : neighbours) {
        EXPECT_TRUE(Exists(neighbour));
    }
}

// A link in the tree goes, and the key it points to, outside the tree, stays whole.
TEST_F(RegistryTreeTest, DeletesALinkAndNotTheKeyItPointsTo)
{
    const std::wstring tree = base_ + L"\\Product";
    const std::wstring sibling = base_ + L"\\Sibling";
    ASSERT_TRUE(Create(tree + L"\\Settings"));
    ASSERT_TRUE(Create(sibling + L"\\child"));
    ASSERT_TRUE(CreateLink(tree + L"\\Link", sibling));
    ASSERT_TRUE(Exists(tree + L"\\Link\\child")) << "the link does not lead to the sibling";

    EXPECT_TRUE(Utils::DeleteRegistryKeyTree(HKEY_CURRENT_USER, tree.c_str()));
    EXPECT_FALSE(LinkExists(tree + L"\\Link"));
    EXPECT_FALSE(Exists(tree));
    EXPECT_TRUE(Exists(sibling + L"\\child"));

    // Nothing dangling is left to stop the next removal.
    ASSERT_TRUE(Create(tree + L"\\Settings"));
    EXPECT_TRUE(Utils::DeleteRegistryKeyTree(HKEY_CURRENT_USER, tree.c_str()));
    EXPECT_FALSE(Exists(tree));
}

TEST_F(RegistryTreeTest, AcceptsATrailingBackslashAndAMissingKey)
{
    ASSERT_TRUE(Create(base_ + L"\\Slash\\child"));
    EXPECT_TRUE(Utils::DeleteRegistryKeyTree(HKEY_CURRENT_USER, (base_ + L"\\Slash\\").c_str()));
    EXPECT_FALSE(Exists(base_ + L"\\Slash"));
    EXPECT_TRUE(Utils::DeleteRegistryKeyTree(HKEY_CURRENT_USER, (base_ + L"\\Never").c_str()));
}

TEST_F(RegistryTreeTest, RefusesPathsThatWouldReachTheRootOrBeCut)
{
    ASSERT_TRUE(Create(base_ + L"\\Keep"));
    // A path whose first 519 characters name an existing key: cutting it would delete that.
    const std::wstring prefix = base_ + L"\\Long\\" + std::wstring(250, L'a') + L"\\";
    const std::wstring cutTarget = prefix + std::wstring(519 - prefix.size(), L'b');
    ASSERT_EQ(cutTarget.size(), 519u);
    ASSERT_TRUE(Create(cutTarget));

    EXPECT_FALSE(Utils::DeleteRegistryKeyTree(HKEY_CURRENT_USER, (cutTarget + L"c").c_str()));
    EXPECT_FALSE(Utils::DeleteRegistryKeyTree(HKEY_CURRENT_USER, L""));
    EXPECT_FALSE(Utils::DeleteRegistryKeyTree(HKEY_CURRENT_USER, L"\\"));
    EXPECT_FALSE(Utils::DeleteRegistryKeyTree(HKEY_CURRENT_USER, nullptr));

    EXPECT_TRUE(Exists(cutTarget));
    EXPECT_TRUE(Exists(base_ + L"\\Keep"));
}

TEST_F(RegistryTreeTest, StopsWithFalseAtASubKeyTooDeepForThePathBuffer)
{
    // Its own path fits; a sub-key's does not. Deleting a cut path instead would find
    // nothing, report success and enumerate the same sub-key for ever.
    const std::wstring top = base_ + L"\\Deep";
    const std::wstring deep =
        top + L"\\" + std::wstring(250, L'a') + L"\\" + std::wstring(250, L'b');
    ASSERT_GT(deep.size(), 519u);
    ASSERT_TRUE(Create(deep));

    EXPECT_FALSE(Utils::DeleteRegistryKeyTree(HKEY_CURRENT_USER, top.c_str()));
    EXPECT_TRUE(Exists(deep));
}

} // namespace
