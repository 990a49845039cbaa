#include "ProbeControl.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <string>

using namespace SkinUI;
using namespace SkinUI::Testing;

namespace {

// Three side-by-side controls A (0..60), B (60..120), C (120..180) under a root over a
// 200 x 100 window.
struct Row
{
    explicit Row(TestWindow &window)
    {
        root = new ProbeParent(L"root");
        a = new ProbeControl(L"a");
        b = new ProbeControl(L"b");
        c = new ProbeControl(L"c");
        root->Add(a, RECT{0, 0, 60, 100});
        root->Add(b, RECT{60, 0, 120, 100});
        root->Add(c, RECT{120, 0, 180, 100});
        window.Attach(root);
    }
    ProbeParent *root;
    ProbeControl *a;
    ProbeControl *b;
    ProbeControl *c;
};

// A button-like probe: its button-up inside its rectangle sends "click".
void SendClickOnButtonUp(ProbeControl &control, ControlEvent &event)
{
    if (event.type == EventButtonUp && PtInRect(&control.GetPos(), event.mousePoint))
        control.GetManager()->SendNotify(&control, L"click", 0, 0, false);
}

int CountMessages(const TestWindow &window, UINT message)
{
    return static_cast<int>(
        std::count(window.seenMessages.begin(), window.seenMessages.end(), message));
}

} // namespace

TEST(WindowManagerDispatch, ClickGoesDownAndUpToThePressedControlAndItsNotification)
{
    TestWindow window;
    Row row(window);
    row.b->onEvent = SendClickOnButtonUp;

    window.LeftDown(70, 10);
    EXPECT_EQ(1, row.b->CountOf(EventButtonDown));
    EXPECT_TRUE(window.Manager().IsCaptured());
    EXPECT_EQ(MK_LBUTTON, row.b->events.back().keyState);
    window.LeftUp(75, 20);
    EXPECT_FALSE(window.Manager().IsCaptured());
    ASSERT_EQ(1, row.b->CountOf(EventButtonUp));
    EXPECT_EQ(75, row.b->events.back().mousePoint.x);

    auto clicks = window.Notifications().Of(L"click");
    ASSERT_EQ(1u, clicks.size());
    EXPECT_EQ(row.b, clicks[0].sender);
    EXPECT_EQ(0, row.a->CountOf(EventButtonDown) + row.c->CountOf(EventButtonDown));
}

TEST(WindowManagerDispatch, HoverMovesFromControlToControlThroughLeaveListeners)
{
    TestWindow window;
    Row row(window);
    std::vector<std::wstring> order;
    for (ProbeControl *probe : {row.a, row.b, row.c})
        probe->onEvent = [&order](ProbeControl &self, ControlEvent &event) {
            if (event.type == EventMouseLeave || event.type == EventMouseEnter)
                order.push_back(
                    self.GetName().GetData() +
                    std::wstring(event.type == EventMouseLeave ? L":leave" : L":enter"));
        };
    window.Manager().AddMouseLeaveListener(row.c);
    EXPECT_FALSE(window.Manager().AddMouseLeaveListener(row.c)) << "no duplicates";

    window.MouseMove(10, 10);
    window.MouseMove(70, 10);
    std::vector<std::wstring> expected = {L"a:enter", L"c:leave", L"a:leave", L"b:enter"};
    EXPECT_EQ(expected, order);
    EXPECT_EQ(EventMouseMove, row.b->events.back().type);
    EXPECT_EQ(row.a, row.c->events.back().sender) << "the leave event names the old hover";

    // The system's leave message with the cursor outside ends the hover.
    row.b->ClearEvents();
    window.Send(WM_MOUSELEAVE);
    EXPECT_EQ(1, row.b->CountOf(EventMouseLeave));
}

TEST(WindowManagerDispatch, CaptureKeepsMovesWithThePressedControl)
{
    TestWindow window;
    Row row(window);
    window.MouseMove(10, 10);
    window.LeftDown(10, 10);
    row.a->ClearEvents();

    window.MouseMove(70, 10, MK_LBUTTON);
    window.MouseMove(400, 300, MK_LBUTTON); // outside the window
    EXPECT_EQ(0, row.b->CountOf(EventMouseEnter)) << "no hover change while captured";
    EXPECT_EQ(0, row.a->CountOf(EventMouseLeave));
    EXPECT_EQ(2, row.a->CountOf(EventMouseMove));

    window.LeftUp(70, 10);
    EXPECT_EQ(1, row.a->CountOf(EventButtonUp));
    window.MouseMove(70, 10);
    EXPECT_EQ(1, row.b->CountOf(EventMouseEnter));
}

