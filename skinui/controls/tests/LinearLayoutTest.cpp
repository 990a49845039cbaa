#include "DibSurface.h"
#include "HorizontalLayoutUI.h"
#include "ProbeControl.h"
#include "RectText.h"
#include "TestWindow.h"
#include "VerticalLayoutUI.h"

#include <gtest/gtest.h>

#include <vector>

using namespace SkinUI;
using namespace SkinUI::Testing;

// The vertical and horizontal layouts: fixed, stretching and bounded children, paddings,
// insets and alignment, what makes a child stretch, and the separators that resize.
namespace {

const DWORD kBlue = 0xFF0000FF;

struct LayoutCase
{
    const char *what;
    bool horizontal;
    const wchar_t *layout;                 // attribute list of the layout
    std::vector<const wchar_t *> children; // attribute list of each child
    SIZE size;                             // the layout's size, placed at (0, 0)
    std::vector<RECT> expected;            // each child's rectangle
};

TEST(LinearLayout, ChildrenGetTheirLengthOrShareTheRest)
{
    const LayoutCase cases[] = {
        {"fixed, stretching and fixed with child padding",
         false,
         L"childpadding=\"5\"",
         {L"height=\"20\"", L"", L"height=\"30\""},
         {100, 100},
         {{0, 0, 100, 20}, {0, 25, 100, 65}, {0, 70, 100, 100}}},
        {"the last stretching child takes the rounding rest",
         false,
         L"",
         {L"", L""},
         {100, 101},
         {{0, 0, 100, 50}, {0, 50, 100, 101}}},
        {"fixed lengths beyond the area leave stretching children their minimum",
         false,
         L"",
         {L"height=\"80\"", L"height=\"40\"", L"minheight=\"10\""},
         {100, 100},
         {{0, 0, 100, 80}, {0, 80, 100, 120}, {0, 120, 100, 130}}},
        {"a bounded share leaves the rest to the last",
         false,
         L"",
         {L"maxheight=\"30\"", L""},
         {100, 100},
         {{0, 0, 100, 30}, {0, 30, 100, 100}}},
        {"a minimum raises a share",
         false,
         L"",
         {L"minheight=\"70\"", L"", L""},
         {100, 100},
         {{0, 0, 100, 70}, {0, 70, 100, 103}, {0, 103, 100, 103}}},
        {"inset and paddings",
         false,
         L"inset=\"10,5,10,5\"",
         {L"height=\"20\" padding=\"3,2,4,1\"", L""},
         {100, 100},
         {{13, 7, 86, 27}, {10, 28, 90, 95}}},
        {"fixed width, limited width",
         false,
         L"",
         {L"width=\"40\" height=\"10\"", L"maxwidth=\"60\" height=\"10\"",
          L"width=\"150\" height=\"10\""},
         {100, 100},
         {{0, 0, 40, 10}, {0, 10, 60, 20}, {0, 20, 100, 30}}},
        {"centred across",
         false,
         L"childalign=\"center\"",
         {L"width=\"40\" height=\"20\""},
         {100, 100},
         {{30, 0, 70, 20}}},
        {"at the right edge",
         false,
         L"childalign=\"right\"",
         {L"width=\"40\" height=\"20\" padding=\"0,0,5,0\""},
         {100, 100},
         {{55, 0, 95, 20}}},
        {"hidden children take no room, floating ones lie where they float",
         false,
         L"",
         {L"height=\"20\" visible=\"false\"", L"height=\"30\"",
          L"float=\"true\" pos=\"5,5,25,15\""},
         {100, 100},
         {{0, 0, 0, 0}, {0, 0, 100, 30}, {5, 5, 25, 15}}},
        {"horizontal: fixed, stretching and fixed with child padding",
         true,
         L"childpadding=\"5\"",
         {L"width=\"20\"", L"", L"width=\"30\""},
         {100, 100},
         {{0, 0, 20, 100}, {25, 0, 65, 100}, {70, 0, 100, 100}}},
        {"horizontal: inset, paddings and bounds",
         true,
         L"inset=\"5,10,5,10\"",
         {L"width=\"20\" padding=\"2,3,1,4\"", L"maxwidth=\"30\"", L""},
         {100, 100},
         {{7, 13, 27, 86}, {28, 10, 58, 90}, {58, 10, 95, 90}}},
        {"horizontal: centred and at the bottom",
         true,
         L"childvalign=\"vcenter\"",
         {L"width=\"20\" height=\"40\""},
         {100, 100},
         {{0, 30, 20, 70}}},
        {"horizontal: at the bottom",
         true,
         L"childvalign=\"bottom\"",
         {L"width=\"20\" height=\"40\" padding=\"0,0,0,5\""},
         {100, 100},
         {{0, 55, 20, 95}}},
    };
    TestWindow window(200, 200);
    auto *root = new CContainerUI;
    window.Attach(root);
    for (const LayoutCase &c : cases) {
        CLinearLayoutUI *layout = c.horizontal
                                      ? static_cast<CLinearLayoutUI *>(new CHorizontalLayoutUI)
                                      : new CVerticalLayoutUI;
        layout->SetAttributeList(c.layout);
        root->Add(layout);
        for (const wchar_t *attributes : c.children) {
            auto *child = new CControlUI;
            child->SetAttributeList(attributes);
            layout->Add(child);
        }
        layout->SetPos(RECT{0, 0, c.size.cx, c.size.cy}, false);
        ASSERT_EQ(c.expected.size(), static_cast<size_t>(layout->GetCount())) << c.what;
        for (size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_EQ(RectText(c.expected[i]),
                      RectText(layout->GetItemAt(static_cast<int>(i))->GetPos()))
                << c.what << ", child " << i;
        root->Remove(layout);
    }
}

// A child that desires a size of its own without a fixed one, as a label sized by its text.
class DesiringControl : public CControlUI
{
public:
    SIZE GetDesiredSize(SIZE) override { return SIZE{30, 40}; }
};

TEST(LinearLayout, HorizontalLayoutsStretchEveryChildWithoutAFixedWidth)
{
    CVerticalLayoutUI vertical;
    vertical.Add(new DesiringControl);
    vertical.Add(new CControlUI);
    vertical.SetPos(RECT{0, 0, 100, 100}, false);
    EXPECT_EQ(40, vertical.GetItemAt(0)->GetHeight()) << "the desired height is its own";
    EXPECT_EQ(60, vertical.GetItemAt(1)->GetHeight());

    CHorizontalLayoutUI horizontal;
    horizontal.Add(new DesiringControl);
    horizontal.Add(new CControlUI);
    horizontal.SetPos(RECT{0, 0, 100, 100}, false);
    EXPECT_EQ(50, horizontal.GetItemAt(0)->GetWidth()) << "the desired width is not";
    EXPECT_EQ(50, horizontal.GetItemAt(1)->GetWidth());

    EXPECT_STREQ(L"VerticalLayout", vertical.GetClass());
    EXPECT_EQ(&vertical, vertical.GetInterface(L"VerticalLayout"));
    EXPECT_EQ(static_cast<CControlUI *>(&vertical), vertical.GetInterface(L"Container"));
    EXPECT_EQ(nullptr, vertical.GetInterface(L"HorizontalLayout"));
    EXPECT_STREQ(L"HorizontalLayout", horizontal.GetClass());
    EXPECT_EQ(&horizontal, horizontal.GetInterface(L"HorizontalLayout"));
}

TEST(LinearLayout, SeparatorBandsLieAtTheChosenEdge)
{
    const struct
    {
        bool horizontal;
        const wchar_t *size;
        RECT rect;
        RECT expected;
    } cases[] = {
        {false, L"4", {0, 0, 200, 100}, {0, 96, 200, 100}},
        {false, L"-4", {0, 0, 200, 100}, {0, 0, 200, 4}},
        {false, L"10", {0, 0, 200, 3}, {0, 0, 200, 3}},
        {false, L"-10", {0, 0, 200, 3}, {0, 0, 200, 3}},
        {true, L"4", {0, 0, 200, 100}, {196, 0, 200, 100}},
        {true, L"-4", {0, 0, 200, 100}, {0, 0, 4, 100}},
        {true, L"10", {0, 0, 3, 100}, {-7, 0, 3, 100}},
        {true, L"-10", {0, 0, 3, 100}, {0, 0, 10, 100}},
    };
    for (const auto &c : cases) {
        CVerticalLayoutUI vertical;
        CHorizontalLayoutUI horizontal;
        CLinearLayoutUI &layout =
            c.horizontal ? static_cast<CLinearLayoutUI &>(horizontal) : vertical;
        EXPECT_EQ(0u, layout.GetBehaviorFlags()) << "no separator, no cursor of its own";
        layout.SetAttribute(c.horizontal ? L"sepwidth" : L"sepheight", c.size);
        layout.SetPos(c.rect, false);
        EXPECT_EQ(RectText(c.expected), RectText(layout.GetSeparatorRect(false)))
            << (c.horizontal ? "horizontal " : "vertical ") << testing::PrintToString(c.size);
        EXPECT_EQ(static_cast<UINT>(BehaviorSetCursor), layout.GetBehaviorFlags());
    }
}

// A 200 x 200 window: a layout of 100 pixels with a separator, and a blue one that takes
// the rest.
class Separator : public ::testing::Test
{
protected:
    void Build(bool horizontal, const wchar_t *attributes)
    {
        m_root = horizontal ? static_cast<CLinearLayoutUI *>(new CHorizontalLayoutUI)
                            : new CVerticalLayoutUI;
        m_root->SetAttribute(L"bkcolor", L"#FFFFFFFF");
        m_sized = horizontal ? static_cast<CLinearLayoutUI *>(new CHorizontalLayoutUI)
                             : new CVerticalLayoutUI;
        m_sized->SetAttributeList(attributes);
        m_rest = new ProbeControl(L"rest", kBlue);
        if (horizontal) {
            m_root->Add(m_rest);
            m_root->Add(m_sized);
        } else {
            m_root->Add(m_sized);
            m_root->Add(m_rest);
        }
        m_window.Attach(m_root);
    }

    // Moves the mouse one pixel at a time, as a slow hand does.
    void SlowDrag(int fromX, int fromY, int toX, int toY)
    {
        int x = fromX;
        int y = fromY;
        while (x != toX || y != toY) {
            x += x < toX ? 1 : x > toX ? -1 : 0;
            y += y < toY ? 1 : y > toY ? -1 : 0;
            m_window.MouseMove(x, y, MK_LBUTTON);
        }
    }

    void Relayout() { m_root->SetPos(RECT{0, 0, 200, 200}, false); }

    TestWindow m_window{200, 200};
    CLinearLayoutUI *m_root = nullptr;
    CLinearLayoutUI *m_sized = nullptr;
    ProbeControl *m_rest = nullptr;
};

TEST_F(Separator, DragShowsWhereTheEdgeGoesAndCommitsOnRelease)
{
    Build(false, L"height=\"100\" sepheight=\"4\"");
    m_window.LeftDown(50, 98);
    ASSERT_TRUE(m_sized->IsDragging());
    SlowDrag(50, 98, 50, 130);
    EXPECT_EQ(132, m_sized->GetFixedHeight()) << "the edge keeps its distance to the mouse";
    EXPECT_EQ(100, m_sized->GetHeight()) << "the layout waits for the release";

    // The band lies over the blue layout below, which has not moved yet.
    const Pixels preview = m_window.PaintWindow();
    EXPECT_TRUE(NearColor(preview.RgbAt(50, 130), 0x000055, 3))
        << std::hex << preview.RgbAt(50, 130) << ": a translucent black band";
    EXPECT_EQ(0x0000FFu, preview.RgbAt(50, 120));
    EXPECT_EQ(0x0000FFu, preview.RgbAt(50, 135));

    m_window.LeftUp(50, 130);
    EXPECT_FALSE(m_sized->IsDragging());
    Relayout();
    EXPECT_EQ(RectText(RECT{0, 0, 200, 132}), RectText(m_sized->GetPos()));
    EXPECT_EQ(RectText(RECT{0, 132, 200, 200}), RectText(m_rest->GetPos()));
    const Pixels committed = m_window.PaintWindow();
    EXPECT_EQ(0xFFFFFFu, committed.RgbAt(50, 130)) << "no band after the release";
    EXPECT_EQ(0x0000FFu, committed.RgbAt(50, 140));
}

TEST_F(Separator, DragStopsAtTheMinimumAndWaitsForTheMouse)
{
    Build(false, L"height=\"100\" sepheight=\"4\" minheight=\"80\"");
    m_window.LeftDown(50, 98);
    SlowDrag(50, 98, 50, 40);
    EXPECT_EQ(80, m_sized->GetFixedHeight());
    SlowDrag(50, 40, 50, 70);
    EXPECT_EQ(80, m_sized->GetFixedHeight()) << "the mouse has not reached the edge";
    m_window.LeftUp(50, 70);
    Relayout();
    EXPECT_EQ(80, m_sized->GetHeight());
}

TEST_F(Separator, ImmediateLayoutsFollowEveryMove)
{
    Build(false, L"height=\"100\" sepheight=\"-4\" sepimm=\"true\"");
    // The band is at the top edge of the first child, the top of the window.
    m_window.LeftDown(50, 2);
    ASSERT_TRUE(m_sized->IsDragging());
    SlowDrag(50, 2, 50, 12);
    EXPECT_EQ(90, m_sized->GetFixedHeight());
    EXPECT_EQ(RectText(RECT{0, 10, 200, 100}), RectText(m_sized->GetPos())) << "at once";
    m_window.LeftUp(50, 12);
}

TEST_F(Separator, HorizontalLayoutsDragTheirLeftEdge)
{
    Build(true, L"width=\"100\" sepwidth=\"-4\"");
    Relayout();
    ASSERT_EQ(RectText(RECT{100, 0, 200, 200}), RectText(m_sized->GetPos()));
    m_window.LeftDown(102, 50);
    SlowDrag(102, 50, 80, 50);
    EXPECT_EQ(122, m_sized->GetFixedWidth());
    m_window.LeftUp(80, 50);
    Relayout();
    EXPECT_EQ(RectText(RECT{0, 0, 78, 200}), RectText(m_rest->GetPos()));
    EXPECT_EQ(RectText(RECT{78, 0, 200, 200}), RectText(m_sized->GetPos()));
}

} // namespace
