#include "ControlUI.h"
#include "DibSurface.h"
#include "ImageFiles.h"
#include "TestWindow.h"
#include "WindowManagerUI.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::Testing;

// Each base attribute of a control seen in the control's fields or in the pixels it paints:
// background colours and gradients, background image, border, in that order.
namespace {

const DWORD kWhite = 0xFFFFFF;

class ControlAttributes : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CWindowManagerUI::SetResourcePath(ImageFixtureFolder().c_str());
        m_window.Attach(m_control);
    }

    Pixels PaintWith(const wchar_t *attributes)
    {
        m_control->SetAttributeList(attributes);
        return m_window.PaintTree(0xFFFFFFFF);
    }

    TestWindow m_window{100, 60};
    CControlUI *m_control = new CControlUI;
};

bool Near(DWORD actual, DWORD expected, int tolerance = 12)
{
    return NearColor(actual, expected, tolerance);
}

struct Probe
{
    int x, y;
    DWORD rgb;
};

struct PaintCase
{
    const wchar_t *attributes;
    std::vector<Probe> probes;
};

TEST(ControlAttributesTable, EachAttributeChangesThePaintedPixels)
{
    const PaintCase cases[] = {
        {L"bkcolor=\" #FF00FF00\"", {{0, 0, 0x00FF00}, {99, 59, 0x00FF00}, {50, 30, 0x00FF00}}},
        {L"bkcolor1=\"FF0000FF\" bordercolor=\" #FFFF0000\" bordersize=\"1\"",
         {{0, 0, 0x0000FF}, {99, 59, 0x0000FF}}},
        {L"bordercolor=\"#FFFF0000\" bordersize=\"2\"",
         {{0, 0, 0xFF0000}, {1, 1, 0xFF0000}, {2, 2, kWhite}, {99, 59, 0xFF0000}}},
        {L"bordercolor=\"#FFFF0000\" bordersize=\"1,0,1,0\"",
         {{0, 30, 0xFF0000}, {99, 30, 0xFF0000}, {50, 0, kWhite}, {50, 59, kWhite}}},
        {L"bordercolor=\"#FFFF0000\" bordersize=\"0,0,0,1\"",
         {{50, 59, 0xFF0000}, {0, 30, kWhite}, {50, 0, kWhite}, {99, 30, kWhite}}},
        {L"bkcolor=\"#FF00FF00\" borderround=\"20,20\" bordersize=\"2,9,9,9\" "
         L"bordercolor=\"#FF0000FF\"",
         {{0, 0, kWhite}, {50, 0, 0x0000FF}, {50, 30, 0x00FF00}, {50, 3, 0x00FF00}}},
        {L"bkcolor=\"#FF000000\" bkcolor2=\"#FFFFFFFF\"",
         {{50, 0, 0x000000}, {50, 59, 0xFBFBFB}, {50, 30, 0x808080}}},
        {L"bkcolor=\"#FFFF0000\" bkcolor2=\"#FF00FF00\" bkcolor3=\"#FF0000FF\"",
         {{50, 0, 0xFF0000}, {50, 30, 0x00FF00}, {50, 59, 0x0000FF}}},
        {L"bkcolor=\"#80000000\"", {{0, 0, 0x7F7F7F}, {99, 59, 0x7F7F7F}}},
        {L"bkcolor=\"#FF00FF00\" colorhsl=\"true\"", {{50, 30, 0x00FF00}}},
        {L"bkimage=\"file='res\\grid.png' corner='4,4,4,4'\"",
         {{0, 0, 0xFF0000}, {99, 0, 0x00FF00}, {0, 59, 0x0000FF}, {99, 59, 0xFFFF00}}},
        {L"bkcolor=\"#FF00FF00\" bkimage=\"file='res\\grid.png' dest='10,10,22,22'\" "
         L"bordersize=\"1\" bordercolor=\"#FF0000FF\"",
         {{0, 0, 0x0000FF}, {5, 5, 0x00FF00}, {10, 10, 0xFF0000}, {21, 21, 0xFFFF00}}},
    };
    for (const PaintCase &c : cases) {
        TestWindow window(100, 60);
        auto *control = new CControlUI;
        window.Attach(control);
        CWindowManagerUI::SetResourcePath(ImageFixtureFolder().c_str());
        control->SetAttributeList(c.attributes);
        Pixels pixels = window.PaintTree(0xFFFFFFFF);
        for (const Probe &p : c.probes) {
            EXPECT_TRUE(Near(pixels.RgbAt(p.x, p.y), p.rgb))
                << testing::PrintToString(std::wstring(c.attributes)) << " at " << p.x << "," << p.y
                << std::hex << ": " << pixels.RgbAt(p.x, p.y);
        }
    }
}

