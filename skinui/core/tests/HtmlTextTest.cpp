#include "DibSurface.h"
#include "GdiPainter.h"
#include "ImageFiles.h"
#include "MarkupStack.h"
#include "ControlUI.h"
#include "TestWindow.h"
#include "ThreadCpuTime.h"
#include "WindowManagerUI.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>

using namespace SkinUI;
using namespace SkinUI::Testing;

// Plain and marked-up text drawn into DIB pixels with real fonts: Tahoma (Wine's own) for
// Latin text, the CJK font of the setup script for Chinese.
namespace {

const uint32_t kWhite = 0xFFFFFF;
const int kLatin = 0;
const int kChinese = 1;
const int kBoldLatin = 2;
const UINT kLine = DT_SINGLELINE;

bool IsReddish(uint32_t rgb)
{
    const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return r > g + 80 && r > b + 80;
}

bool IsBluish(uint32_t rgb)
{
    const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return b > r + 80 && b > g + 80;
}

bool IsBlack(uint32_t rgb)
{
    return rgb == 0;
}

int CountWhere(const DibSurface &surface, bool (*test)(uint32_t))
{
    int count = 0;
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            count += test(surface.Rgb(x, y)) ? 1 : 0;
    return count;
}

// The two routines through which the layout measures text, as this program imports them.
extern "C" decltype(&GetTextExtentExPointW) __imp_GetTextExtentExPointW;
extern "C" decltype(&GetTextExtentPoint32W) __imp_GetTextExtentPoint32W;

// Counts the characters handed to GDI's text measuring while it lives, by standing in for
// the two measuring routines in this program's import table (and calling them on).
class MeasuredCharacters
{
public:
    MeasuredCharacters()
    {
        s_count = 0;
        s_extentEx = Swap(__imp_GetTextExtentExPointW, &CountExtentEx);
        s_extent = Swap(__imp_GetTextExtentPoint32W, &CountExtent);
    }
    MeasuredCharacters(const MeasuredCharacters &) = delete;
    MeasuredCharacters &operator=(const MeasuredCharacters &) = delete;
    ~MeasuredCharacters()
    {
        Swap(__imp_GetTextExtentExPointW, s_extentEx);
        Swap(__imp_GetTextExtentPoint32W, s_extent);
    }

    long long Count() const { return s_count; }

private:
    template <typename Routine> static Routine Swap(Routine &slot, Routine replacement)
    {
        DWORD protection = 0;
        VirtualProtect(&slot, sizeof(slot), PAGE_READWRITE, &protection);
        const Routine previous = slot;
        slot = replacement;
        VirtualProtect(&slot, sizeof(slot), protection, &protection);
        return previous;
    }
    static BOOL WINAPI CountExtentEx(HDC dc, LPCWSTR text, int length, int width, LPINT fit,
                                     LPINT widths, LPSIZE size)
    {
        s_count += length;
        return s_extentEx(dc, text, length, width, fit, widths, size);
    }
    static BOOL WINAPI CountExtent(HDC dc, LPCWSTR text, int length, LPSIZE size)
    {
        s_count += length;
        return s_extent(dc, text, length, size);
    }

    static long long s_count;
    static decltype(&GetTextExtentExPointW) s_extentEx;
    static decltype(&GetTextExtentPoint32W) s_extent;
};

long long MeasuredCharacters::s_count = 0;
decltype(&GetTextExtentExPointW) MeasuredCharacters::s_extentEx = nullptr;
decltype(&GetTextExtentPoint32W) MeasuredCharacters::s_extent = nullptr;

class HtmlText : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(Manager().AddFont(kLatin, L"Tahoma", 14, false, false, false), nullptr);
        ASSERT_NE(Manager().AddFont(kChinese, L"WenQuanYi Micro Hei", 14, false, false, false),
                  nullptr);
        ASSERT_NE(Manager().AddFont(kBoldLatin, L"Tahoma", 14, true, false, false), nullptr);
        CWindowManagerUI::SetResourcePath(ImageFixtureFolder().c_str());
    }

    CWindowManagerUI &Manager() { return m_window.Manager(); }

    RECT Measure(const wchar_t *text, UINT format = kLine, RECT rect = RECT{0, 0, 300, 100},
                 int font = kLatin)
    {
        int none = 0;
        CGdiPainter::DrawHtmlText(m_surface.Dc(), &Manager(), rect, text, 0xFF000000, nullptr,
                                  nullptr, none, font, format | DT_CALCRECT);
        return rect;
    }

    int Width(const wchar_t *text) { return Measure(text).right; }

    int Draw(const wchar_t *text, UINT format = kLine, RECT rect = RECT{0, 0, 300, 100},
             RECT *links = nullptr, CWideString *names = nullptr, int capacity = 0,
             int font = kLatin)
    {
        m_surface.Fill(0xFFFFFFFF);
        int count = capacity;
        CGdiPainter::DrawHtmlText(m_surface.Dc(), &Manager(), rect, text, 0xFF000000, links, names,
                                  count, font, format);
        return count;
    }

    TestWindow m_window;
    DibSurface m_surface{300, 100};
};

