#include "TileLayoutUI.h"

#include "ProbeControl.h"
#include "ScrollBarUI.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::Testing;

// The tile layout as the root of the shared test window: the cell of every child, the
// columns and gaps, and the extent the grid needs as the scroll bars show it.
namespace {

const int kBar = CScrollBarUI::kDefaultThickness;

std::vector<LONG> Corners(const RECT &rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}

struct TileWindow
{
    TileWindow(int width, int height, const wchar_t *attributes, int children)
        : window(width, height)
    {
        layout->SetAttributeList(attributes);
        for (int i = 0; i < children; ++i) {
            auto *child = new ProbeControl((L"c" + std::to_wstring(i)).c_str());
            layout->Add(child);
            probes.push_back(child);
        }
        window.Attach(layout);
    }

    void Relayout() { layout->SetPos(layout->GetPos(), false); }
    std::vector<LONG> CellOf(int index) const { return Corners(probes[index]->GetPos()); }
    int VerticalRange() const { return RangeOf(layout->GetVerticalScrollBar()); }
    int HorizontalRange() const { return RangeOf(layout->GetHorizontalScrollBar()); }
    static int RangeOf(const CScrollBarUI *bar)
    {
        return bar != nullptr && bar->IsVisible() ? bar->GetScrollRange() : -1;
    }