TEST_F(ControlAttributes, FocusedControlsTakeTheFocusBorderColour)
{
    m_control->SetAttributeList(
        L"bordersize=\"1\" bordercolor=\"#FFFF0000\" focusbordercolor=\"#FF0000FF\"");
    EXPECT_EQ(m_window.PaintTree(0xFFFFFFFF).RgbAt(0, 0), 0xFF0000u);
    m_window.Manager().SetFocus(m_control, false);
    ASSERT_TRUE(m_control->IsFocused());
    EXPECT_EQ(m_window.PaintTree(0xFFFFFFFF).RgbAt(0, 0), 0x0000FFu);
}

TEST_F(ControlAttributes, TranslucentBackgroundsCoverTheWholeItemOnPartialRepaints)
{
    DibSurface surface(100, 60);
    m_control->SetAttribute(L"bkcolor", L"#80000000");
    m_control->Paint(surface.Dc(), RECT{0, 0, 50, 60}, nullptr);
    EXPECT_TRUE(Near(surface.Rgb(75, 30), 0x7F7F7F)) << std::hex << surface.Rgb(75, 30);

    surface.Fill(0xFFFFFFFF);
    m_control->SetAttribute(L"bkcolor", L"#FF000000");
    m_control->Paint(surface.Dc(), RECT{0, 0, 50, 60}, nullptr);
    EXPECT_EQ(surface.Rgb(25, 30), 0u);
    EXPECT_EQ(surface.Rgb(75, 30), kWhite) << "an opaque colour fills the paint area only";
}

TEST_F(ControlAttributes, GeometryAndStateAttributesSetTheirFields)
{
    CControlUI &c = *m_control;
    c.SetAttributeList(L"pos=\"10,10,110,40\" padding=\"1,2,3,4\" minwidth=\"20\" "
                       L"maxwidth=\"10\" minheight=\"5\" maxheight=\"50\" name=\"box\" "
                       L"text=\"hello\" tooltip=\"one<n>two\" userdata=\"data\" tag=\"-3\" "
                       L"enabled=\"false\" mouse=\"false\" keyboard=\"no\" shortcut=\"Kx\" "
                       L"menu=\"true\" extra=\"kept\"");
    EXPECT_EQ(c.GetFloatOffset().x, 10);
    EXPECT_EQ(c.GetFloatOffset().y, 10);
    EXPECT_EQ(c.GetFixedWidth(), 100);
    EXPECT_EQ(c.GetFixedHeight(), 30);
    EXPECT_EQ(c.GetPadding().bottom, 4);
    EXPECT_EQ(c.GetMinWidth(), 20);
    EXPECT_EQ(c.GetMaxWidth(), 20) << "the larger of max and min";
    EXPECT_EQ(c.GetMaxHeight(), 50);
    EXPECT_EQ(c.GetName(), L"box");
    EXPECT_EQ(c.GetText(), L"hello");
    EXPECT_EQ(c.GetToolTip(), L"one\r\ntwo");
    EXPECT_EQ(c.GetUserData(), L"data");
    EXPECT_EQ(c.GetTag(), static_cast<UINT_PTR>(static_cast<int>(-3)));
    EXPECT_FALSE(c.IsEnabled());
    EXPECT_FALSE(c.IsMouseEnabled());
    EXPECT_FALSE(c.IsKeyboardEnabled());
    EXPECT_EQ(c.GetShortcut(), L'K');
    EXPECT_TRUE(c.IsMenuEnabled());
    EXPECT_STREQ(c.GetCustomAttribute(L"extra"), L"kept");

    c.SetAttribute(L"pos", L"5,6");
    EXPECT_EQ(c.GetFloatOffset().x, 5);
    EXPECT_EQ(c.GetFixedWidth(), 100) << "a short list reads 0 for the rest: -5 is ignored";
    c.SetAttribute(L"width", L" 42px");
    EXPECT_EQ(c.GetFixedWidth(), 42);
    c.SetAttribute(L"float", L"true");
    EXPECT_TRUE(c.IsFloat());
    EXPECT_EQ(c.GetFloatRatios().left, 0.0);
    c.SetAttribute(L"float", L"0.5,0,0.5,0");
    EXPECT_EQ(c.GetFloatRatios().left, 0.5);
    EXPECT_EQ(c.GetFloatRatios().right, 0.5);
    c.SetAttribute(L"float", L"True");
    EXPECT_FALSE(c.IsFloat());
    c.SetAttribute(L"visible", L"false");
    EXPECT_FALSE(c.IsVisible());
    c.SetAttribute(L"virtualwnd", L"page");
    EXPECT_EQ(c.GetVirtualWnd(), L"page");
    EXPECT_TRUE(m_window.Manager().IsUsingVirtualWindows());
}

