#include "WideString.h"

#include "ThreadCpuTime.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cwchar>
#include <string>

using SkinUI::CWideString;

namespace {

std::wstring Letters(int count)
{
    std::wstring text;
    for (int i = 0; i < count; ++i)
        text += static_cast<wchar_t>(L'a' + i % 26);
    return text;
}

} // namespace

TEST(WideStringStorage, KeepsUpTo62CharactersInlineAndLongerTextsOnTheHeap)
{
    struct Case
    {
        int length;
        bool inlineExpected;
    } cases[] = {{0, true}, {1, true}, {62, true}, {63, false}, {64, false}, {500, false}};
    for (const Case &c : cases) {
        std::wstring text = Letters(c.length);
        CWideString s(text.c_str());
        EXPECT_EQ(c.inlineExpected, s.IsHeldInline()) << c.length;
        EXPECT_EQ(text, s.GetData());
        EXPECT_EQ(c.length, s.GetLength());
    }
}

TEST(WideStringStorage, MovesBetweenInlineBufferAndHeapAsTheTextChanges)
{
    std::wstring text = Letters(62);
    CWideString s(text.c_str());
    s += L'!';
    EXPECT_FALSE(s.IsHeldInline());
    EXPECT_EQ(text + L"!", s.GetData());

    // A long enough heap block is kept for a shorter long text.
    const wchar_t *block = s.GetData();
    s = Letters(63).c_str();
    EXPECT_EQ(block, s.GetData());
    EXPECT_EQ(Letters(63), s.GetData());

    s = L"short";
    EXPECT_TRUE(s.IsHeldInline());
    EXPECT_STREQ(L"short", s.GetData());

    CWideString joined(Letters(40).c_str());
    joined += Letters(40).c_str();
    EXPECT_FALSE(joined.IsHeldInline());
    EXPECT_EQ(Letters(40) + Letters(40), joined.GetData());
    joined.Empty();
    EXPECT_TRUE(joined.IsEmpty());
    EXPECT_TRUE(joined.IsHeldInline());
}

TEST(WideStringStorage, CopiesAndAppendsItsOwnTextSafely)
{
    std::wstring text = Letters(60);
    CWideString s(text.c_str());
    s += s.GetData();
    EXPECT_EQ(text + text, s.GetData());
    s += s;
    EXPECT_EQ(text + text + text + text, s.GetData());
    s.Assign(s.GetData() + 100, 30);
    EXPECT_EQ((text + text + text + text).substr(100, 30), s.GetData());

    CWideString copy(s);
    copy = copy;
    EXPECT_STREQ(s.GetData(), copy.GetData());
}

TEST(WideStringConstruction, TakesNullAsEmptyAndHonoursLengths)
{
    EXPECT_TRUE(CWideString(static_cast<const wchar_t *>(nullptr)).IsEmpty());
    EXPECT_STREQ(L"abc", CWideString(L"abcdef", 3).GetData());
    EXPECT_STREQ(L"abcdef", CWideString(L"abcdef", -1).GetData());
    EXPECT_STREQ(L"x", CWideString(L'x').GetData());

    CWideString s(L"keep");
    s = static_cast<const wchar_t *>(nullptr);
    EXPECT_TRUE(s.IsEmpty());
    s.Assign(L"abcdef", 2);
    EXPECT_STREQ(L"ab", s.GetData());
    s += static_cast<const wchar_t *>(nullptr);
    EXPECT_STREQ(L"ab", s.GetData());
    EXPECT_STREQ(L"abcd", (s + L"cd").GetData());
    EXPECT_STREQ(L"ab", (s + nullptr).GetData());
    s.Assign(L"abc", 10);
    EXPECT_STREQ(L"abc", s.GetData()) << "a length past the end takes the whole text";

    // A few characters taken from a long text cost those characters only, not the rest of it.
    const std::wstring text = Letters(100000);
    const std::chrono::milliseconds spent = SkinUI::Testing::ThreadCpuTimeOf([&] {
        for (size_t at = 0; at + 3 <= text.size(); at += 10) {
            CWideString part(text.c_str() + at, 3);
            s.Assign(text.c_str() + at, 3);
            ASSERT_EQ(0, wcscmp(part.GetData(), s.GetData()));
        }
    });
    EXPECT_EQ(text.substr(text.size() - 10, 3), s.GetData());
    EXPECT_LE(spent.count(), 50) << "milliseconds of CPU time";
}

TEST(WideStringCompare, IsExactOrCaseInsensitiveOnRequest)
{
    CWideString s(L"Button");
    EXPECT_TRUE(s == L"Button");
    EXPECT_TRUE(s != L"button");
    EXPECT_EQ(0, s.CompareNoCase(L"BUTTON"));
    EXPECT_LT(s.CompareNoCase(L"buttonz"), 0);
    EXPECT_GT(s.CompareNoCase(L"a"), 0);
}

