#include "LabelUI.h"

#include "DibSurface.h"
#include "GdiPainter.h"
#include "ProbeControl.h"
#include "TestWindow.h"
#include "ThreadCpuTime.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

using namespace SkinUI;
using namespace SkinUI::Testing;

namespace {

// A label whose settings the tests read.
class Label : public CLabelUI
{
public:
    using CLabelUI::m_luminousFuzzy;
    using CLabelUI::m_shadowOffsetX;
    using CLabelUI::m_shadowOffsetY;
};

const uint32_t kWhite = 0xFFFFFF;

// A window whose root places one label over the given rectangle.
struct LabelWindow
{
    LabelWindow(int width, int height, RECT place, const wchar_t *attributes)
        : window(width, height), label(new Label)
    {
        label->SetAttributeList(attributes);
        auto *root = new ProbeParent(L"root");
        root->Add(label, place);
        window.Attach(root);
    }

    // The tree painted over white.
    void Paint(DibSurface &surface)
    {
        surface.Fill(0xFFFFFFFF);
        window.Manager().GetRoot()->Paint(surface.Dc(), surface.Bounds(), nullptr);
    }

    int FontHeight() { return window.Manager().GetFontInfo(-1)->metrics.tmHeight; }

    TestWindow window;
    Label *label;
};

int CountWhere(const DibSurface &surface, const std::function<bool(uint32_t)> &test)
{
    int count = 0;
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            count += test(surface.Rgb(x, y)) ? 1 : 0;
    return count;
}

int Red(uint32_t rgb)
{
    return (rgb >> 16) & 0xFF;
}
int Green(uint32_t rgb)
{
    return (rgb >> 8) & 0xFF;
}
int Blue(uint32_t rgb)
{
    return rgb & 0xFF;
}

// Pixels where one channel clearly leads the other two.
bool Reddish(uint32_t rgb)
{
    return Red(rgb) > 160 && Green(rgb) < 100 && Blue(rgb) < 100;
}
bool Greenish(uint32_t rgb)
{
    return Green(rgb) > 100 && Red(rgb) < 80 && Blue(rgb) < 80;
}
bool Bluish(uint32_t rgb)
{
    return Blue(rgb) > 160 && Red(rgb) < 100 && Green(rgb) < 100;
}

} // namespace

TEST(LabelUI, AttributesSetStyleBitsAndEffectSettings)
{
    struct StyleCase
    {
        const wchar_t *attributes;
        UINT style;
    };
    const StyleCase cases[] = {
        {L"", DT_VCENTER | DT_SINGLELINE},
        {L"align=\"center\"", DT_CENTER | DT_VCENTER | DT_SINGLELINE},
        {L"align=\"center right\"", DT_RIGHT | DT_VCENTER | DT_SINGLELINE},
        {L"align=\"center\" align=\"left\"", DT_VCENTER | DT_SINGLELINE},
        {L"valign=\"bottom\"", DT_BOTTOM | DT_SINGLELINE},
        {L"valign=\"bottom\" valign=\"top\"", DT_SINGLELINE},
        {L"endellipsis=\"true\"", DT_END_ELLIPSIS | DT_VCENTER | DT_SINGLELINE},
        {L"multiline=\"true\"", DT_WORDBREAK | DT_VCENTER},
        {L"multiline=\"true\" multiline=\"false\"", DT_WORDBREAK | DT_VCENTER | DT_SINGLELINE},
    };
    for (const StyleCase &c : cases) {
        Label label;
        label.SetAttributeList(c.attributes);
        EXPECT_EQ(c.style, label.GetTextStyle()) << c.attributes;
    }

    // The shadow offset goes by the angle while the label is still unplaced; X takes the
    // vertical displacement and Y the horizontal one.
    struct OffsetCase
    {
        const wchar_t *value;
        float x;
        float y;
    };
    const OffsetCase offsets[] = {
        {L"2,200", 0, 0},  {L"2,45", -2, -2}, {L"2,-90", 2, 0},
        {L"2,180", -2, 2}, {L"2,-180", 0, 2}, {L"2,-45", 2, -2},
    };
    for (const OffsetCase &c : offsets) {
        Label label;
        label.SetAttribute(L"shadowoffset", c.value);
        EXPECT_EQ(c.x, label.m_shadowOffsetX) << c.value;
        EXPECT_EQ(c.y, label.m_shadowOffsetY) << c.value;
    }

    Label label;
    label.SetAttribute(L"luminousfuzzy", L"0");
    EXPECT_FLOAT_EQ(3.0f, label.m_luminousFuzzy);
    label.SetAttribute(L"luminousfuzzy", L"1.5");
    EXPECT_FLOAT_EQ(1.5f, label.m_luminousFuzzy);
    label.SetAttribute(L"textpadding", L"1,2,3,4");
    EXPECT_EQ(4, label.GetTextPadding().bottom);
    EXPECT_STREQ(L"Label", label.GetClass());
    EXPECT_EQ(&label, label.GetInterface(L"Label"));
    EXPECT_EQ(&label, label.GetInterface(L"Control"));
    EXPECT_EQ(nullptr, label.GetInterface(L"Button"));
}