TEST_F(HtmlText, StyleTagsChangeTheExtentInEitherBracketForm)
{
    const int plain = Width(L"Hello");
    EXPECT_GT(plain, 20);
    EXPECT_GT(Width(L"{b}Hello{/b}"), plain) << "a bold run is wider than a plain one";
    EXPECT_EQ(Width(L"<b>Hello</b>"), Width(L"{b}Hello{/b}"));
    EXPECT_EQ(Width(L"<b}Hello{/b>"), Width(L"{b}Hello{/b}")) << "start and end characters mix";
    EXPECT_GT(Measure(L"{f Tahoma 30}Hello{/f}").bottom, Measure(L"Hello").bottom);
    EXPECT_EQ(Width(L"{x 40}Hello"), plain + 40);
    EXPECT_EQ(Measure(L"{y 50}Hello").bottom, 50);
}

TEST_F(HtmlText, ClosingTagsRestoreTheFontBeforeThem)
{
    // Runs are measured one by one, so a run after a closing tag is as wide as that run in
    // the font the closing tag brought back.
    struct Case
    {
        const wchar_t *text;
        const wchar_t *before;
        const wchar_t *after;
    } cases[] = {
        {L"{b}a{/b}zzzz", L"{b}a", L"zzzz"},
        {L"{b}{u}a{/u}zzzz{/b}", L"{b}{u}a", L"{b}zzzz"},
        {L"{f Tahoma 30}a{/f}zzzz", L"{f Tahoma 30}a", L"zzzz"},
        {L"{f Tahoma 30}{b}a{/b}zzzz{/f}", L"{f Tahoma 30}{b}a", L"{f Tahoma 30}zzzz"},
        {L"{b}<a x>a</a>zzzz{/b}", L"{b}{u}a", L"{b}zzzz"},
        // A style the font already has pushes nothing, yet its closing tag removes the outer
        // one.
        {L"{b}{b}a{/b}zzzz", L"{b}a", L"zzzz"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Width(c.text), Width(c.before) + Width(c.after)) << c.text;

    // Styles that change no width: the same pixels as when the style tag is given once.
    const std::pair<const wchar_t *, const wchar_t *> same[] = {
        {L"{i}{i}a{/i}zzzz", L"{i}a{/i}zzzz"},
        {L"{u}{u}a{/u}zzzz", L"{u}a{/u}zzzz"},
    };
    for (const auto &pair : same) {
        Draw(pair.second);
        DibSurface expected(300, 100);
        BitBlt(expected.Dc(), 0, 0, 300, 100, m_surface.Dc(), 0, 0, SRCCOPY);
        Draw(pair.first);
        int differing = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 300; ++x)
                differing += m_surface.Rgb(x, y) != expected.Rgb(x, y) ? 1 : 0;
        EXPECT_EQ(differing, 0) << pair.first;
    }
}

