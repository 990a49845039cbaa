#include "HorizontalLayoutUI.h"
#include "ProbeControl.h"
#include "RectText.h"
#include "ScrollBarUI.h"
#include "TestWindow.h"
#include "VerticalLayoutUI.h"

#include <gtest/gtest.h>

using namespace SkinUI;
using namespace SkinUI::Testing;

// Containers scrolling their children with their own bars: bars shown on overflow and
// hidden when the content fits, the step sizes, keys, wheel, and the bar's clicks, held
// buttons and thumb drags turned into the owner's scrolling.
namespace {

// A fresh manager hands out Windows timer ids from 17 on; a bar's repeat timer is the only
// timer of these windows.
const UINT kRepeatTimer = 17;

// A 200 x 200 vertical layout with a vertical bar over the whole window.
class ScrollingLayout : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_layout->SetAttribute(L"vscrollbar", L"true");
        m_window.Attach(m_layout);
    }

    ProbeControl *AddRow(int height, int width = 0)
    {
        auto *row = new ProbeControl(nullptr, 0xFFFF0000);
        row->SetFixedHeight(height);
        row->SetFixedWidth(width);
        m_layout->Add(row);
        return row;
    }

    void AddRows(int count, int height)
    {
        for (int i = 0; i < count; ++i)
            AddRow(height);
    }

    void Layout() { m_layout->SetPos(RECT{0, 0, 200, 200}, false); }
    CScrollBarUI &Bar() { return *m_layout->GetVerticalScrollBar(); }
    int Position() { return m_layout->GetScrollPos().cy; }
    int FirstRowTop() { return m_layout->GetItemAt(0)->GetPos().top; }
    int FontLine() { return m_window.Manager().GetDefaultFontInfo()->metrics.tmHeight + 8; }

    TestWindow m_window{200, 200};
    CVerticalLayoutUI *m_layout = new CVerticalLayoutUI;
};

TEST_F(ScrollingLayout, BarAppearsOnOverflowAndGoesWhenTheContentFits)
{
    AddRows(3, 100);
    Layout();
    ASSERT_TRUE(Bar().IsVisible());
    EXPECT_EQ(100, Bar().GetScrollRange());
    EXPECT_EQ(RectText(RECT{184, 0, 200, 200}), RectText(Bar().GetPos()));
    EXPECT_EQ(RectText(RECT{0, 200, 184, 300}), RectText(m_layout->GetItemAt(2)->GetPos()))
        << "the rows leave the bar's width free";

    m_layout->SetScrollPos(SIZE{0, 60});
    EXPECT_EQ(-60, FirstRowTop());
    Layout();
    EXPECT_EQ(-60, FirstRowTop()) << "a layout keeps the position";

    for (int i = 0; i < 3; ++i)
        m_layout->GetItemAt(i)->SetFixedHeight(50);
    Layout();
    EXPECT_FALSE(Bar().IsVisible());
    EXPECT_EQ(0, Bar().GetScrollPos());
    EXPECT_EQ(0, Bar().GetScrollRange());
    EXPECT_EQ(RectText(RECT{0, 0, 200, 50}), RectText(m_layout->GetItemAt(0)->GetPos()));

    m_layout->SetScrollPos(SIZE{0, 30});
    EXPECT_EQ(0, FirstRowTop()) << "a hidden bar scrolls nothing";
    EXPECT_EQ(0, Position());
}

TEST_F(ScrollingLayout, LinesFollowTheDefaultFontOrTheScrollUnit)
{
    AddRows(5, 100);
    Layout();
    m_layout->LineDown();
    EXPECT_EQ(FontLine(), Position());
    EXPECT_EQ(-FontLine(), FirstRowTop());
    m_layout->LineUp();
    EXPECT_EQ(0, Position());

    Bar().SetAttribute(L"scrollunit", L"30");
    m_layout->LineDown();
    EXPECT_EQ(30, Position());
    Bar().SetAttribute(L"scrollunit", L"1");
    m_layout->LineDown();
    EXPECT_EQ(30 + FontLine(), Position()) << "a unit of 1 keeps the font's line";

    CVerticalLayoutUI unbound;
    unbound.EnableScrollBar(true, false);
    for (int i = 0; i < 3; ++i) {
        auto *row = new CControlUI;
        row->SetFixedHeight(100);
        unbound.Add(row);
    }
    unbound.SetPos(RECT{0, 0, 100, 100}, false);
    unbound.LineDown();
    EXPECT_EQ(8, unbound.GetScrollPos().cy) << "without a window there is no font";
}

TEST_F(ScrollingLayout, KeysScrollTheFocusedContainer)
{
    AddRows(5, 100); // range 300
    Layout();
    m_window.Manager().SetFocus(m_layout, false);
    const struct
    {
        WPARAM key;
        int expected;
    } presses[] = {{VK_NEXT, 200},        {VK_END, 300}, {VK_PRIOR, 100}, {VK_HOME, 0},
                   {VK_DOWN, FontLine()}, {VK_UP, 0},    {VK_LEFT, 0}};
    for (const auto &press : presses) {
        m_window.KeyDown(press.key);
        EXPECT_EQ(press.expected, Position()) << "key " << press.key;
        EXPECT_EQ(-press.expected, FirstRowTop()) << "key " << press.key;
    }

    m_layout->SetKeyboardEnabled(false);
    m_window.KeyDown(VK_END);
    EXPECT_EQ(0, Position()) << "keys need a keyboard-enabled container";
}

