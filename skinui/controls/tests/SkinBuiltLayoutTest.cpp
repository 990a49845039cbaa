#include "DialogBuilder.h"
#include "RectText.h"
#include "ScrollBarUI.h"
#include "TabLayoutUI.h"
#include "TestWindow.h"
#include "TreeText.h"

#include <gtest/gtest.h>

using namespace SkinUI;
using namespace SkinUI::Testing;

// The layouts as a skin describes them: the builder adds the children before it applies a
// container's attributes, so a tab layout's "selectedid" finds its pages and is announced
// while the skin is built, and the window's default list styles the bars a layout makes.
namespace {

const wchar_t kSkin[] =
    L"<Window size=\"200,200\">"
    L"<Default name=\"VScrollBar\" value=\"thumbcolor=&quot;#FF00FF00&quot;\" />"
    L"<VerticalLayout name=\"page\" vscrollbar=\"true\" bkcolor=\"#FFFFFFFF\">"
    L"<TabLayout name=\"tabs\" height=\"100\" selectedid=\"1\">"
    L"<Control name=\"first\" bkcolor=\"#FFFF0000\" />"
    L"<Control name=\"second\" bkcolor=\"#FF0000FF\" />"
    L"<Control name=\"third\" />"
    L"</TabLayout>"
    L"<HBox name=\"row\" height=\"300\" childpadding=\"10\">"
    L"<Control name=\"left\" width=\"50\" /><Control name=\"right\" />"
    L"</HBox>"
    L"</VerticalLayout>"
    L"</Window>";

TEST(SkinBuiltLayouts, SelectedPageAndScrollingComeFromTheSkin)
{
    TestWindow window(200, 200);
    CDialogBuilder builder;
    CControlUI *root = builder.CreateFromSource(kSkin, nullptr, nullptr, &window.Manager());
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(L"VerticalLayout:page[TabLayout:tabs[Control:first,Control:second,Control:third],"
              L"HorizontalLayout:row[Control:left,Control:right]]",
              TreeText(root));
    const std::vector<RecordingNotifier::Record> selected = window.Notifications().Of(L"tabselect");
    ASSERT_EQ(1u, selected.size()) << "announced while building";
    EXPECT_EQ(1u, selected[0].wParam);
    EXPECT_EQ(0, selected[0].lParam) << "the first page was current until then";

    window.Attach(root);
    auto *tabs = static_cast<CTabLayoutUI *>(window.Manager().FindControlByName(L"tabs"));
    ASSERT_NE(nullptr, tabs);
    EXPECT_EQ(1, tabs->GetCurSel());
    EXPECT_FALSE(window.Manager().FindControlByName(L"first")->IsVisible());
    EXPECT_FALSE(window.Manager().FindControlByName(L"third")->IsVisible());

    auto *page = static_cast<CContainerUI *>(root);
    CScrollBarUI *bar = page->GetVerticalScrollBar();
    ASSERT_NE(nullptr, bar);
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(200, bar->GetScrollRange()) << "400 pixels of rows in 200";
    EXPECT_EQ(RectText(RECT{60, 100, 184, 400}),
              RectText(window.Manager().FindControlByName(L"right")->GetPos()));

    const Pixels pixels = window.PaintTree();
    EXPECT_EQ(0x0000FFu, pixels.RgbAt(50, 50)) << "the selected page";
    EXPECT_EQ(0x00FF00u, pixels.RgbAt(192, 50)) << "the thumb styled by the window's list";
}

} // namespace