TEST_F(HtmlText, TheLineHeightTagSetsTheHeightAndOnlyFontsRaiseIt)
{
    const int line = Measure(L"Hello").bottom;
    const int boldLine = Measure(L"{b}Hello").bottom;
    ASSERT_GT(line, 5);
    struct Case
    {
        const wchar_t *text;
        int height;
    } cases[] = {
        {L"{y 50}Hello", 50},
        {L"{y 5}Hello", 5},
        {L"{y 5}{c #FF0000}Hello{/c}{x 3}", 5},
        {L"{y 5}{b}Hello{/b}", boldLine},
        {L"{y 5}{f Tahoma 30}Hello{/f}", Measure(L"{f Tahoma 30}Hello").bottom},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Measure(c.text).bottom, c.height) << c.text;

    // Tags that push no font leave the height alone: a style the text has already, and a font
    // tag that names no font.
    const RECT whole = {0, 0, 300, 100};
    const wchar_t *const pushingNothing[] = {L"{b}{y 5}Hello", L"{b}{y 5}{b}Hello",
                                             L"{y 5}{b}Hello{/b}", L"{y 5}{f}Hello{/f}"};
    for (const wchar_t *text : pushingNothing)
        EXPECT_EQ(Measure(text, kLine, whole, kBoldLatin).bottom, 5) << text;
    EXPECT_EQ(Measure(L"a\nb\nc", 0, RECT{0, 0, 300, 300}).bottom, 3 * line)
        << "a line break character ends the line as the n tag does";
}

TEST_F(HtmlText, ColourTagsAndRunsChangePixels)
{
    Draw(L"Hello world");
    EXPECT_GT(m_surface.CountOtherThan(m_surface.Bounds(), kWhite), 30);
    EXPECT_EQ(CountWhere(m_surface, IsReddish), 0);

    Draw(L"plain {b}bold{/b} {c #FF0000}red{/c} again");
    EXPECT_GT(CountWhere(m_surface, IsReddish), 10);
    const RECT ink = m_surface.BoundsOfOtherThan(kWhite);
    EXPECT_NEAR(ink.right, Width(L"plain {b}bold{/b} red again"), 3);
}

TEST_F(HtmlText, LinksRecordTheirRectanglesAndNames)
{
    RECT links[2] = {};
    CWideString names[2];
    ASSERT_EQ(Draw(L"go <a home>there</a> now", kLine, RECT{0, 0, 300, 100}, links, names, 2), 1);
    EXPECT_EQ(names[0], L"home");
    EXPECT_NEAR(links[0].left, Width(L"go "), 1);
    EXPECT_NEAR(links[0].right, Width(L"go {u}there{/u}"), 1);
    EXPECT_EQ(links[0].top, 0);
    EXPECT_EQ(links[0].bottom, Measure(L"x").bottom) << "the line's height";
    EXPECT_GT(CountWhere(m_surface, IsBluish), 10) << "links take the link colour";

    // Capacity 0: the text is drawn, no rectangle written.
    EXPECT_EQ(Draw(L"go <a home>there</a> now", kLine, RECT{0, 0, 300, 100}, links, names, 0), 0);
    EXPECT_GT(CountWhere(m_surface, IsBluish), 10);
    // A closing tag without an open link writes nothing.
    EXPECT_EQ(Draw(L"</a>text</a>", kLine, RECT{0, 0, 300, 100}, links, names, 2), 0);
    EXPECT_GT(m_surface.CountOtherThan(m_surface.Bounds(), kWhite), 10);
}

TEST_F(HtmlText, ClosingTagsRestoreTheColourBeforeThem)
{
    // What follows the last closing tag is drawn in one colour only.
    struct Case
    {
        const wchar_t *text;
        const wchar_t *before; // the text up to where the probed part starts
        bool (*colour)(uint32_t);
        bool (*never)(uint32_t);
    } cases[] = {
        {L"{c #FF0000}red <a x>link</a> again{/c}", L"{c #FF0000}red <a x>link</a> ", IsReddish,
         IsBluish},
        {L"{c #FF0000}red {c #0000FF}blue{/c} again{/c}", L"{c #FF0000}red {c #0000FF}blue{/c} ",
         IsReddish, IsBluish},
        {L"<a x>link</a> plain", L"<a x>link</a> ", IsBlack, IsBluish},
        {L"{c 0000FF}blue{/c} plain", L"{c 0000FF}blue{/c} ", IsBlack, IsBluish},
    };
    for (const Case &c : cases) {
        Draw(c.text);
        const int from = Width(c.before);
        int wanted = 0;
        int unwanted = 0;
        for (int y = 0; y < m_surface.Height(); ++y)
            for (int x = from; x < m_surface.Width(); ++x) {
                wanted += c.colour(m_surface.Rgb(x, y)) ? 1 : 0;
                unwanted += c.never(m_surface.Rgb(x, y)) ? 1 : 0;
            }
        EXPECT_GT(wanted, 10) << c.text;
        EXPECT_EQ(unwanted, 0) << c.text;
    }
}