TEST(LabelUI, SizeEstimatesFollowFontPaddingFixedSizeAndWrapping)
{
    LabelWindow host(300, 100, RECT{0, 0, 300, 100}, L"text=\"Hello\" textpadding=\"3,4,5,6\"");
    CWindowManagerUI &manager = host.window.Manager();
    const int fontHeight = host.FontHeight();
    ASSERT_GT(fontHeight, 0);
    const int textWidth =
        CGdiPainter::GetTextSize(manager.GetPaintDC(), &manager, L"Hello", -1, 0).cx;
    ASSERT_GT(textWidth, 0);

    Label &label = *host.label;
    SIZE size = label.GetDesiredSize(SIZE{300, 100});
    EXPECT_EQ(textWidth + 3 + 5, size.cx);
    EXPECT_EQ(fontHeight + 8 + 4 + 6, size.cy);

    label.SetText(L"");
    EXPECT_EQ(fontHeight + 8 + 4 + 6, label.GetDesiredSize(SIZE{300, 100}).cy)
        << "a single line is as tall as the font whatever its text";
    EXPECT_EQ(3 + 5, label.GetDesiredSize(SIZE{300, 100}).cx);

    label.SetFixedWidth(120);
    size = label.GetDesiredSize(SIZE{300, 100});
    EXPECT_EQ(120, size.cx);
    EXPECT_EQ(fontHeight + 18, size.cy);

    label.SetFixedHeight(25);
    label.SetText(L"a text far wider than the label could ever show in 120 pixels");
    size = label.GetDesiredSize(SIZE{300, 100});
    EXPECT_EQ(120, size.cx) << "a fixed size is never measured";
    EXPECT_EQ(25, size.cy);

    // Wrapped text takes the available width and grows with the lines it needs.
    LabelWindow wrappedHost(300, 100, RECT{0, 0, 300, 100},
                            L"multiline=\"true\" textpadding=\"0,2,0,2\" "
                            L"text=\"one two three four five six seven eight nine ten\"");
    Label &wrapped = *wrappedHost.label;
    const SIZE wide = wrapped.GetDesiredSize(SIZE{1000, 100});
    EXPECT_EQ(1000, wide.cx);
    EXPECT_EQ(fontHeight + 4, wide.cy) << "one line";
    const SIZE narrow = wrapped.GetDesiredSize(SIZE{60, 100});
    EXPECT_EQ(60, narrow.cx);
    EXPECT_GE(narrow.cy, 3 * fontHeight + 4) << "measured again for the new width";
}

TEST(LabelUI, TheEstimateIsCachedUntilTextFontPaddingOrSizeChange)
{
    LabelWindow host(300, 100, RECT{0, 0, 300, 100}, L"text=\"Cached\" font=\"1\"");
    CWindowManagerUI &manager = host.window.Manager();
    manager.AddFont(1, L"Tahoma", 12, false, false, false);
    Label &label = *host.label;
    const SIZE small = label.GetDesiredSize(SIZE{300, 100});

    // The same font id now names a larger font: the label does not know until it must
    // measure again.
    manager.AddFont(1, L"Tahoma", 30, false, false, false);
    EXPECT_EQ(small.cx, label.GetDesiredSize(SIZE{200, 50}).cx);
    EXPECT_EQ(small.cy, label.GetDesiredSize(SIZE{200, 50}).cy);

    label.SetText(L"Cached");
    const SIZE large = label.GetDesiredSize(SIZE{300, 100});
    EXPECT_GT(large.cx, small.cx);
    EXPECT_GT(large.cy, small.cy);

    const std::function<void()> changes[] = {
        [&] { label.SetAttribute(L"font", L"1"); },
        [&] { label.SetTextPadding(RECT{10, 0, 10, 0}); },
        [&] { label.SetShowHtml(true); },
        [&] { label.SetMultiLine(false); },
        [&] { label.SetFixedHeight(0); },
    };
    int index = 0;
    for (const std::function<void()> &change : changes) {
        manager.AddFont(1, L"Tahoma", index % 2 == 0 ? 12 : 30, false, false, false);
        const SIZE before = label.GetDesiredSize(SIZE{300, 100});
        change();
        const SIZE after = label.GetDesiredSize(SIZE{300, 100});
        EXPECT_NE(before.cy, after.cy) << "change " << index << " measures again";
        ++index;
    }
}

