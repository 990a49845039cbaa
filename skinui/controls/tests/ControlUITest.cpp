#include "ControlUI.h"
#include "ProbeControl.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <vector>

using namespace SkinUI;
using namespace SkinUI::Testing;

TEST(ControlUI, SizeRulesIgnoreNegativeAndUnchangedValues)
{
    CControlUI control;
    control.SetMaxWidth(10);
    control.SetMinWidth(20);
    EXPECT_EQ(20, control.GetMaxWidth()) << "the larger of max and min";
    control.SetFixedWidth(30);
    control.SetFixedWidth(-1);
    EXPECT_EQ(30, control.GetFixedWidth());
    control.SetMinHeight(-5);
    EXPECT_EQ(0, control.GetMinHeight());
    EXPECT_EQ(9999, control.GetMaxHeight());
    EXPECT_STREQ(L"Control", control.GetClass());
    EXPECT_EQ(&control, control.GetInterface(L"Control"));
    EXPECT_EQ(nullptr, control.GetInterface(L"control"));
    SIZE desired = control.GetDesiredSize(SIZE{500, 500});
    EXPECT_EQ(30, desired.cx);

    control.SetToolTip(L"first<n>second");
    EXPECT_STREQ(L"first\r\nsecond", control.GetToolTip().GetData());
    control.StoreCustomAttribute(L"custom", L"one");
    control.StoreCustomAttribute(L"custom", L"two");
    control.StoreCustomAttribute(L"empty", L"");
    EXPECT_STREQ(L"one", control.GetCustomAttribute(L"custom"));
    EXPECT_EQ(nullptr, control.GetCustomAttribute(L"empty"));
}

TEST(ControlUI, FloatingControlsDeriveTheirPlacementFromThePositionGiven)
{
    TestWindow window;
    auto *root = new ProbeParent(L"root");
    auto *floating = new ProbeControl(L"floating");
    root->Add(floating, RECT{0, 0, 10, 10});
    window.Attach(root);
    root->SetPos(RECT{100, 50, 300, 150}, false);

    floating->SetFloat(true);
    floating->SetFloatRatios(FloatRatios{0.5, 0.0, 0.5, 0.0});
    floating->SetPos(RECT{110, 20, 140, 40}, false);
    EXPECT_EQ(210, floating->GetPos().left) << "relative to the parent";
    EXPECT_EQ(70, floating->GetPos().top);
    EXPECT_EQ(10, floating->GetFloatOffset().x); // 110 - 0.5 * 200
    EXPECT_EQ(30, floating->GetFixedWidth());    // 140 - 10 - 0.5 * 200
    RECT relative = floating->GetRelativePos();
    EXPECT_EQ(110, relative.left);

    CControlUI orphan;
    orphan.SetPos(RECT{1, 2, 3, 4}, false);
    orphan.SetFloat(true);
    orphan.SetPos(RECT{50, 50, 60, 60}, false);
    EXPECT_EQ(1, orphan.GetPos().left) << "a floating control without parent stays";
    orphan.SetPos(RECT{0, 0, -5, -5}, false);
    EXPECT_EQ(1, orphan.GetPos().left);
}

TEST(ControlUI, SearchOrderVisitsTheCoverBeforeOrAfterTheControl)
{
    std::vector<CControlUI *> visited;
    auto *control = new CControlUI;
    auto *cover = new CControlUI;
    control->SetCover(cover);
    auto record = [](CControlUI *c, void *data) -> CControlUI * {
        static_cast<std::vector<CControlUI *> *>(data)->push_back(c);
        return nullptr;
    };
    control->FindControl(record, &visited, 0);
    EXPECT_EQ((std::vector<CControlUI *>{cover, control}), visited);
    visited.clear();
    control->FindControl(record, &visited, FindSelfFirst);
    EXPECT_EQ((std::vector<CControlUI *>{control, cover}), visited);
    visited.clear();
    control->SetVisible(false);
    control->FindControl(record, &visited, FindVisibleOnly);
    EXPECT_TRUE(visited.empty());
    EXPECT_FALSE(cover->IsVisible()) << "a hidden control hides its cover";
    control->Delete(); // deletes the cover too
}

namespace {

struct EventBlocker
{
    bool Block(void *) { return false; }
};

} // namespace

TEST(ControlUI, EventListenersCanStopTheEventAndFocusFollowsVisibility)
{
    TestWindow window;
    auto *root = new ProbeParent(L"root");
    auto *probe = new ProbeControl(L"probe");
    root->Add(probe, RECT{0, 0, 50, 50});
    window.Attach(root);

    probe->SetMenuEnabled(true);
    ControlEvent menu;
    menu.type = EventContextMenu;
    probe->Event(menu);
    EXPECT_EQ(1, window.Notifications().Count(L"menu"));

    EventBlocker blocker;
    CDelegate<EventBlocker, &EventBlocker::Block> block(&blocker);
    probe->EventListeners.Add(block);
    probe->Event(menu);
    EXPECT_EQ(1, window.Notifications().Count(L"menu")) << "a listener answering false ends it";
    EXPECT_EQ(1, probe->CountOf(EventContextMenu));
    probe->EventListeners.Remove(block);

    probe->SetFocus();
    EXPECT_TRUE(probe->IsFocused());
    probe->SetVisible(false);
    EXPECT_FALSE(probe->IsFocused());
    EXPECT_EQ(nullptr, window.Manager().GetFocus());
    probe->SetVisible(true);
    EXPECT_EQ(nullptr, window.Manager().GetFocus()) << "showing does not give the focus back";
}

TEST(ControlUI, LayoutMarksReachTheParentAndTheManager)
{
    TestWindow window;
    auto *root = new ProbeParent(L"root");
    auto *child = new ProbeControl(L"child");
    root->Add(child, RECT{0, 0, 50, 50});
    window.Attach(root);
    window.PaintWindow();
    ASSERT_FALSE(root->NeedsLayout());
    ASSERT_FALSE(window.Manager().IsLayoutNeeded());

    child->SetMinWidth(child->GetMinWidth());
    EXPECT_FALSE(root->NeedsLayout()) << "an unchanged value marks nothing";
    child->SetPadding(RECT{1, 1, 1, 1});
    EXPECT_TRUE(root->NeedsLayout());
    EXPECT_TRUE(window.Manager().IsLayoutNeeded());

    // The next paint lays the tree out again.
    window.PaintWindow();
    EXPECT_FALSE(root->NeedsLayout());
}