TEST_F(HtmlText, HoveredLinkTakesTheHoverColour)
{
    RECT links[1] = {};
    CWideString names[1];
    Draw(L"<a x>hover</a>", kLine, RECT{0, 0, 300, 100}, links, names, 1);
    ASSERT_EQ(names[0], L"x");
    m_window.Attach(new CControlUI);
    m_window.MouseMove((links[0].left + links[0].right) / 2, (links[0].top + links[0].bottom) / 2);
    Draw(L"<a x>hover</a>", kLine, RECT{0, 0, 300, 100}, links, names, 1);
    EXPECT_EQ(CountWhere(m_surface, IsBluish), 0);
    EXPECT_GT(CountWhere(m_surface, IsReddish), 10) << "hovered links are D3215F";
}

TEST_F(HtmlText, WrappedLinksContinueInTheNextSlotWhileSlotsRemain)
{
    const RECT narrow = {0, 0, 70, 100};
    RECT links[4] = {};
    CWideString names[4];
    const int count = Draw(L"<a w>aaaa bbbb cccc dddd</a>", DT_WORDBREAK, narrow, links, names, 4);
    ASSERT_GE(count, 2);
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(names[i], L"w") << i;
        EXPECT_LE(links[i].right, 70) << i;
    }
    EXPECT_GT(links[1].top, links[0].top);
    EXPECT_EQ(links[1].top, links[0].bottom);

    // One slot for a link that wraps: the slots behind it are never written.
    RECT guarded[3] = {{-1, -1, -1, -1}, {7, 7, 7, 7}, {7, 7, 7, 7}};
    CWideString guardedNames[3] = {L"", L"sentinel", L"sentinel"};
    EXPECT_EQ(Draw(L"<a w>aaaa bbbb cccc dddd</a>", DT_WORDBREAK, narrow, guarded, guardedNames, 1),
              1);
    EXPECT_EQ(guardedNames[0], L"w");
    EXPECT_EQ(guardedNames[1], L"sentinel");
    EXPECT_EQ(guarded[1].left, 7);
    EXPECT_EQ(guarded[2].bottom, 7);
}

TEST_F(HtmlText, RawTextAndEscapesAreDrawnLiterally)
{
    auto literal = [this](const wchar_t *text) {
        return static_cast<int>(
            CGdiPainter::GetTextSize(m_surface.Dc(), &Manager(), text, kLatin, 0).cx);
    };
    EXPECT_EQ(Width(L"<r><b>x</b></r>"), literal(L"<b>x</b>"));
    EXPECT_EQ(Width(L"{r}{b}x{/b}{/r}y"), literal(L"{b}x{/b}y"));
    EXPECT_EQ(Width(L"<{>"), literal(L"{"));
    EXPECT_EQ(Width(L"{<}"), literal(L"<"));
    EXPECT_EQ(Width(L"<{}x"), literal(L"<{}x")) << "only the two exact escapes";
    EXPECT_EQ(Width(L"a<1b"), literal(L"a<1b")) << "not a tag: text";
}

