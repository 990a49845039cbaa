#include "ListFixture.h"

#include "ComboBodyUI.h"
#include "ComboUI.h"
#include "ComboWnd.h"
#include "FreedMemoryWatch.h"
#include "ListTextElementUI.h"
#include "ProbeControl.h"
#include "RectText.h"
#include "ScrollBarUI.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

using namespace SkinUI;
using namespace SkinUI::Testing;
using namespace ListFixture;

// The combo box and its drop-down: a real pop-up window with a manager of its own, opened by
// a click, driven by keys, wheel and clicks, closed by Return, Escape, an item and focus
// moving away, and the items always given back.
namespace {

const RECT kFace = {10, 10, 150, 34};

// Set when another program moves the activation or the focus of this thread's windows while
// a scenario is watched: test programs run side by side on one desktop, and a pop-up closes
// when focus moves away. Such a change reaches this thread inside a message sent from
// another thread, which tells it from the scenario's own.
bool g_watching = false;
bool g_disturbed = false;

bool IsActivationMessage(UINT message)
{
    return message == WM_ACTIVATE || message == WM_ACTIVATEAPP || message == WM_NCACTIVATE ||
           message == WM_SETFOCUS || message == WM_KILLFOCUS;
}

LRESULT CALLBACK WatchActivation(int code, WPARAM wParam, LPARAM lParam)
{
    const auto *call = reinterpret_cast<const CWPSTRUCT *>(lParam);
    if (code == HC_ACTION && g_watching && IsActivationMessage(call->message) &&
        InSendMessageEx(nullptr) != ISMEX_NOSEND)
        g_disturbed = true;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct ActivationWatch
{
    ActivationWatch()
        : hook(SetWindowsHookExW(WH_CALLWNDPROC, WatchActivation, nullptr, GetCurrentThreadId()))
    {
    }
    ~ActivationWatch()
    {
        g_watching = false;
        if (hook)
            UnhookWindowsHookEx(hook);
    }
    ActivationWatch(const ActivationWatch &) = delete;
    ActivationWatch &operator=(const ActivationWatch &) = delete;
    HHOOK hook;
};

// A window with one combo box of count items "item0" ... of 20 pixels.
struct ComboWindow
{
    ComboWindow(int count, const wchar_t *attributes)
        : window(200, 200), root(new ProbeParent(L"root")), combo(new CComboUI)
    {
        combo->SetAttributeList(attributes);
        combo->SetAttribute(L"itemheight", L"20");
        for (int i = 0; i < count; ++i)
            combo->Add(NewLabel(Numbered(L"item", i)));
        root->Add(combo, kFace);
        window.Attach(root);
        window.Show();
    }

    HWND Popup() const { return combo->GetDropDown() ? combo->GetDropDown()->GetHWND() : nullptr; }
    // Opened by a click on the face and painted once, which lays the items out.
    bool Open()
    {
        window.Click(50, 20);
        if (Popup() == nullptr)
            return false;
        window.PumpPending();
        return true;
    }
    bool WaitClosed()
    {
        return window.PumpUntil([&] { return combo->GetDropDown() == nullptr; });
    }
    LRESULT ToPopup(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return SendMessageW(Popup(), message, wParam, lParam);
    }
    RECT PopupRect() const
    {
        RECT rect;
        GetWindowRect(Popup(), &rect);
        return rect;
    }
    bool ItemsAtHome() const
    {
        for (int i = 0; i < combo->GetCount(); ++i)
            if (combo->GetItemAt(i)->GetParent() != combo ||
                combo->GetItemAt(i)->GetManager() != combo->GetManager())
                return false;
        return true;
    }
    int Count(const wchar_t *type) { return window.Notifications().Count(type); }

    TestWindow window;
    ProbeParent *root;
    CComboUI *combo;
};

// Runs the scenario on a new window until an attempt is not disturbed by another program
// taking the activation; the failures of that attempt are the test's.
void Undisturbed(int count, const wchar_t *attributes,
                 const std::function<void(ComboWindow &)> &scenario)
{
    ActivationWatch watch;
    const DWORD start = GetTickCount();
    for (int attempt = 0; GetTickCount() - start < 2 * TestWindow::kWaitMs; ++attempt) {
        testing::TestPartResultArray failures;
        g_disturbed = false;
        {
            testing::ScopedFakeTestPartResultReporter reporter(
                testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD,
                &failures);
            ComboWindow window(count, attributes);
            g_watching = true;
            scenario(window);
            g_watching = false;
        }
        if (g_disturbed) {
            Sleep(std::min(20 * (attempt + 1), 500)); // let the other programs settle
            continue;
        }
        for (int i = 0; i < failures.size(); ++i) {
            const testing::TestPartResult &failure = failures.GetTestPartResult(i);
            ADD_FAILURE_AT(failure.file_name() ? failure.file_name() : "", failure.line_number())
                << failure.message();
        }
        return;
    }
    ADD_FAILURE() << "every attempt in two minutes was disturbed by another program";
}

const wchar_t kDropBox[] = L"dropboxsize=\"0,150\"";

TEST(Combo, AClickOpensARealPopupUnderTheFace)
{
    Undisturbed(3, kDropBox, [](ComboWindow &w) {
        ASSERT_TRUE(w.Open());
        HWND popup = w.Popup();
        EXPECT_EQ(FindOwnWindow(CComboWnd::kWindowClassName), popup);
        EXPECT_TRUE(IsWindowVisible(popup));
        EXPECT_EQ(GetWindow(popup, GW_OWNER), w.window.Handle());
        EXPECT_NE(GetWindowLongPtrW(popup, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
        EXPECT_EQ(w.Count(L"dropdown"), 1);

        const POINT corner = w.window.ToScreen(kFace.left, kFace.bottom);
        EXPECT_EQ(RectText(w.PopupRect()),
                  RectText(RECT{corner.x, corner.y, corner.x + 140, corner.y + 3 * 20 + 4}));
        ASSERT_NE(w.combo->GetDropDown(), nullptr);
        CWindowManagerUI &popupManager = w.combo->GetDropDown()->GetManager();
        EXPECT_EQ(w.combo->GetItemAt(0)->GetManager(), &popupManager);
        EXPECT_EQ(w.combo->GetItemAt(0)->GetParent(), w.combo->GetDropDown()->GetBody());
        EXPECT_NE(w.combo->GetButtonState() & 0x10, 0u);

        w.window.Click(50, 20);
        EXPECT_EQ(w.Count(L"dropdown"), 1) << "already open";
    });
}

// Items deleted under an open drop-down are let go by the drop-down's own manager: neither
// its focus nor its hover stays on one, so closing it reaches none of them.
TEST(Combo, RemovingAllItemsUnderAnOpenDropDownLeavesItNothingOfThem)
{
    Undisturbed(3, kDropBox, [](ComboWindow &w) {
        FreedMemoryWatch freed;
        ASSERT_TRUE(w.Open());
        w.ToPopup(WM_MOUSEMOVE, 0, TestWindow::PointParam(10, 30));
        w.ToPopup(WM_KEYDOWN, VK_DOWN); // the item selected takes the focus in the drop-down
        ASSERT_NE(w.combo->GetDropDown(), nullptr);
        CWindowManagerUI &dropDown = w.combo->GetDropDown()->GetManager();
        ASSERT_NE(dropDown.GetFocus(), nullptr);

        w.combo->RemoveAll();
        w.window.PumpPending();
        ASSERT_NE(w.combo->GetDropDown(), nullptr);
        ASSERT_FALSE(freed.Contains(dropDown.GetFocus())) << "the focus is a deleted item";
        w.ToPopup(WM_MOUSEMOVE, 0, TestWindow::PointParam(12, 40));
        w.ToPopup(WM_CLOSE);
        ASSERT_TRUE(w.WaitClosed());
        EXPECT_EQ(w.combo->GetCount(), 0);
        EXPECT_EQ(w.combo->GetCurSel(), -1);
    });
}

// A combo box moved to another window while its drop-down is open closes the drop-down
// first: the items come back to it and go with it.
TEST(Combo, MovedToAnotherWindowWhileOpenItClosesItsDropDownFirst)
{
    Undisturbed(3, kDropBox, [](ComboWindow &w) {
        ASSERT_TRUE(w.Open());
        TestWindow second(200, 200);
        auto *secondRoot = new ProbeParent(L"second root");
        second.Attach(secondRoot);
        w.root->Remove(w.combo, false);
        secondRoot->Add(w.combo, kFace);
        EXPECT_EQ(w.combo->GetDropDown(), nullptr);
        EXPECT_EQ(FindOwnWindow(CComboWnd::kWindowClassName), nullptr);
        EXPECT_EQ(w.combo->GetManager(), &second.Manager());
        EXPECT_TRUE(w.ItemsAtHome());
    });
}

TEST(Combo, TallListsScrollInAPopupOfTheDropBoxHeight)
{
    Undisturbed(10, kDropBox, [](ComboWindow &w) {
        ASSERT_TRUE(w.Open());
        EXPECT_EQ(w.PopupRect().bottom - w.PopupRect().top, 150);
        ASSERT_NE(w.combo->GetDropDown(), nullptr);
        CScrollBarUI *bar = w.combo->GetDropDown()->GetBody()->GetVerticalScrollBar();
        ASSERT_NE(bar, nullptr);
        ASSERT_TRUE(bar->IsVisible());

        // Pressing the scroll bar keeps the pop-up open.
        const RECT thumb = bar->GetPos();
        const LPARAM at = TestWindow::PointParam((thumb.left + thumb.right) / 2, thumb.bottom - 5);
        w.ToPopup(WM_LBUTTONDOWN, MK_LBUTTON, at);
        w.ToPopup(WM_LBUTTONUP, 0, at);
        w.window.PumpPending();
        EXPECT_NE(w.Popup(), nullptr);
    });
}

TEST(Combo, KeysChooseWithoutClosingAndReturnCloses)
{
    Undisturbed(4, kDropBox, [](ComboWindow &w) {
        ASSERT_TRUE(w.Open());
        w.ToPopup(WM_KEYDOWN, VK_DOWN);
        w.ToPopup(WM_KEYDOWN, VK_DOWN);
        w.ToPopup(WM_KEYDOWN, VK_END);
        w.ToPopup(WM_KEYDOWN, VK_UP);
        EXPECT_EQ(w.combo->GetCurSel(), 2);
        EXPECT_EQ(w.Count(L"itemselect"), 4);
        w.window.PumpPending();
        ASSERT_NE(w.Popup(), nullptr) << "keys keep the pop-up open";

        w.ToPopup(WM_KEYDOWN, VK_RETURN);
        ASSERT_TRUE(w.WaitClosed());
        EXPECT_TRUE(w.ItemsAtHome());
        EXPECT_STREQ(w.combo->GetText().GetData(), L"item2");
        EXPECT_EQ(w.combo->GetButtonState() & 0x10, 0u);
        EXPECT_TRUE(IsRectEmpty(&w.combo->GetItemAt(0)->GetPos())) << "no room in the face";
    });
}

TEST(Combo, EscapeRestoresTheSelectionOfTheOpening)
{
    Undisturbed(4, kDropBox, [](ComboWindow &w) {
        w.combo->SelectItem(1);
        ASSERT_TRUE(w.Open());
        w.ToPopup(WM_KEYDOWN, VK_DOWN);
        w.window.Notifications().Clear();
        w.ToPopup(WM_KEYDOWN, VK_ESCAPE);
        ASSERT_TRUE(w.WaitClosed());
        EXPECT_EQ(w.combo->GetCurSel(), 1);
        ASSERT_EQ(w.Count(L"itemselect"), 1);
        EXPECT_EQ(w.window.Notifications().Of(L"itemselect")[0].lParam, 2);
        EXPECT_TRUE(w.ItemsAtHome());
    });
}

TEST(Combo, AClickOnAnItemChoosesItAndCloses)
{
    Undisturbed(4, kDropBox, [](ComboWindow &w) {
        ASSERT_TRUE(w.Open());
        const LPARAM item2 = TestWindow::PointParam(30, 1 + 2 * 20 + 10);
        w.ToPopup(WM_LBUTTONDOWN, MK_LBUTTON, item2);
        w.ToPopup(WM_LBUTTONUP, 0, item2);
        ASSERT_TRUE(w.WaitClosed());
        EXPECT_EQ(w.combo->GetCurSel(), 2);
        EXPECT_EQ(w.Count(L"itemselect"), 1) << "from the combo box, through its window";
        EXPECT_TRUE(w.ItemsAtHome());
    });
}

TEST(Combo, FocusMovingAwayClosesThePopup)
{
    Undisturbed(3, kDropBox, [](ComboWindow &w) {
        ASSERT_TRUE(w.Open());
        ASSERT_EQ(GetFocus(), w.Popup());
        SetFocus(w.window.Handle());
        ASSERT_TRUE(w.WaitClosed());
        EXPECT_TRUE(w.ItemsAtHome());
    });
}

TEST(Combo, OpensUpwardsNearTheBottomOfTheWorkArea)
{
    Undisturbed(3, kDropBox, [](ComboWindow &w) {
        RECT work;
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        SetWindowPos(w.window.Handle(), nullptr, 0, work.bottom - 60, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(w.Open());
        EXPECT_EQ(w.PopupRect().bottom, w.window.ToScreen(0, kFace.top).y);
        EXPECT_EQ(w.PopupRect().bottom - w.PopupRect().top, 64);
    });
}

TEST(Combo, FaceKeysWheelAndSelectionRules)
{
    Undisturbed(3, kDropBox, [](ComboWindow &w) {
        EXPECT_TRUE(w.combo->SelectItem(8)) << "past the end: the last";
        EXPECT_EQ(w.combo->GetCurSel(), 2);
        EXPECT_FALSE(w.combo->SelectItem(-1));
        EXPECT_EQ(w.combo->GetCurSel(), -1);

        w.window.Wheel(50, 20, -WHEEL_DELTA);
        w.window.Wheel(50, 20, -WHEEL_DELTA);
        EXPECT_EQ(w.combo->GetCurSel(), 1);
        EXPECT_EQ(w.Popup(), nullptr) << "the wheel does not open it";
        w.combo->SetFocus();
        w.window.KeyDown(VK_HOME);
        EXPECT_EQ(w.combo->GetCurSel(), 0);
        w.window.KeyDown(VK_F4);
        EXPECT_NE(w.Popup(), nullptr);
        EXPECT_FALSE(w.combo->ExpandItem(0));
        EXPECT_EQ(w.combo->GetExpandedItem(), -1);
    });
}

// A text element takes its style from whichever owner it has: the combo box's, in the face
// and where it paints itself (as in the pop-up).
TEST(Combo, TextElementsDrawWithTheComboBoxsItemStyle)
{
    ComboWindow w(0, L"itemtextcolor=\"#FFFF0000\" itemselectedtextcolor=\"#FFFF0000\"");
    auto *element = new CListTextElementUI;
    element->SetText(L"WWWW");
    w.combo->Add(element);
    ASSERT_TRUE(w.combo->SelectItem(0, false, false));
    auto reddish = [](DWORD rgb) {
        return ((rgb >> 16) & 0xFF) > 0xA0 && ((rgb >> 8) & 0xFF) < 0x60 && (rgb & 0xFF) < 0x60;
    };
    const Pixels face = w.window.PaintTree(0xFFFFFFFF);
    int inFace = 0;
    for (int y = kFace.top; y < kFace.bottom; ++y)
        for (int x = kFace.left; x < kFace.right; ++x)
            inFace += reddish(face.RgbAt(x, y)) ? 1 : 0;
    EXPECT_GT(inFace, 10) << "the selected element's text in the face";

    DibSurface surface(140, 24);
    element->SetPos(RECT{0, 0, 140, 24}, false);
    element->Paint(surface.Dc(), surface.Bounds(), nullptr);
    int painted = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 140; ++x)
            painted += reddish(surface.Rgb(x, y)) ? 1 : 0;
    EXPECT_GT(painted, 10) << "the element painting itself";
}

// However the pop-up ends, the borrowed items come back: also when its owner window is
// destroyed without a WM_CLOSE, and when the combo box goes while it is open.
TEST(Combo, ItemsComeBackWhenTheOwnerWindowIsDestroyed)
{
    Undisturbed(3, kDropBox, [](ComboWindow &w) {
        ASSERT_TRUE(w.Open());
        HWND popup = w.Popup();
        g_watching = false; // the window's own end hands the activation on
        DestroyWindow(w.window.Handle());
        EXPECT_FALSE(IsWindow(popup));
        EXPECT_EQ(w.combo->GetDropDown(), nullptr);
        EXPECT_TRUE(w.ItemsAtHome());
        EXPECT_TRUE(w.combo->SelectItem(1)) << "the items answer their combo box";
    });
}

TEST(Combo, DeletingTheComboBoxDestroysItsPopup)
{
    Undisturbed(3, kDropBox, [](ComboWindow &w) {
        ASSERT_TRUE(w.Open());
        HWND popup = w.Popup();
        w.root->Remove(w.combo, false);
        w.combo->Delete();
        EXPECT_FALSE(IsWindow(popup));
        w.window.PumpPending();
    });
}

// Items added, moved and deleted while the pop-up is open: it shows the combo box's items,
// and never one that is gone.
TEST(Combo, ThePopupFollowsItemsChangedWhileOpen)
{
    Undisturbed(4, kDropBox, [](ComboWindow &w) {
        ASSERT_TRUE(w.Open());
        auto shown = [&w] {
            std::wstring texts;
            CComboBodyUI *body = w.combo->GetDropDown()->GetBody();
            for (int i = 0; i < body->GetCount(); ++i)
                texts += std::wstring(body->GetItemAt(i)->GetText().GetData()) + L" ";
            return texts;
        };
        w.combo->RemoveAt(1);
        w.combo->AddAt(NewLabel(L"late"), 0);
        w.combo->SetItemIndex(w.combo->GetItemAt(3), 1);
        ASSERT_NE(w.combo->GetDropDown(), nullptr);
        EXPECT_EQ(shown(), L"late item3 item0 item2 ");
        EXPECT_EQ(w.combo->GetItemAt(0)->GetManager(), &w.combo->GetDropDown()->GetManager());
        RedrawWindow(w.Popup(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);

        w.combo->RemoveAll();
        EXPECT_EQ(shown(), L"");
        w.combo->Add(NewLabel(L"again"));
        RedrawWindow(w.Popup(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        w.ToPopup(WM_KEYDOWN, VK_DOWN);
        w.ToPopup(WM_KEYDOWN, VK_RETURN);
        ASSERT_TRUE(w.WaitClosed());
        EXPECT_TRUE(w.ItemsAtHome());
        EXPECT_STREQ(w.combo->GetText().GetData(), L"again");
    });
}

} // namespace
