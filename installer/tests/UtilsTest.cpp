#include "TestSupport.h"
#include "utils/AdminCheck.h"
#include "utils/CommandLine.h"
#include "utils/PrivateTempFolder.h"
#include "utils/ShellOpen.h"
#include "utils/Strings.h"

#include <gtest/gtest.h>

#include <shlobj.h>

namespace {

struct TrimCase
{
    std::wstring text;
    std::wstring left;
    std::wstring right;
    std::wstring both;
};

TEST(Trim, RemovesWhiteSpaceFromTheRequestedSides)
{
    const TrimCase cases[] = {
        {L" Success\r", L"Success\r", L" Success", L"Success"},
        {L" \t\r\n\v\f", L"", L"", L""},
        {L"", L"", L"", L""},
        {L"a b", L"a b", L"a b", L"a b"},
        {L"\x3000"
         L"x\x3000",
         L"x\x3000", L"\x3000x", L"x"}, // ideographic space
    };
    for (const TrimCase &c : cases) {
        SCOPED_TRACE(testing::Message() << "text of " << c.text.size() << " characters");
        EXPECT_EQ(Utils::TrimLeft(c.text), c.left);
        EXPECT_EQ(Utils::TrimRight(c.text), c.right);
        EXPECT_EQ(Utils::Trim(c.text), c.both);
    }
}

TEST(CodePageConversion, RoundTripsChineseThroughUtf8)
{
    const std::string utf8 = "安装包卸载失败 ok";
    const std::wstring wide = Utils::ToWideString(utf8, CP_UTF8);
    EXPECT_EQ(wide, L"安装包卸载失败 ok");
    EXPECT_EQ(Utils::ToNarrowString(wide, CP_UTF8), utf8);
}

TEST(CodePageConversion, StopsAtTheFirstZeroAndGivesEmptyTextOnFailure)
{
    EXPECT_EQ(Utils::ToWideString(std::string("ab\0cd", 5), CP_UTF8), L"ab");
    EXPECT_EQ(Utils::ToNarrowString(std::wstring(L"ab\0cd", 5), CP_UTF8), "ab");
    // 12345 is no code page.
    EXPECT_EQ(Utils::ToWideString("abc", 12345), L"");
    EXPECT_EQ(Utils::ToNarrowString(L"abc", 12345), "");
    EXPECT_EQ(Utils::AnsiToWide(nullptr, 0), L"");
    EXPECT_EQ(Utils::WideToAnsi(nullptr, 0), "");
}

TEST(CodePageConversion, AnsiCodePageIsTheSystems)
{
    EXPECT_EQ(Utils::ToWideString("Plain ASCII", 0), L"Plain ASCII");
    const std::wstring ansi = Utils::ToWideString("\xe9", 0);
    wchar_t expected[2] = {};
    MultiByteToWideChar(GetACP(), 0, "\xe9", 1, expected, 1);
    EXPECT_EQ(ansi, std::wstring(expected, 1));
}

TEST(CommandLine, SplitsDashKeysAtTheFirstEqualsSign)
{
    Utils::CommandLine line;
    line.Parse(L"\"C:\\Program Files\\uninst.exe\" -instdir=\"C:\\My Apps\\Quorvane\" -quiet "
               L"-url=https://x.test/?a=1&b=2 plain");
    EXPECT_EQ(line.Count(), 5u);
    EXPECT_TRUE(line.Has(L"C:\\Program Files\\uninst.exe"));
    EXPECT_EQ(line.Value(L"C:\\Program Files\\uninst.exe"), L"");
    EXPECT_EQ(line.Value(L"-instdir"), L"C:\\My Apps\\Quorvane");
    EXPECT_TRUE(line.Has(L"-quiet"));
    EXPECT_EQ(line.Value(L"-quiet"), L"");
    EXPECT_EQ(line.Value(L"-url"), L"https://x.test/?a=1&b=2");
    EXPECT_TRUE(line.Has(L"plain"));
    EXPECT_FALSE(line.Has(L"-missing"));
    EXPECT_EQ(line.Value(L"-missing"), L"");
}

TEST(CommandLine, KeepsTheFirstValueAndComparesKeysExactly)
{
    Utils::CommandLine line;
    line.Parse(L"uninst.exe -instdir=C:\\first -instdir=C:\\second -INSTDIR=C:\\upper "
               L"word=with-equals");
    EXPECT_EQ(line.Value(L"-instdir"), L"C:\\first");
    EXPECT_EQ(line.Value(L"-INSTDIR"), L"C:\\upper");
    // Without a leading dash the whole argument is the key.
    EXPECT_TRUE(line.Has(L"word=with-equals"));
    EXPECT_FALSE(line.Has(L"word"));
}

TEST(PrivateTempFolder, IsMadeOnceAndFoundAgain)
{
    wchar_t first[MAX_PATH] = {};
    wchar_t second[MAX_PATH] = {};
    ASSERT_EQ(Utils::GetPrivateTempFolder(MAX_PATH, first), 0u);
    ASSERT_EQ(Utils::GetPrivateTempFolder(MAX_PATH, second), 0u);
    const std::wstring path(first);
    EXPECT_EQ(path, second);
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    EXPECT_EQ(path, std::wstring(temp) + L"~TZTemp\\");
    const DWORD attributes = GetFileAttributesW(path.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(PrivateTempFolder, RefusesABufferTooSmallInsteadOfCuttingThePath)
{
    wchar_t small[8];
    wmemset(small, L'#', 8);
    EXPECT_EQ(Utils::GetPrivateTempFolder(8, small), 1u);
    EXPECT_EQ(std::wstring(small, 8), std::wstring(8, L'#'));
    EXPECT_EQ(Utils::GetPrivateTempFolder(MAX_PATH, nullptr), 1u);
}

// The path needs its length and one more for the terminator: a buffer one short is refused
// and left as it was, and nothing is written past the buffer the caller gave.
TEST(PrivateTempFolder, NeedsRoomForThePathAndItsTerminatorExactly)
{
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring path = std::wstring(temp) + L"~TZTemp\\";
    struct Case
    {
        DWORD size;
        unsigned int result;
        std::wstring buffer;
    };
    const std::wstring untouched(path.size() + 1, L'#');
    const Case cases[] = {
        {static_cast<DWORD>(path.size()), 1u, untouched},
        {static_cast<DWORD>(path.size() + 1), 0u, path + L'\0'},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "a buffer of " << c.size << " for " << path.size());
        // One more than the size given, to see a write beyond it.
        std::wstring buffer(c.size + 1, L'#');
        EXPECT_EQ(Utils::GetPrivateTempFolder(c.size, &buffer[0]), c.result);
        EXPECT_EQ(buffer.substr(0, c.size), c.buffer.substr(0, c.size));
        EXPECT_EQ(buffer[c.size], L'#') << "written beyond the buffer";
    }
}

TEST(ShellOpen, OpensAProgramAndReportsAMissingFile)
{
    TestSupport::ScratchFolder folder;
    const std::wstring program = TestSupport::InstallStandIn(folder.Path(), "");
    const HINSTANCE opened = Utils::ShellOpen(program.c_str(), SW_HIDE);
    EXPECT_GT(reinterpret_cast<INT_PTR>(opened), 32);
    // The started program writes its log as it starts.
    const DWORD start = GetTickCount();
    while (TestSupport::StandInLog(program).empty() &&
           GetTickCount() - start < TestSupport::kProgramWaitMs) {
        Sleep(50);
    }
    EXPECT_NE(TestSupport::StandInLog(program).find("TZQuorvane_uninstdata"), std::string::npos);

    const HINSTANCE missing = Utils::ShellOpen(folder.File(L"missing.exe").c_str(), SW_HIDE);
    EXPECT_LE(reinterpret_cast<INT_PTR>(missing), 32);
}

TEST(AccountChecks, AnswerForTheRealSessionAndRejectUnknownAccounts)
{
    std::wstring userName = L"unchanged";
    if (Utils::GetActiveSessionUserName(userName)) {
        EXPECT_FALSE(userName.empty());
    } else {
        EXPECT_EQ(userName, L"unchanged");
    }
    EXPECT_FALSE(Utils::IsUserAdmin(L"no-such-account-7f3a"));
    EXPECT_FALSE(Utils::IsUserAdmin(L""));
    // The shell's own answer to the same question.
    EXPECT_EQ(Utils::IsRunAsAdmin(), IsUserAnAdmin() != FALSE);
}

} // namespace