TEST_F(HtmlText, LinesAreMeasuredAndEllipsisEndsALongLine)
{
    const int line = Measure(L"a").bottom;
    const RECT three = Measure(L"a{n}bb{n}c", 0, RECT{0, 0, 300, 300});
    EXPECT_EQ(three.bottom, 3 * line);
    EXPECT_EQ(three.right, Width(L"bb"));
    EXPECT_EQ(Measure(L"a{n}b", kLine).bottom, line) << "single line ignores n";
    const RECT wrapped = Measure(L"aaaa bbbb cccc", DT_WORDBREAK, RECT{0, 0, 50, 300});
    EXPECT_LE(wrapped.right, 50);
    EXPECT_GE(wrapped.bottom, 2 * line);
    // Room for a word and a bit: every line breaks after its space.
    const RECT words = Measure(L"aaaa bbbb cccc", DT_WORDBREAK, RECT{0, 0, Width(L"aaaa bb"), 300});
    EXPECT_EQ(words.bottom, 3 * line);
    EXPECT_EQ(words.right, Width(L"aaaa "));
    // The second line starts with the word after the space, not with the space.
    Draw(L"aaaa bbbb", DT_WORDBREAK, RECT{0, 0, Width(L"aaaa bb"), 100});
    DibSurface secondLine(300, line);
    BitBlt(secondLine.Dc(), 0, 0, 300, line, m_surface.Dc(), 0, line, SRCCOPY);
    Draw(L"bbbb");
    EXPECT_EQ(secondLine.BoundsOfOtherThan(kWhite).left, m_surface.BoundsOfOtherThan(kWhite).left);

    const wchar_t *longText = L"abcdefghijklmnopqrstuvwxyz abcdefghijklmnopqrstuvwxyz";
    Draw(longText, kLine, RECT{0, 0, 80, 30});
    DibSurface cut(300, 100);
    BitBlt(cut.Dc(), 0, 0, 300, 100, m_surface.Dc(), 0, 0, SRCCOPY);
    Draw(longText, kLine | DT_END_ELLIPSIS, RECT{0, 0, 80, 30});
    EXPECT_LE(m_surface.BoundsOfOtherThan(kWhite).right, 80);
    EXPECT_GT(m_surface.BoundsOfOtherThan(kWhite).right, 60);
    int differing = 0;
    for (int x = 0; x < 80; ++x)
        for (int y = 0; y < 30; ++y)
            differing += m_surface.Rgb(x, y) != cut.Rgb(x, y) ? 1 : 0;
    EXPECT_GT(differing, 0) << "the end of the line holds the dots";
}

TEST_F(HtmlText, EllipsisWithoutSingleLineEnds)
{
    // Every line takes at least one character, even one too narrow for it.
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    HDC dc = m_surface.Dc();
    CWindowManagerUI *manager = &Manager();
    std::thread([dc, manager, done] {
        RECT tiny = {0, 0, 4, 90};
        int none = 0;
        CGdiPainter::DrawHtmlText(dc, manager, tiny, L"abc def {b}ghi{/b}", 0xFF000000, nullptr,
                                  nullptr, none, kLatin, DT_END_ELLIPSIS | DT_WORDBREAK);
        RECT measured = {0, 0, 4, 90};
        CGdiPainter::DrawHtmlText(dc, manager, measured, L"abc def", 0xFF000000, nullptr, nullptr,
                                  none, kLatin, DT_END_ELLIPSIS | DT_CALCRECT);
        done->set_value();
    }).detach();
    ASSERT_EQ(finished.wait_for(std::chrono::seconds(20)), std::future_status::ready)
        << "the layout did not end";
}

TEST_F(HtmlText, ALongRunInANarrowRectangleIsMeasuredOnlyWhereItCanFit)
{
    // Every line of a rectangle one character wide takes one character; measuring the rest of
    // the run for each of them would measure the text over and over.
    const int characters = 3000;
    const std::wstring text(characters, L'a');
    const RECT oneCharacter = {0, 0, Width(L"a"), 100};
    for (UINT format : {0u, UINT(DT_WORDBREAK), UINT(DT_END_ELLIPSIS)}) {
        MeasuredCharacters measured;
        const RECT lines = Measure(text.c_str(), format, oneCharacter);
        EXPECT_GE(lines.bottom, characters * Measure(L"a").bottom) << "one character a line";
        EXPECT_LT(measured.Count(), 40LL * characters) << format;
    }
    MeasuredCharacters measured;
    Measure((L"{r}" + text + L"{/r}").c_str(), 0, oneCharacter);
    EXPECT_LT(measured.Count(), 40LL * characters) << "raw text";
}