TEST(WideStringSearch, FindsCharactersAndTextsFromTheAcceptedStarts)
{
    CWideString s(L"abcabc");
    struct CharCase
    {
        wchar_t ch;
        int start;
        int expected;
    } charCases[] = {{L'a', 0, 0},   {L'a', 1, 3},  {L'c', 5, 5}, {L'a', 6, -1},
                     {L'a', -1, -1}, {L'a', 7, -1}, {L'z', 0, -1}};
    for (const CharCase &c : charCases)
        EXPECT_EQ(c.expected, s.Find(c.ch, c.start)) << c.ch << " from " << c.start;

    struct TextCase
    {
        const wchar_t *text;
        int start;
        int expected;
    } textCases[] = {{L"bc", 0, 1},   {L"bc", 2, 4},  {L"abc", 6, -1}, {L"c", 5, 5},
                     {L"bc", -1, -1}, {L"bc", 7, -1}, {L"cab", 0, 2}};
    for (const TextCase &c : textCases)
        EXPECT_EQ(c.expected, s.Find(c.text, c.start)) << c.text << " from " << c.start;

    EXPECT_EQ(4, s.ReverseFind(L'b'));
    EXPECT_EQ(-1, s.ReverseFind(L'z'));
}

TEST(WideStringSubstrings, CutLeftAndMidWithinTheText)
{
    CWideString s(L"abcdef");
    struct Case
    {
        const wchar_t *name;
        CWideString result;
        const wchar_t *expected;
    } cases[] = {
        {L"Left(-5)", s.Left(-5), L""},
        {L"Left(2)", s.Left(2), L"ab"},
        {L"Left(99)", s.Left(99), L"abcdef"},
        {L"Mid(2,-1)", s.Mid(2, -1), L"cdef"},
        {L"Mid(4,10)", s.Mid(4, 10), L"ef"},
        {L"Mid(6,1)", s.Mid(6, 1), L""},
        {L"Mid(1,2)", s.Mid(1, 2), L"bc"},
        {L"Mid(0)", s.Mid(0), L"abcdef"},
        {L"Mid(4,INT_MAX)", s.Mid(4, INT_MAX), L"ef"},
    };
    for (const Case &c : cases)
        EXPECT_STREQ(c.expected, c.result.GetData()) << c.name;
}

TEST(WideStringEditing, ReplacesWithoutSearchingInsertedTextAgain)
{
    struct Case
    {
        const wchar_t *text;
        const wchar_t *from;
        const wchar_t *to;
        int count;
        const wchar_t *expected;
    } cases[] = {
        {L"aaa", L"a", L"aa", 3, L"aaaaaa"},
        {L"res\\mainWnd\\bg.png", L"\\", L"/", 2, L"res/mainWnd/bg.png"},
        {L"%{1} and %{1}", L"%{1}", L"one", 2, L"one and one"},
        {L"abc", L"x", L"y", 0, L"abc"},
        {L"abcabc", L"abc", L"", 2, L""},
    };
    for (const Case &c : cases) {
        CWideString s(c.text);
        EXPECT_EQ(c.count, s.Replace(c.from, c.to)) << c.text;
        EXPECT_STREQ(c.expected, s.GetData()) << c.text;
    }

    // Thousands of occurrences: the result is built once, not the whole text again for each.
    std::wstring many;
    std::wstring replaced;
    for (int i = 0; i < 20000; ++i) {
        many += L"line<n>";
        replaced += L"line\r\n";
    }
    CWideString lines(many.c_str());
    int count = 0;
    const std::chrono::milliseconds spent =
        SkinUI::Testing::ThreadCpuTimeOf([&] { count = lines.Replace(L"<n>", L"\r\n"); });
    EXPECT_EQ(20000, count);
    EXPECT_TRUE(lines.GetData() == replaced);
    EXPECT_LE(spent.count(), 50) << "milliseconds of CPU time";

    CWideString mixed(L"MiXeD Case");
    mixed.MakeLower();
    EXPECT_STREQ(L"mixed case", mixed.GetData());
}

TEST(WideStringFormat, FormatsShortTextsAndNeverWritesPastItsBuffer)
{
    CWideString s;
    EXPECT_EQ(10, s.Format(L"%04d-%02d-%02d", 2026, 3, 7));
    EXPECT_STREQ(L"2026-03-07", s.GetData());

    std::wstring sixtyThree = Letters(63);
    EXPECT_EQ(63, s.Format(L"%s", sixtyThree.c_str()));
    EXPECT_EQ(sixtyThree, s.GetData());

    // Far longer than the 64-character buffer the framework's callers need.
    std::wstring long1 = Letters(300);
    EXPECT_EQ(600, s.Format(L"%s%s", long1.c_str(), long1.c_str()));
    EXPECT_EQ(long1 + long1, s.GetData());

    // The formatting routine itself stops within 1024 characters, which the buffer holds.
    std::wstring tooLong = Letters(3000);
    EXPECT_LE(s.Format(L"%s", tooLong.c_str()), 1024);
    EXPECT_GE(s.GetLength(), 1000);
    EXPECT_LE(s.GetLength(), 1024);
    EXPECT_EQ(tooLong.substr(0, static_cast<size_t>(s.GetLength())), s.GetData());
}
