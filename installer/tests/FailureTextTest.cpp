#include "FailureText.h"
#include "utils/Strings.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

namespace {

std::string Utf8(const std::wstring &text)
{
    return Utils::ToNarrowString(text, CP_UTF8);
}

std::wstring Times(const std::wstring &part, int count)
{
    std::wstring text;
    for (int i = 0; i < count; ++i) {
        text += part;
    }
    return text;
}

// One pixel a UTF-16 unit: a line of 40 holds 40 of them.
int Units(const std::wstring &piece)
{
    return static_cast<int>(piece.size());
}

TEST(MessageBoxLayout, BreaksOnlyRunsTheBoxCannotWrap)
{
    struct Case
    {
        const char *name;
        std::wstring text;
        std::wstring shown;
    };
    const std::wstring sentence = Times(L"无法删除文件，请关闭正在运行的程序。", 43);
    const std::wstring words = Times(L"cannot remove ", 55);
    // U+20000, a Chinese character beyond the first plane, as a surrogate pair.
    const std::wstring pair = L"\xD840\xDC00";
    const std::wstring accented = L"e\x0301";
    const Case cases[] = {
        {"Chinese", sentence, sentence},
        {"words", words, words},
        {"one word", Times(L"x", 100),
         Times(L"x", 40) + L"\n" + Times(L"x", 40) + L"\n" + Times(L"x", 20)},
        {"a path, after a backslash",
         L"C:\\Users\\somebody\\AppData\\Local\\Temp\\~TZTemp\\TZQuorvane_uninstdata.exe",
         L"C:\\Users\\somebody\\AppData\\Local\\Temp\\\n~TZTemp\\TZQuorvane_uninstdata.exe"},
        {"an address, not after a slash early in it", L"https://" + Times(L"a", 50),
         L"https://" + Times(L"a", 32) + L"\n" + Times(L"a", 18)},
        {"a word after Chinese", L"无法删除" + Times(L"x", 50),
         L"无法删除" + Times(L"x", 40) + L"\n" + Times(L"x", 10)},
        {"Chinese punctuation", Times(L"，", 50), Times(L"，", 40) + L"\n" + Times(L"，", 10)},
        {"surrogate pairs", Times(pair, 30), Times(pair, 20) + L"\n" + Times(pair, 10)},
        {"accents", L"x" + Times(accented, 30),
         L"x" + Times(accented, 20) + L"\n" + Times(accented, 10)},
        {"line ends and tabs", L"a\rb\nc\td\r\n", L"a b c d"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Utf8(WrapForMessageBox(c.text, 40, Units)), Utf8(c.shown));
    }
}

// A run is measured as it is drawn: narrow letters fit many more to a line than wide ones.
TEST(MessageBoxLayout, BreaksARunByItsWidthAsDrawn)
{
    const auto drawn = [](const std::wstring &piece) {
        int width = 0;
        for (wchar_t c : piece) {
            width += c == L'i' ? 2 : 8;
        }
        return width;
    };
    EXPECT_EQ(Utf8(WrapForMessageBox(Times(L"i", 100), 240, drawn)), Utf8(Times(L"i", 100)));
    EXPECT_EQ(Utf8(WrapForMessageBox(Times(L"m", 40), 240, drawn)),
              Utf8(Times(L"m", 30) + L"\n" + Times(L"m", 10)));
}

TEST(MessageBoxLayout, ShowsAsMuchOfTheErrorAsTheBufferHolds)
{
    struct Case
    {
        const char *name;
        std::wstring text;
        std::wstring value;
    };
    const std::wstring pair = L"\xD840\xDC00";
    const Case cases[] = {
        {"a long word, its line breaks not counted", Times(L"x", 1000), Times(L"x", 771)},
        {"a character cut in half", Times(L"x", 770) + pair, Times(L"x", 770)},
        {"no words", L"", L"安装包卸载失败"},
        {"the carriage return of a line without words", L"\r", L"安装包卸载失败"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring shown = ShownFailureText(c.text);
        shown.erase(std::remove(shown.begin(), shown.end(), L'\n'), shown.end());
        EXPECT_EQ(Utf8(shown), Utf8(c.value));
    }
}

} // namespace