TEST(LabelUI, PaintsTextByAlignmentPaddingAndState)
{
    DibSurface surface(200, 60);
    struct PlaceCase
    {
        const wchar_t *attributes;
        std::function<void(const RECT &)> check;
    };
    const PlaceCase cases[] = {
        {L"align=\"left\"", [](const RECT &r) { EXPECT_LT(r.left, 6); }},
        {L"align=\"left\" textpadding=\"40,0,0,0\"",
         [](const RECT &r) {
             EXPECT_GE(r.left, 40);
             EXPECT_LT(r.left, 46);
         }},
        {L"align=\"center\"", [](const RECT &r) { EXPECT_NEAR(100, (r.left + r.right) / 2, 3); }},
        {L"align=\"right\"", [](const RECT &r) { EXPECT_GT(r.right, 194); }},
        {L"valign=\"top\"", [](const RECT &r) { EXPECT_LT(r.top, 6); }},
        {L"valign=\"bottom\"", [](const RECT &r) { EXPECT_GT(r.bottom, 52); }},
        {L"valign=\"vcenter\"", [](const RECT &r) { EXPECT_NEAR(30, (r.top + r.bottom) / 2, 4); }},
    };
    for (const PlaceCase &c : cases) {
        std::wstring attributes =
            std::wstring(L"text=\"Wide\" textcolor=\"#FF0000FF\" ") + c.attributes;
        LabelWindow host(200, 60, RECT{0, 0, 200, 60}, attributes.c_str());
        host.Paint(surface);
        RECT bounds = surface.BoundsOfOtherThan(kWhite);
        ASSERT_FALSE(IsRectEmpty(&bounds)) << c.attributes;
        EXPECT_GT(CountWhere(surface, Bluish), 0) << c.attributes;
        SCOPED_TRACE(testing::Message() << c.attributes);
        c.check(bounds);
    }

    LabelWindow host(200, 60, RECT{0, 0, 200, 60},
                     L"text=\"Wide\" textcolor=\"#FF0000FF\" disabledtextcolor=\"#FFFF0000\"");
    host.label->SetEnabled(false);
    host.Paint(surface);
    EXPECT_GT(CountWhere(surface, Reddish), 0) << "the disabled colour";
    EXPECT_EQ(0, CountWhere(surface, Bluish));

    host.label->SetText(L"");
    host.Paint(surface);
    EXPECT_EQ(0, surface.CountOtherThan(surface.Bounds(), kWhite)) << "no text, nothing drawn";
}

TEST(LabelUI, WrappedTextIsPlacedVerticallyByItsMeasuredHeight)
{
    DibSurface surface(100, 200);
    const wchar_t *text = L"text=\"one two three four five six seven eight\" multiline=\"true\" ";
    struct WrapCase
    {
        const wchar_t *valign;
        std::function<void(const RECT &)> check;
    };
    const WrapCase cases[] = {
        {L"valign=\"top\"", [](const RECT &r) { EXPECT_LT(r.top, 6); }},
        {L"valign=\"vcenter\"", [](const RECT &r) { EXPECT_NEAR(200 - r.bottom, r.top, 8); }},
        {L"valign=\"bottom\"", [](const RECT &r) { EXPECT_GT(r.bottom, 190); }},
    };
    for (const WrapCase &c : cases) {
        LabelWindow host(100, 200, RECT{0, 0, 100, 200}, (std::wstring(text) + c.valign).c_str());
        host.Paint(surface);
        const RECT bounds = surface.BoundsOfOtherThan(kWhite);
        ASSERT_FALSE(IsRectEmpty(&bounds)) << c.valign;
        EXPECT_GT(bounds.bottom - bounds.top, host.FontHeight() + 4) << "wrapped";
        SCOPED_TRACE(testing::Message() << c.valign);
        c.check(bounds);
    }
}