TEST(ContainerScrolling, WithOnlyAHorizontalBarTheKeysScrollSideways)
{
    TestWindow window(200, 200);
    auto *layout = new CHorizontalLayoutUI;
    layout->SetAttribute(L"hscrollbar", L"true");
    window.Attach(layout);
    for (int i = 0; i < 5; ++i) {
        auto *column = new CControlUI;
        column->SetFixedWidth(100);
        layout->Add(column);
    }
    layout->SetPos(RECT{0, 0, 200, 200}, false);
    ASSERT_EQ(300, layout->GetScrollRange().cx);
    window.Manager().SetFocus(layout, false);
    const struct
    {
        WPARAM key;
        int expected;
    } presses[] = {{VK_END, 300}, {VK_HOME, 0}, {VK_DOWN, 8}, {VK_UP, 0}, {VK_NEXT, 200}};
    for (const auto &press : presses) {
        window.KeyDown(press.key);
        EXPECT_EQ(press.expected, layout->GetScrollPos().cx) << "key " << press.key;
        EXPECT_EQ(-press.expected, layout->GetItemAt(0)->GetPos().left) << "key " << press.key;
    }
}

TEST_F(ScrollingLayout, WheelScrollsSidewaysOverTheHorizontalBar)
{
    m_layout->SetAttribute(L"hscrollbar", L"true");
    for (int i = 0; i < 3; ++i)
        AddRow(100, 400);
    Layout();
    ASSERT_EQ(216, m_layout->GetScrollRange().cx) << "the vertical bar narrows the view";
    ASSERT_EQ(116, m_layout->GetScrollRange().cy) << "the horizontal bar lowers it";

    m_window.Wheel(100, 192, -120); // over the horizontal bar, turned down
    EXPECT_EQ(8, m_layout->GetScrollPos().cx);
    EXPECT_EQ(0, Position());
    m_window.Wheel(100, 100, -120);
    EXPECT_EQ(FontLine(), Position());
    m_window.Wheel(100, 100, 120);
    EXPECT_EQ(0, Position());
    EXPECT_EQ(8, m_layout->GetScrollPos().cx);
}

TEST_F(ScrollingLayout, ThumbDragsAndHeldButtonsScrollTheOwner)
{
    AddRows(5, 100); // range 300; thumb 200 * 168 / 500 = 67 long below the first button
    Layout();
    ASSERT_EQ(RectText(RECT{184, 16, 200, 83}), RectText(Bar().GetThumbRect()));

    m_window.LeftDown(192, 40);
    EXPECT_EQ(m_layout, m_window.Manager().GetFocus()) << "the owner takes the focus";
    m_window.MouseMove(192, 90, MK_LBUTTON);
    m_window.Tick(kRepeatTimer);
    const int dragged = 50 * 300 / (200 - 67 - 32);
    EXPECT_EQ(dragged, Position());
    EXPECT_EQ(-dragged, FirstRowTop());
    m_window.LeftUp(192, 90);

    m_window.LeftDown(192, 195);
    EXPECT_EQ(dragged + FontLine(), Position()) << "a line at once";
    for (int i = 0; i < 6; ++i)
        m_window.Tick(kRepeatTimer);
    EXPECT_EQ(dragged + 2 * FontLine(), Position()) << "and another at the sixth tick";
    m_window.LeftUp(192, 195);
    EXPECT_EQ(-Position(), FirstRowTop());
}

TEST_F(ScrollingLayout, HidingTheHorizontalBarBringsScrolledChildrenBack)
{
    m_layout->SetAttribute(L"hscrollbar", L"true");
    AddRow(100, 400);
    Layout();
    CScrollBarUI &horizontal = *m_layout->GetHorizontalScrollBar();
    ASSERT_TRUE(horizontal.IsVisible());
    ASSERT_FALSE(Bar().IsVisible());
    ASSERT_EQ(200, horizontal.GetScrollRange());
    m_layout->SetScrollPos(SIZE{200, 0});
    EXPECT_EQ(-200, m_layout->GetItemAt(0)->GetPos().left);

    m_layout->SetPos(RECT{0, 0, 450, 200}, false);
    EXPECT_FALSE(horizontal.IsVisible());
    EXPECT_EQ(0, m_layout->GetItemAt(0)->GetPos().left) << "no bar left to scroll it back";
}

TEST(ContainerScrolling, BarsTakeTheirStyleAndPaintOverClippedChildren)
{
    TestWindow window(200, 200);
    window.Manager().AddDefaultAttributeList(L"VScrollBar", L"width=\"12\" showbutton1=\"false\"");
    auto *layout = new CVerticalLayoutUI;
    window.Attach(layout);
    layout->SetAttribute(L"vscrollbarstyle", L"thumbcolor=\"#FF00FF00\" showbutton2=\"false\"");
    CScrollBarUI *bar = layout->GetVerticalScrollBar();
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(bar, bar->GetInterface(L"ScrollBar"));
    EXPECT_EQ(12, bar->GetFixedWidth()) << "the window's default list for the class";
    EXPECT_FALSE(bar->IsShowButton1());
    EXPECT_FALSE(bar->IsShowButton2());

    for (int i = 0; i < 2; ++i) {
        auto *row = new ProbeControl(nullptr, 0xFFFF0000);
        row->SetFixedHeight(200);
        layout->Add(row);
    }
    layout->SetPos(RECT{0, 0, 200, 200}, false);
    ASSERT_EQ(RectText(RECT{188, 0, 200, 100}), RectText(bar->GetThumbRect()));
    const Pixels pixels = window.PaintTree(0xFF000000);
    EXPECT_EQ(0xFF0000u, pixels.RgbAt(100, 150));
    EXPECT_EQ(0x00FF00u, pixels.RgbAt(194, 50)) << "thumb";
    EXPECT_EQ(0x000000u, pixels.RgbAt(194, 150)) << "the rows stay out of the bar";
}

} // namespace