// A word that takes thousands of lines costs what as many short lines cost: the end of the
// run is found once, not again on every line; and a link's name, however long, is not copied
// for each line the link takes.
TEST_F(HtmlText, TextOfManyLinesCostsWhatItsLinesCost)
{
    const int characters = 80000;
    const std::wstring word(characters, L'a');
    std::wstring lines; // as many characters, a line each four
    while (lines.size() < word.size())
        lines += L"aaa\n";
    const std::wstring name(characters, L'n');
    struct Case
    {
        const char *what;
        std::wstring text;
        std::wstring baseline;
    } cases[] = {
        {"a long word", word, lines},
        {"a long raw word", L"{r}" + word + L"{/r}", L"{r}" + lines + L"{/r}"},
        {"a link with a long name", L"<a " + name + L">" + lines + L"</a>",
         L"<a x>" + lines + L"</a>"},
    };
    const RECT fewCharacters = {0, 0, Width(L"aaaa"), 100};
    auto cost = [&](const std::wstring &text) {
        return ThreadCpuTimeOf([&] { Measure(text.c_str(), DT_WORDBREAK, fewCharacters); }).count();
    };
    for (const Case &c : cases) {
        const long long spent = cost(c.text);
        EXPECT_LE(spent, 3 * cost(c.baseline) + 50)
            << "milliseconds of CPU time against its baseline: " << c.what;
    }
}

// A line that cannot hold its first character ends the text at once: the one line that held
// nothing is measured, nothing is drawn, and the rest is never laid out (it would give each
// character of a 20,000-character word a line of its own).
TEST_F(HtmlText, ALineThatCanHoldNothingEndsTheText)
{
    const std::wstring word(20000, L'a');
    std::wstring words;
    while (words.size() < 20000)
        words += L"ab cd ";
    struct Case
    {
        std::wstring text;
        const wchar_t *firstLine; // the text up to its first character
    } cases[] = {
        {word, L"a"},
        {words, L"a"},
        {L"{b}" + word, L"{b}a"},
        {L"<a x>" + word + L"</a>", L"<a x>a"},
        {L"{r}" + word + L"{/r}", L"{r}a"},
        {L"{c #FF0000}{p 3}" + words + L"{/p}{/c}", L"{p 3}a"},
    };
    const UINT formats[] = {0,
                            DT_WORDBREAK,
                            DT_END_ELLIPSIS,
                            DT_WORDBREAK | DT_END_ELLIPSIS,
                            kLine | DT_END_ELLIPSIS,
                            DT_CENTER | DT_VCENTER,
                            DT_RIGHT | DT_BOTTOM | DT_WORDBREAK};
    const RECT narrow = {0, 0, Width(L"a") - 1, 100};
    for (const Case &c : cases) {
        const int line = Measure(c.firstLine).bottom;
        for (UINT format : formats) {
            RECT measured = {};
            const std::chrono::milliseconds measuring =
                ThreadCpuTimeOf([&] { measured = Measure(c.text.c_str(), format, narrow); });
            EXPECT_EQ(measured.bottom, line) << c.firstLine << " " << format;
            EXPECT_EQ(measured.right, 0) << c.firstLine << " " << format;
            const std::chrono::milliseconds drawing =
                ThreadCpuTimeOf([&] { Draw(c.text.c_str(), format, narrow); });
            EXPECT_EQ(m_surface.CountOtherThan(m_surface.Bounds(), kWhite), 0)
                << c.firstLine << " " << format;
            EXPECT_LE(measuring.count(), 100) << "milliseconds of CPU time: " << c.firstLine;
            EXPECT_LE(drawing.count(), 100) << "milliseconds of CPU time: " << c.firstLine;
        }
    }
}