// A wrapped label with no room for a character, given no width or one narrower than a
// character, measures and paints its text at once, however long the text: its one line holds
// nothing and ends it.
TEST(LabelUI, ALabelWithNoRoomForACharacterEndsItsTextAtOnce)
{
    auto words = [](size_t length) {
        std::wstring text;
        while (text.size() < length)
            text += L"a ";
        return text;
    };
    const wchar_t *const markup = L"showhtml=\"true\" multiline=\"true\"";
    const wchar_t *const plain = L"multiline=\"true\"";
    struct Case
    {
        const char *what;
        const wchar_t *attributes;
        std::wstring text;
        int width;
        bool measuresOneLine; // markup measured in no width leaves the rectangle as it was
    } cases[] = {
        {"a 20,000-character word in markup, no width", markup, std::wstring(20000, L'a'), 0,
         false},
        {"a 20,000-character word in markup, one pixel", markup, std::wstring(20000, L'a'), 1,
         true},
        {"20,000 characters of words in markup, one pixel", markup, words(20000), 1, true},
        {"5,000 characters of plain text", plain, words(5000), 0, true},
        {"10,000 characters of plain text", plain, words(10000), 0, true},
        {"20,000 characters of plain text", plain, words(20000), 0, true},
    };
    DibSurface surface(40, 40);
    for (const Case &c : cases) {
        LabelWindow host(40, 40, RECT{0, 0, c.width, 40}, c.attributes);
        host.label->SetText(c.text.c_str());
        SIZE size = {};
        const std::chrono::milliseconds spent = ThreadCpuTimeOf([&] {
            size = host.label->GetDesiredSize(SIZE{c.width, 40});
            host.Paint(surface);
        });
        EXPECT_LE(spent.count(), 100) << "milliseconds of CPU time: " << c.what;
        if (c.measuresOneLine) {
            EXPECT_LE(size.cy, 2 * host.FontHeight()) << c.what;
        }
        EXPECT_EQ(0, surface.CountOtherThan(surface.Bounds(), kWhite)) << c.what;
    }
}

TEST(LabelUI, MarkupIsDrawnOnlyWithShowHtml)
{
    DibSurface surface(200, 40);
    const wchar_t *text = L"text=\"{c #FF0000}Red{/c}\" textcolor=\"#FF0000FF\"";
    LabelWindow plain(200, 40, RECT{0, 0, 200, 40}, text);
    plain.Paint(surface);
    EXPECT_EQ(0, CountWhere(surface, Reddish));
    const int plainWidth = surface.BoundsOfOtherThan(kWhite).right;

    LabelWindow html(200, 40, RECT{0, 0, 200, 40}, text);
    html.label->SetShowHtml(true);
    html.Paint(surface);
    EXPECT_GT(CountWhere(surface, Reddish), 0);
    EXPECT_EQ(0, CountWhere(surface, Bluish));
    EXPECT_LT(surface.BoundsOfOtherThan(kWhite).right, plainWidth) << "the tags are not shown";
}

TEST(LabelUI, TextEffectsDrawThroughGdiplus)
{
    DibSurface surface(200, 50);
    const RECT place = {10, 5, 190, 45};
    const std::wstring base = L"text=\"Effect\" font=\"1\" textcolor=\"#FFFF0000\" "
                              L"enabledeffect=\"true\" ";
    auto paint = [&](const std::wstring &extra, bool enabled = true) {
        LabelWindow host(200, 50, place, (base + extra).c_str());
        host.window.Manager().AddFont(1, L"Tahoma", 28, true, false, false);
        host.label->SetEnabled(enabled);
        host.Paint(surface);
    };

    paint(L"");
    const int plain = surface.CountOtherThan(surface.Bounds(), kWhite);
    EXPECT_GT(CountWhere(surface, Reddish), 20) << "the text in its colour";
    RECT bounds = surface.BoundsOfOtherThan(kWhite);
    EXPECT_GE(bounds.left, place.left);
    EXPECT_LE(bounds.right, place.right);

    paint(L"disabledtextcolor=\"#FF0000FF\"", false);
    EXPECT_GT(CountWhere(surface, Reddish), 20) << "the effect ignores the enabled state";
    EXPECT_EQ(0, CountWhere(surface, Bluish));

    paint(L"textcolor1=\"#FF0000FF\" gradientlength=\"20\"");
    EXPECT_GT(CountWhere(surface, Reddish), 0);
    EXPECT_GT(CountWhere(surface, Bluish), 0) << "a gradient from red to blue";
    paint(L"textcolor1=\"#FFFFFFFF\"");
    EXPECT_EQ(0, CountWhere(surface, Bluish)) << "white as second colour means flat";

    paint(L"enabledstroke=\"true\" strokecolor=\"#FF00C000\"");
    EXPECT_GT(CountWhere(surface, Greenish), 20) << "the outline";
    paint(L"enabledstroke=\"true\"");
    EXPECT_EQ(0, CountWhere(surface, Greenish)) << "no outline colour, no outline";

    paint(L"enabledshadow=\"true\" textshadowcolora=\"#FF0000FF\" shadowoffset=\"4,-90\"");
    EXPECT_GT(CountWhere(surface, Bluish), 20) << "the shadow, 4 pixels to the right";
    paint(L"enabledshadow=\"true\" textshadowcolora=\"0\" textshadowcolorb=\"0\"");
    EXPECT_EQ(plain, surface.CountOtherThan(surface.Bounds(), kWhite)) << "no shadow colour";

    paint(L"enabledluminous=\"true\" luminousfuzzy=\"4\"");
    EXPECT_GT(surface.CountOtherThan(surface.Bounds(), kWhite), plain) << "the glow spreads";
}