TEST(WindowManagerDispatch, WheelGoesToTheControlAtThePoint)
{
    TestWindow window;
    Row row(window);
    struct Case
    {
        int delta;
        WPARAM expected;
    } cases[] = {{-WHEEL_DELTA, 1}, {WHEEL_DELTA, 0}};
    for (const Case &c : cases) {
        row.c->ClearEvents();
        window.Wheel(130, 50, c.delta);
        ASSERT_EQ(1, row.c->CountOf(EventScrollWheel)) << c.delta;
        auto wheel = std::find_if(row.c->events.begin(), row.c->events.end(),
                                  [](const ControlEvent &e) { return e.type == EventScrollWheel; });
        EXPECT_EQ(c.expected, wheel->wParam) << c.delta;
        EXPECT_EQ(130, window.Manager().GetMousePos().x);
    }
    EXPECT_EQ(0, row.a->CountOf(EventScrollWheel));
}

TEST(WindowManagerDispatch, AControlRemovingItselfDuringItsClickGoesAfterTheMessage)
{
    TestWindow window;
    Row row(window);
    bool deleted = false;
    bool deletedDuringHandler = true;
    row.b->deletedFlag = &deleted;
    row.b->onEvent = [&](ProbeControl &self, ControlEvent &event) {
        if (event.type != EventButtonUp)
            return;
        row.root->Remove(&self);
        deletedDuringHandler = deleted;
        self.GetManager()->SendNotify(&self, L"click", 0, 0, true);
    };
    window.Click(70, 10);
    EXPECT_FALSE(deletedDuringHandler);
    EXPECT_FALSE(deleted);
    EXPECT_EQ(row.root, window.Manager().FindControlAtPoint(POINT{70, 10})) << "out of the tree";

    ASSERT_TRUE(window.PumpUntil([&] { return deleted; }));
    auto clicks = window.Notifications().Of(L"click");
    ASSERT_EQ(1u, clicks.size()) << "the queued click is still delivered";
    EXPECT_EQ(1, CountMessages(window, CWindowManagerUI::kDrainMessage));
}

TEST(WindowManagerDispatch, QueuedNotificationsArriveInOrderThroughOneDrainMessage)
{
    TestWindow window;
    Row row(window);
    CWindowManagerUI &manager = window.Manager();
    manager.SendNotify(row.a, L"first", 1, 0, true);
    manager.SendNotify(row.b, L"second", 2, 0, true);
    manager.SendNotify(row.c, L"third", 3, 0, true);
    EXPECT_TRUE(window.Notifications().records.empty());

    // A control that goes before the drain leaves its notification without sender.
    row.root->Remove(row.c, false);
    delete row.c;

    ASSERT_TRUE(window.PumpUntil([&] { return window.Notifications().records.size() == 3; }));
    std::vector<std::wstring> expected = {L"first", L"second", L"third"};
    EXPECT_EQ(expected, window.Notifications().Types());
    EXPECT_EQ(nullptr, window.Notifications().records[2].sender);
    EXPECT_EQ(row.a, window.Notifications().records[0].sender);
    window.PumpPending();
    EXPECT_EQ(1, CountMessages(window, CWindowManagerUI::kDrainMessage));
}

TEST(WindowManagerDispatch, TimersTickTheirControlUntilKilledOrForgotten)
{
    TestWindow window;
    Row row(window);
    CWindowManagerUI &manager = window.Manager();

    ASSERT_TRUE(manager.SetTimer(row.a, 7, 60000));
    EXPECT_FALSE(manager.SetTimer(row.a, 7, 60000)) << "already running";
    ASSERT_TRUE(manager.SetTimer(row.b, 7, 60000));
    // The first ids a manager hands out are 17 and 18.
    window.Tick(17);
    window.Tick(18);
    ASSERT_EQ(1, row.a->CountOf(EventTimer));
    EXPECT_EQ(7u, row.a->events.back().wParam);
    EXPECT_EQ(1, row.b->CountOf(EventTimer));
    EXPECT_EQ(2, window.Notifications().Count(L"timer"));

    EXPECT_TRUE(manager.KillTimer(row.a, 7));
    EXPECT_FALSE(manager.KillTimer(row.a, 7));
    window.Tick(17);
    EXPECT_EQ(1, row.a->CountOf(EventTimer)) << "a killed timer delivers nothing";
    EXPECT_TRUE(manager.SetTimer(row.a, 7, 60000)) << "re-armed with its id";
    window.Tick(17);
    EXPECT_EQ(2, row.a->CountOf(EventTimer));

    row.root->Remove(row.b, false);
    delete row.b;
    window.Tick(18); // must not reach the deleted control
    EXPECT_EQ(0, manager.KillControlTimers(row.a) - 1);
}