// Markup with every tag nested thousands deep costs what the same tags cost one after the
// other: past the nesting bound a tag pushes nothing, so that the state each line saves and
// restores stays small.
TEST_F(HtmlText, DeeplyNestedMarkupCostsWhatTheSameTagsCostUnnested)
{
    const std::pair<const wchar_t *, const wchar_t *> tags[] = {
        {L"<a x>", L"</a>"},         {L"{b}", L"{/b}"}, {L"{c #FF0000}", L"{/c}"},
        {L"{f Tahoma 13}", L"{/f}"}, {L"{i}", L"{/i}"}, {L"{p 2}", L"{/p}"},
        {L"{s}", L"{/s}"},           {L"{u}", L"{/u}"}, {L"{v top}", L"{/v}"}};
    const int kinds = static_cast<int>(sizeof(tags) / sizeof(tags[0]));
    // Every tag holds a word and the next tag, or, unnested, only its word.
    auto markup = [&](int depth, bool nested) {
        std::wstring text;
        for (int i = 0; i < depth; ++i)
            text += std::wstring(tags[i % kinds].first) + L"ab " +
                    (nested ? L"" : std::wstring(tags[i % kinds].second) + L"ab ");
        for (int i = depth - 1; nested && i >= 0; --i)
            text += std::wstring(tags[i % kinds].second) + L"ab ";
        return text;
    };
    // A word a line, measured alone and measured before drawing.
    const RECT wordWide = {0, 0, Width(L"ab ") + 2, 100};
    auto cost = [&](const std::wstring &text) {
        return ThreadCpuTimeOf([&] {
                   Measure(text.c_str(), DT_WORDBREAK, wordWide);
                   Draw(text.c_str(), DT_WORDBREAK | DT_VCENTER, wordWide);
               })
            .count();
    };

    const std::wstring shallow = markup(300, true);
    ASSERT_LT(shallow.size(), 6000u);
    EXPECT_LE(cost(shallow), 100) << "milliseconds of CPU time, 300 deep";

    const std::wstring deep = markup(5000, true);
    const long long nested = cost(deep);
    const long long unnested = cost(markup(5000, false));
    EXPECT_LE(nested, 2 * unnested + 50)
        << "milliseconds of CPU time, 5,000 deep against the same tags unnested";
    EXPECT_LE(nested, static_cast<long long>(100 * deep.size() / 4096))
        << "milliseconds of CPU time, 5,000 deep (" << deep.size() << " characters)";

    // Text nested past the bound keeps the state of the deepest level kept, and the closing
    // tags of the levels past it take nothing away.
    std::wstring blueThenRed;
    for (int i = 0; i < MarkupStack::kMaxNesting; ++i)
        blueThenRed += L"{c #0000FF}";
    blueThenRed += L"{c #FF0000}{c #FF0000}Hello{/c}{/c}Hello";
    Draw(blueThenRed.c_str());
    EXPECT_GT(CountWhere(m_surface, IsBluish), 10);
    EXPECT_EQ(CountWhere(m_surface, IsReddish), 0);
}

TEST_F(HtmlText, AlignmentPlacesTheLine)
{
    const int width = Width(L"Hello");
    Draw(L"Hello", kLine | DT_CENTER, RECT{0, 0, 300, 100});
    RECT ink = m_surface.BoundsOfOtherThan(kWhite);
    EXPECT_NEAR(ink.left, (300 - width) / 2, 3);
    Draw(L"Hello", kLine | DT_RIGHT | DT_BOTTOM, RECT{0, 0, 300, 100});
    ink = m_surface.BoundsOfOtherThan(kWhite);
    EXPECT_NEAR(ink.right, 300, 3);
    EXPECT_GT(ink.top, 70);
    Draw(L"Hello", kLine | DT_VCENTER, RECT{0, 0, 300, 100});
    ink = m_surface.BoundsOfOtherThan(kWhite);
    EXPECT_NEAR((ink.top + ink.bottom) / 2, 50, 4);

    // Lines of several are aligned one by one.
    const int line = Measure(L"a").bottom;
    Draw(L"Hello{n}HelloHello", DT_CENTER, RECT{0, 0, 300, 100});
    const RECT first = m_surface.BoundsOfOtherThan(kWhite);
    EXPECT_NEAR(first.left, (300 - 2 * width) / 2, 3) << "the longer line";
    DibSurface firstLine(300, line);
    BitBlt(firstLine.Dc(), 0, 0, 300, line, m_surface.Dc(), 0, 0, SRCCOPY);
    EXPECT_NEAR(firstLine.BoundsOfOtherThan(kWhite).left, (300 - width) / 2, 3);
    Draw(L"Hello{n}HelloHello", DT_RIGHT, RECT{0, 0, 300, 100});
    BitBlt(firstLine.Dc(), 0, 0, 300, line, m_surface.Dc(), 0, 0, SRCCOPY);
    EXPECT_NEAR(firstLine.BoundsOfOtherThan(kWhite).right, 300, 3);
    EXPECT_NEAR(firstLine.BoundsOfOtherThan(kWhite).left, 300 - width, 3);
}