    TestWindow window;
    CTileLayoutUI *layout = new CTileLayoutUI;
    std::vector<ProbeControl *> probes;
};

TEST(TileLayout, ClassInterfacesAndDefaults)
{
    CTileLayoutUI layout;
    EXPECT_STREQ(layout.GetClass(), L"TileLayout");
    EXPECT_EQ(layout.GetInterface(L"TileLayout"), &layout);
    EXPECT_EQ(layout.GetInterface(L"Container"), static_cast<CContainerUI *>(&layout));
    EXPECT_NE(layout.GetInterface(L"IContainer"), nullptr);
    EXPECT_EQ(80, layout.GetItemSize().cx);
    EXPECT_EQ(80, layout.GetItemSize().cy);
    EXPECT_EQ(0, layout.GetColumns());
}

TEST(TileLayout, AutomaticColumnsSpreadTheFreeWidthBetweenThem)
{
    // 250 pixels of content beside a vertical bar: 3 columns 5 apart, 7 children in 3 rows
    // that need 240 of the 200 shown.
    TileWindow w(250 + kBar, 200, L"vscrollbar=\"true\"", 7);
    EXPECT_EQ(40, w.VerticalRange());
    EXPECT_EQ((std::vector<LONG>{0, 0, 80, 80}), w.CellOf(0));
    EXPECT_EQ((std::vector<LONG>{85, 0, 165, 80}), w.CellOf(1));
    EXPECT_EQ((std::vector<LONG>{170, 0, 250, 80}), w.CellOf(2));
    EXPECT_EQ((std::vector<LONG>{0, 80, 80, 160}), w.CellOf(3));
    EXPECT_EQ((std::vector<LONG>{0, 160, 80, 240}), w.CellOf(6));

    // Scrolled down by 40, every cell moves up with the content.
    w.layout->SetScrollPos(SIZE{0, 40});
    w.Relayout();
    EXPECT_EQ((std::vector<LONG>{85, -40, 165, 40}), w.CellOf(1));
}

TEST(TileLayout, FixedColumnsAndGaps)
{
    struct Case
    {
        const wchar_t *what;
        int width;
        const wchar_t *attributes;
        int children;
        int child;
        std::vector<LONG> cell;
        int horizontalRange;
        int verticalRange;
    };
    const Case cases[] = {
        {L"two columns 10 apart: 1 gap and 2 items wide, three rows",
         150,
         L"columns=\"2\" childpadding=\"10\" hscrollbar=\"true\" vscrollbar=\"true\"",
         5,
         4,
         {0, 160, 80, 240},
         170 - 150,
         -1},
        {L"no padding: the free width spread",
         200,
         L"columns=\"2\"",
         5,
         3,
         {120, 80, 200, 160},
         -1,
         -1},
        {L"fewer children than columns need only their own width",
         100,
         L"columns=\"3\" childpadding=\"4\" hscrollbar=\"true\"",
         2,
         1,
         {84, 0, 164, 80},
         164 - 100,
         -1},
        {L"a gap between rows",
         200,
         L"columns=\"1\" childvpadding=\"10\"",
         3,
         2,
         {0, 180, 80, 260},
         -1,
         -1},
        {L"a negative row gap is none",
         200,
         L"columns=\"1\" childvpadding=\"-5\"",
         3,
         2,
         {0, 160, 80, 240},
         -1,
         -1},
        {L"negative columns are ignored",
         200,
         L"columns=\"1\" columns=\"-3\"",
         3,
         2,
         {0, 160, 80, 240},
         -1,
         -1},
        {L"narrower than one item: one column, one item wide",
         50,
         L"hscrollbar=\"true\"",
         2,
         1,
         {0, 80, 80, 160},
         30,
         -1},
        {L"an item width of 0 still makes one column",
         200,
         L"itemsize=\"0,20\"",
         3,
         2,
         {0, 40, 0, 60},
         -1,
         -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TileWindow w(c.width, 300, c.attributes, c.children);
        EXPECT_EQ(c.cell, w.CellOf(c.child));
        EXPECT_EQ(c.horizontalRange, w.HorizontalRange());
        EXPECT_EQ(c.verticalRange, w.VerticalRange());
    }
}

TEST(TileLayout, HiddenAndFloatingChildrenLeaveTheirCellsEmpty)
{
    TileWindow w(250, 300, L"", 4);
    w.probes[1]->SetVisible(false);
    w.probes[2]->SetFloat(true);
    w.Relayout();
    EXPECT_EQ((std::vector<LONG>{0, 0, 80, 80}), w.CellOf(0));
    EXPECT_EQ((std::vector<LONG>{0, 80, 80, 160}), w.CellOf(3)) << "the fourth cell";
}

TEST(TileLayout, ChildrenAlignInTheirCellsWithinTheirLimitsAndPaddings)
{
    struct Case
    {
        const wchar_t *align;
        std::vector<LONG> cell;
    };
    // A child at most 40 x 30 in an 80 x 80 cell.
    const Case cases[] = {
        {L"", {0, 0, 40, 30}},
        {L"childalign=\"center\" childvalign=\"vcenter\"", {20, 25, 60, 55}},
        {L"childalign=\"right\" childvalign=\"bottom\"", {40, 50, 80, 80}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.align);
        TileWindow w(250, 300, c.align, 1);
        w.probes[0]->SetMaxWidth(40);
        w.probes[0]->SetMaxHeight(30);
        w.Relayout();
        EXPECT_EQ(c.cell, w.CellOf(0));
    }

    // Paddings shrink the child and are taken off at its edges as well.
    TileWindow padded(250, 300, L"", 1);
    padded.probes[0]->SetPadding(RECT{5, 6, 7, 8});
    padded.Relayout();
    EXPECT_EQ((std::vector<LONG>{5, 6, 68 - 7, 66 - 8}), padded.CellOf(0));
}

TEST(TileLayout, AnUnchangedItemSizeAsksForNoLayout)
{
    TileWindow w(250, 300, L"", 1);
    w.window.PaintWindow();
    w.layout->SetAttribute(L"itemsize", L"80,80");
    EXPECT_FALSE(w.layout->NeedsLayout());
    w.layout->SetAttribute(L"itemsize", L"60,80");
    EXPECT_TRUE(w.layout->NeedsLayout());
}

} // namespace

namespace {

TEST(TileLayout, BuiltFromASkin)
{
    TestWindow window{200, 100};
    window.AttachSkin(L"<Window><TileLayout name=\"tiles\" itemsize=\"50,40\" columns=\"3\" "
                      L"childpadding=\"5\" childvpadding=\"2\"><Control name=\"c0\" />"
                      L"<Control name=\"c1\" /><Control name=\"c2\" /><Control name=\"c3\" />"
                      L"</TileLayout></Window>");
    CControlUI *tiles = window.Manager().FindControlByName(L"tiles");
    ASSERT_NE(nullptr, tiles);
    EXPECT_STREQ(L"TileLayout", tiles->GetClass());
    EXPECT_EQ((std::vector<LONG>{110, 0, 160, 40}),
              Corners(window.Manager().FindControlByName(L"c2")->GetPos()));
    EXPECT_EQ((std::vector<LONG>{0, 42, 50, 82}),
              Corners(window.Manager().FindControlByName(L"c3")->GetPos()));
}

} // namespace