TEST(WindowManagerDispatch, TimerIdsSkipLiveOnesAndRunOut)
{
    TestWindow window;
    Row row(window);
    CWindowManagerUI &manager = window.Manager();
    int made = 0;
    for (UINT id = 0; id < 300; ++id) {
        if (!manager.SetTimer(row.a, id, 60000))
            break;
        ++made;
    }
    EXPECT_EQ(255, made) << "one timer per Windows id, then no more";

    // After the cycle wrapped, a freed id is found again.
    EXPECT_EQ(255, manager.KillControlTimers(row.a));
    EXPECT_TRUE(manager.SetTimer(row.b, 1, 60000));
    window.Tick(17);
    EXPECT_EQ(1, row.b->CountOf(EventTimer));
}

TEST(WindowManagerDispatch, ForgottenControlsLeaveEveryList)
{
    TestWindow window;
    Row row(window);
    CWindowManagerUI &manager = window.Manager();
    manager.AddMouseLeaveListener(row.c);
    manager.AddPostPaint(row.c);
    ASSERT_TRUE(manager.SetTimer(row.c, 1, 60000));
    row.c->SetFocus();
    window.MouseMove(10, 10);
    row.root->Remove(row.c, false);
    delete row.c;
    window.MouseMove(70, 10); // would send the leave event to the deleted listener
    EXPECT_EQ(1, row.b->CountOf(EventMouseEnter));
    EXPECT_FALSE(manager.RemoveMouseLeaveListener(row.c));
    EXPECT_FALSE(manager.RemovePostPaint(row.c));
    EXPECT_EQ(0, manager.KillControlTimers(row.c)) << "its timers went with it";
    EXPECT_EQ(nullptr, manager.GetFocus());
    EXPECT_EQ(nullptr, manager.FindControlByName(L"c"));
}

TEST(WindowManagerDispatch, KeysGoToTheFocusedControl)
{
    TestWindow window;
    Row row(window);
    row.b->SetFocus();
    EXPECT_EQ(row.b, window.Manager().GetFocus());
    EXPECT_TRUE(row.b->IsFocused());
    window.KeyDown('X');
    window.Char(L'x');
    row.b->SetVisible(false); // hiding takes the focus away
    EXPECT_EQ(nullptr, window.Manager().GetFocus());
    window.KeyUp('X'); // still to the control that got the key-down
    std::vector<int> keys;
    for (int type : row.b->EventTypes())
        if (type == EventKeyDown || type == EventChar || type == EventKeyUp)
            keys.push_back(type);
    EXPECT_EQ((std::vector<int>{EventKeyDown, EventChar, EventKeyUp}), keys);
    auto typed = std::find_if(row.b->events.begin(), row.b->events.end(),
                              [](const ControlEvent &e) { return e.type == EventChar; });
    EXPECT_EQ(L'x', typed->key);
    EXPECT_EQ((std::vector<std::wstring>{L"setfocus", L"killfocus"}),
              window.Notifications().Types());
}

TEST(WindowManagerDispatch, EveryBatchOfQueuedNotificationsIsDelivered)
{
    TestWindow window;
    Row row(window);
    CWindowManagerUI &manager = window.Manager();
    const wchar_t *const batches[] = {L"first", L"second", L"third"};
    size_t expected = 0;
    for (const wchar_t *type : batches) {
        manager.SendNotify(row.a, type, 0, 0, true);
        manager.SendNotify(row.b, type, 0, 0, true);
        expected += 2;
        // The drain is posted to this thread: once the posted messages have run, it has come.
        window.PumpPending();
        ASSERT_EQ(expected, window.Notifications().records.size())
            << "batch " << std::string(type, type + wcslen(type));
        EXPECT_EQ(row.b, window.Notifications().records.back().sender);
    }
    EXPECT_EQ(3, CountMessages(window, CWindowManagerUI::kDrainMessage)) << "one for each batch";
}

TEST(WindowManagerDispatch, APressedControlThatGoesGivesTheCaptureBack)
{
    TestWindow window;
    Row row(window);
    window.Show();
    row.b->onEvent = [&](ProbeControl &self, ControlEvent &event) {
        if (event.type == EventButtonDown)
            row.root->Remove(&self);
    };
    window.LeftDown(70, 10);
    ASSERT_TRUE(window.Manager().IsCaptured());
    bool deleted = false;
    row.b->deletedFlag = &deleted;
    ASSERT_TRUE(window.PumpUntil([&] { return deleted; }));
    EXPECT_FALSE(window.Manager().IsCaptured());
    EXPECT_NE(window.Handle(), GetCapture());
    // Hover follows the mouse again instead of staying with the capture.
    window.MouseMove(10, 10);
    window.MouseMove(130, 10);
    EXPECT_EQ(1, row.c->CountOf(EventMouseEnter));
}