TEST_F(HtmlText, ChineseTextDrawsWithTheCjkFont)
{
    HGDIOBJ previous = SelectObject(m_surface.Dc(), Manager().GetFont(kChinese));
    wchar_t face[64] = {};
    GetTextFaceW(m_surface.Dc(), 64, face);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(m_surface.Dc(), &metrics);
    SelectObject(m_surface.Dc(), previous);
    EXPECT_STREQ(face, L"WenQuanYi Micro Hei");

    const RECT rect = {10, 20, 290, 90};
    CGdiPainter::DrawText(m_surface.Dc(), &Manager(), rect, L"卸载完成", 0xFF000000, kChinese,
                          DT_SINGLELINE | DT_TOP | DT_LEFT);
    const RECT ink = m_surface.BoundsOfOtherThan(kWhite);
    EXPECT_GE(ink.top, 20);
    EXPECT_LE(ink.bottom, 20 + metrics.tmHeight) << "a 14-pixel font keeps to its rows";
    EXPECT_GE(ink.right - ink.left, 4 * 11) << "four full-width characters";
    EXPECT_GT(m_surface.CountOtherThan(m_surface.Bounds(), kWhite), 60);

    RECT links[1] = {};
    CWideString names[1];
    EXPECT_EQ(Draw(L"正在{b}卸载{/b} <a 打开>打开文件夹</a>", kLine, RECT{0, 0, 300, 100}, links,
                   names, 1, kChinese),
              1);
    EXPECT_EQ(names[0], L"打开");
    EXPECT_GT(links[0].right - links[0].left, 4 * 11);
}

TEST_F(HtmlText, APictureThatDoesNotFitTheRestOfALineGoesToTheNext)
{
    const int line = Measure(L"a").bottom;
    const int pictureLine = line > 12 ? line : 12; // grid.png is 12 pixels high
    const RECT narrow = {0, 0, Width(L"ab") + 6, 300};
    EXPECT_EQ(Measure(L"ab{i res\\grid.png}", 0, narrow).bottom, line + pictureLine);
    EXPECT_EQ(Measure(L"{i res\\grid.png}", 0, RECT{0, 0, 6, 300}).bottom, pictureLine)
        << "alone on its line it stays there";
    EXPECT_EQ(Measure(L"ab{i res\\grid.png}", kLine, narrow).bottom, pictureLine)
        << "a single line keeps it";
}

TEST_F(HtmlText, LanguageTokensImagesAndSelection)
{
    CWindowManagerUI::AddLanguageString(7, L"Hello");
    Draw(L"%{7}");
    DibSurface direct(300, 100);
    RECT whole = direct.Bounds();
    int none = 0;
    CGdiPainter::DrawHtmlText(direct.Dc(), &Manager(), whole, L"Hello", 0xFF000000, nullptr,
                              nullptr, none, kLatin, kLine);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(m_surface.Rgb(x, y), direct.Rgb(x, y)) << x << "," << y;

    // The second of two frames of the 12x12 picture: its top-right corner is green.
    Draw(L"{i res\\grid.png 2 1}");
    const RECT picture = m_surface.BoundsOfOtherThan(kWhite);
    EXPECT_EQ(picture.right - picture.left, 6);
    EXPECT_EQ(picture.bottom - picture.top, 12);
    EXPECT_EQ(m_surface.Rgb(picture.left + 3, picture.top), 0x00FF00u);
    EXPECT_EQ(m_surface.Rgb(picture.left, picture.top), 0x800000u);

    Draw(L"{s}selected{/s}");
    EXPECT_EQ(m_surface.Rgb(1, 1), 0xBAE4FFu) << "the selection background";
}

} // namespace