TEST_F(ControlAttributes, FloatingControlsTakeTheirBackgroundImageSize)
{
    m_control->SetAttribute(L"float", L"true");
    m_control->SetAttribute(L"bkimage", L"res\\grid.png");
    EXPECT_EQ(m_control->GetFixedWidth(), 12);
    EXPECT_EQ(m_control->GetFixedHeight(), 12);
    EXPECT_EQ(m_control->GetBkImage(), L"res\\grid.png");
}

TEST_F(ControlAttributes, AttributeListsStopAtTheFirstMalformedPair)
{
    struct Case
    {
        const wchar_t *list;
        const wchar_t *name;
        const wchar_t *text;
        const wchar_t *custom; // the attribute kept under the name " text", or null
    } cases[] = {
        {L"name=\"a\" text=\"b\"", L"a", L"b", nullptr},
        {L"name=\"a\"  text=\"b\"", L"a", L"", L"b"},
        {L"name=\"a\" text=b tooltip=\"c\"", L"a", L"", nullptr},
        {L"name=\"a\"text=\"b\"", L"a", L"", nullptr},
        {L"name=\"a\" ", L"a", L"", nullptr},
        {L"name=\"a", L"", L"", nullptr},
        {L"text=\"\U0001D11Ex\" name=\"\"", L"", L"\U0001D11Ex", nullptr},
    };
    for (const Case &c : cases) {
        CControlUI control;
        control.SetAttributeList(c.list);
        const std::string what = testing::PrintToString(std::wstring(c.list));
        EXPECT_EQ(control.GetName(), c.name) << what;
        EXPECT_EQ(control.GetText(), c.text) << what;
        const wchar_t *custom = control.GetCustomAttribute(L" text");
        if (c.custom == nullptr)
            EXPECT_EQ(custom, nullptr) << what;
        else
            EXPECT_STREQ(custom, c.custom) << what;
    }
}

TEST_F(ControlAttributes, ColourValuesSkipBlanksOnlyForBackgrounds)
{
    m_control->SetAttribute(L"bkcolor", L"\t #FF112233");
    EXPECT_EQ(m_control->GetBkColor(), 0xFF112233u);
    m_control->SetAttribute(L"bordercolor", L" #FF112233");
    EXPECT_EQ(m_control->GetBorderColor(), 0u);
    m_control->SetAttribute(L"focusbordercolor", L"#FF445566");
    EXPECT_EQ(m_control->GetFocusBorderColor(), 0xFF445566u);
    m_control->SetAttribute(L"borderstyle", L"2");
    EXPECT_EQ(m_control->GetBorderStyle(), 2);
    m_control->SetAttribute(L"borderround", L"6");
    EXPECT_EQ(m_control->GetBorderRound().cx, 6);
    EXPECT_EQ(m_control->GetBorderRound().cy, 0);
}

} // namespace
