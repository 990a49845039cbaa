#include "ProbeControl.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::Testing;

namespace {

class LabelProbe : public ProbeControl
{
public:
    using ProbeControl::ProbeControl;
    const wchar_t *GetClass() const override { return L"Label"; }
};

// Root (blue) with three controls: a (red), b (green), c (white) side by side.
struct Colours
{
    explicit Colours(TestWindow &window, bool tabStops = false)
    {
        root = new ProbeParent(L"root", 0xFF0000FF);
        a = new ProbeControl(L"a", 0xFFFF0000);
        b = new ProbeControl(L"b", 0xFF00FF00);
        c = new ProbeControl(L"c", 0xFFFFFFFF);
        for (ProbeControl *probe : {a, b, c})
            probe->behaviorFlags = tabStops ? UINT(BehaviorTabStop) : 0u;
        root->Add(a, RECT{0, 0, 60, 50});
        root->Add(b, RECT{60, 0, 120, 50});
        root->Add(c, RECT{120, 0, 180, 50});
        window.Attach(root);
    }
    ProbeParent *root;
    ProbeControl *a;
    ProbeControl *b;
    ProbeControl *c;
};

bool PreTranslate(TestWindow &window, UINT message, WPARAM wParam)
{
    MSG msg = {window.Handle(), message, wParam, 0, 0, {0, 0}};
    return TestWindow::Dispatch(msg);
}

// Holds Shift down in this thread's keyboard state while it lives.
struct ShiftHeld
{
    ShiftHeld()
    {
        GetKeyboardState(saved);
        BYTE state[256];
        memcpy(state, saved, sizeof(state));
        state[VK_SHIFT] = 0x80;
        SetKeyboardState(state);
    }
    ~ShiftHeld() { SetKeyboardState(saved); }
    BYTE saved[256];
};

} // namespace

TEST(WindowManagerFocus, FirstPaintFocusesTheFirstTabStopAndTabCyclesBothWays)
{
    TestWindow window;
    Colours tree(window, true);
    tree.b->SetEnabled(false);
    window.PaintWindow();
    ASSERT_TRUE(window.PumpUntil([&] { return window.Manager().GetFocus() == tree.a; }));

    EXPECT_TRUE(PreTranslate(window, WM_KEYDOWN, VK_TAB));
    EXPECT_EQ(tree.c, window.Manager().GetFocus()) << "disabled controls are no tab stops";
    EXPECT_TRUE(PreTranslate(window, WM_KEYDOWN, VK_TAB));
    EXPECT_EQ(tree.a, window.Manager().GetFocus()) << "wraps to the first";
    {
        ShiftHeld shift;
        EXPECT_TRUE(PreTranslate(window, WM_KEYDOWN, VK_TAB));
        EXPECT_EQ(tree.c, window.Manager().GetFocus()) << "backwards wraps to the last";
    }
    EXPECT_FALSE(PreTranslate(window, WM_KEYDOWN, 'A'));

    // Focus on a hidden control only takes it away from the focused one.
    tree.b->SetEnabled(true);
    tree.b->SetVisible(false);
    window.Manager().SetFocus(tree.b);
    EXPECT_EQ(nullptr, window.Manager().GetFocus());
    EXPECT_FALSE(tree.c->IsFocused());
}

TEST(WindowManagerFocus, AltShortcutReachesTheControlAfterALabel)
{
    TestWindow window;
    Colours tree(window);
    auto *label = new LabelProbe(L"label");
    label->SetShortcut(L'n');
    tree.root->Add(label, RECT{180, 0, 200, 50});
    tree.a->SetShortcut(L'A');

    // Children are searched from the topmost, so the control after the label is c.
    EXPECT_TRUE(PreTranslate(window, WM_SYSCHAR, L'N'));
    EXPECT_EQ(tree.c, window.Manager().GetFocus());
    EXPECT_TRUE(PreTranslate(window, WM_SYSCHAR, L'a'));
    EXPECT_EQ(tree.a, window.Manager().GetFocus());
    EXPECT_FALSE(PreTranslate(window, WM_SYSCHAR, L'q'));
}

TEST(WindowManagerPaint, PaintsTheTreeOffscreenAndSendsWindowInitOnce)
{
    TestWindow window;
    Colours tree(window);
    Pixels pixels = window.PaintWindow();
    ASSERT_EQ(200, pixels.width);
    EXPECT_EQ(0xFF0000u, pixels.RgbAt(10, 10));
    EXPECT_EQ(0x00FF00u, pixels.RgbAt(70, 10));
    EXPECT_EQ(0xFFFFFFu, pixels.RgbAt(130, 49));
    EXPECT_EQ(0x0000FFu, pixels.RgbAt(130, 50));
    EXPECT_EQ(0x0000FFu, pixels.RgbAt(190, 10));

    tree.b->fill = 0xFF808080;
    tree.b->Invalidate();
    UpdateWindow(window.Handle());
    pixels = ReadBitmap(window.Manager().GetOffscreenBitmap());
    EXPECT_EQ(0x808080u, pixels.RgbAt(70, 10));
    EXPECT_EQ(1, window.Notifications().Count(L"windowinit"));
}

TEST(WindowManagerPaint, LayeredAndOffscreenWindowsGiveTheSamePixels)
{
    TestWindow plain;
    Colours plainTree(plain);
    Pixels expected = plain.PaintWindow();

    TestWindow layered;
    Colours layeredTree(layered);
    layered.Show();
    layered.Manager().SetLayered(true);
    ASSERT_TRUE(layered.Manager().IsLayered());
    ASSERT_TRUE(GetWindowLongPtrW(layered.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
    layered.Send(WM_TIMER, CWindowManagerUI::kLayeredTimerId);
    Pixels painted = ReadBitmap(layered.Manager().GetOffscreenBitmap());
    ASSERT_EQ(expected.width, painted.width);
    ASSERT_EQ(expected.height, painted.height);
    int differing = 0;
    for (int y = 0; y < painted.height; ++y)
        for (int x = 0; x < painted.width; ++x)
            differing += painted.RgbAt(x, y) != expected.RgbAt(x, y);
    EXPECT_EQ(0, differing);
    EXPECT_EQ(1, layered.Notifications().Count(L"windowinit"));
}

TEST(WindowManagerPaint, LayeredFullUpdateBeforeTheFirstSurfaceDrawsOnTheNextPaint)
{
    TestWindow window;
    Colours tree(window);
    window.Show();
    window.Manager().SetLayered(true);
    window.Manager().SetLayeredOpacity(200);
    // The first paint only lays out; the next one draws into a surface made for it.
    window.Send(WM_TIMER, CWindowManagerUI::kLayeredTimerId);
    EXPECT_EQ(nullptr, window.Manager().GetOffscreenBitmap());
    window.Send(WM_TIMER, CWindowManagerUI::kLayeredTimerId);
    Pixels pixels = ReadBitmap(window.Manager().GetOffscreenBitmap());
    ASSERT_EQ(200, pixels.width);
    EXPECT_EQ(0x00FF00u, pixels.RgbAt(70, 10));
    EXPECT_EQ(200, window.Manager().GetLayeredOpacity());
}

TEST(WindowManagerPaint, TheLayeredImageGivesItsAlphaToThePaintedPixels)
{
    TestWindow window;
    Colours tree(window);
    window.Show();
    window.Manager().SetWindowAttribute(L"layeredimage", L"color='#80FFFFFF'");
    ASSERT_TRUE(window.Manager().IsLayered());
    ASSERT_NE(nullptr, window.Manager().GetLayeredImage().image);
    window.Send(WM_TIMER, CWindowManagerUI::kLayeredTimerId);
    Pixels pixels = ReadBitmap(window.Manager().GetOffscreenBitmap());
    ASSERT_EQ(200, pixels.width);
    EXPECT_EQ(0x80800000u, pixels.At(10, 10)) << "red premultiplied by the image's alpha";
    EXPECT_EQ(0x80000080u, pixels.At(190, 90));
}

TEST(WindowManagerPaint, AWindowWithoutTreePaintsBlack)
{
    TestWindow window;
    window.Show();
    InvalidateRect(window.Handle(), nullptr, FALSE);
    UpdateWindow(window.Handle());
    EXPECT_EQ(nullptr, window.Manager().GetOffscreenBitmap());
}

namespace {

// Counts the messages it sees and handles none.
class CountingFilter : public IMessageFilterUI
{
public:
    LRESULT MessageHandler(UINT message, WPARAM, LPARAM, bool &) override
    {
        seen += message == WM_KEYDOWN;
        return 0;
    }
    int seen = 0;
};

// A manager on a child window two levels below a top-level test window, with two tab stops.
struct NestedChildWindow
{
    explicit NestedChildWindow(TestWindow &top)
    {
        middle = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 150, 80,
                                 top.Handle(), nullptr, nullptr, nullptr);
        inner = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 120, 60, middle,
                                nullptr, nullptr, nullptr);
        manager.Init(inner, L"inner");
        root = new ProbeParent(L"root");
        first = new ProbeControl(L"first");
        second = new ProbeControl(L"second");
        third = new ProbeControl(L"third");
        for (ProbeControl *probe : {first, second, third}) {
            probe->behaviorFlags = BehaviorTabStop;
            root->Add(probe, RECT{0, 0, 10, 10});
        }
        manager.AttachRootControl(root);
        manager.AddPreMessageFilter(&filter);
    }
    ~NestedChildWindow() { DestroyWindow(middle); }

    HWND middle;
    HWND inner;
    CWindowManagerUI manager;
    CountingFilter filter;
    ProbeParent *root;
    ProbeControl *first;
    ProbeControl *second;
    ProbeControl *third;
};

SIZE SurfaceSize(HBITMAP bitmap)
{
    BITMAP info = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info))
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

} // namespace

TEST(WindowManagerFocus, AChildWindowsManagerPreTranslatesEachMessageOnce)
{
    TestWindow top;
    top.Show();
    NestedChildWindow child(top);
    // Laid out by a paint, so that Tab moves the focus at once.
    InvalidateRect(child.inner, nullptr, FALSE);
    LRESULT result = 0;
    child.manager.MessageHandler(WM_PAINT, 0, 0, result);
    ASSERT_FALSE(child.manager.IsLayoutNeeded());
    child.first->SetFocus();
    ASSERT_EQ(child.first, child.manager.GetFocus());

    MSG tab = {child.inner, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    CWindowManagerUI::TranslateMessage(&tab);
    EXPECT_EQ(1, child.filter.seen);
    EXPECT_EQ(child.second, child.manager.GetFocus()) << "one Tab, one step";
}

TEST(WindowManagerFocus, OnlyAVisibleEnabledControlOfTheManagerTakesTheFocus)
{
    TestWindow window;
    Colours tree(window, true);
    window.PaintWindow();
    TestWindow other;
    auto *stranger = new ProbeControl(L"stranger");
    stranger->behaviorFlags = BehaviorTabStop;
    other.Attach(stranger);

    struct Refusal
    {
        const char *what;
        std::function<CControlUI *()> prepare;
    };
    const Refusal refusals[] = {
        {"disabled",
         [&] {
             tree.b->SetEnabled(false);
             return tree.b;
         }},
        {"hidden",
         [&] {
             tree.b->SetVisible(false);
             return tree.b;
         }},
        {"under a hidden parent",
         [&] {
             tree.root->SetVisible(false);
             return tree.b;
         }},
        {"of another manager", [&] { return stranger; }},
    };
    for (const Refusal &refusal : refusals) {
        SCOPED_TRACE(refusal.what);
        tree.a->SetFocus();
        ASSERT_EQ(tree.a, window.Manager().GetFocus());
        CControlUI *control = refusal.prepare();
        const int setFocusEvents = tree.b->CountOf(EventSetFocus);
        window.Manager().SetFocus(control);
        EXPECT_EQ(nullptr, window.Manager().GetFocus()) << "the focused control only loses it";
        EXPECT_FALSE(tree.a->IsFocused());
        EXPECT_FALSE(control->IsFocused());
        EXPECT_EQ(setFocusEvents, tree.b->CountOf(EventSetFocus));
        if (control == tree.b) {
            // A click does not give it the focus either.
            window.Click(70, 10);
            EXPECT_NE(tree.b, window.Manager().GetFocus());
        }
        tree.b->SetEnabled(true);
        tree.b->SetVisible(true);
        tree.root->SetVisible(true);
    }
}

TEST(WindowManagerFocus, FocusMovesWithOneKillAndOneSetAndNothingForTheFocusedControl)
{
    TestWindow window;
    Colours tree(window, true);
    tree.a->SetFocus();
    tree.a->ClearEvents();
    window.Notifications().Clear();
    tree.a->SetFocus();
    EXPECT_TRUE(tree.a->events.empty()) << "focusing the focused control does nothing";
    EXPECT_TRUE(window.Notifications().records.empty());

    tree.b->SetFocus();
    ASSERT_EQ(1, tree.a->CountOf(EventKillFocus));
    EXPECT_EQ(tree.b, tree.a->events.back().sender) << "the kill event names the gaining one";
    EXPECT_EQ(1, tree.b->CountOf(EventSetFocus));
    EXPECT_EQ((std::vector<std::wstring>{L"killfocus", L"setfocus"}),
              window.Notifications().Types());
    EXPECT_EQ(tree.a, window.Notifications().records[0].sender);
    EXPECT_TRUE(tree.b->IsFocused());
    EXPECT_FALSE(tree.a->IsFocused());
}

TEST(WindowManagerPaint, AHiddenRootsLayeredSurfacesFollowTheClientSize)
{
    for (const wchar_t *image : {L"d", L"color='#80FFFFFF'"}) {
        TestWindow window{100, 100};
        const std::wstring skin = std::wstring(L"<Window layeredimage=\"") + image +
                                  L"\"><Label visible=\"false\"/></Window>";
        ASSERT_NE(nullptr, window.AttachSkin(skin.c_str()));
        ASSERT_TRUE(window.Manager().IsLayered());
        window.Show();
        window.Send(WM_TIMER, CWindowManagerUI::kLayeredTimerId);
        window.Send(WM_TIMER, CWindowManagerUI::kLayeredTimerId);
        SetWindowPos(window.Handle(), nullptr, 0, 0, 400, 400,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        window.Send(WM_TIMER, CWindowManagerUI::kLayeredTimerId);
        window.Send(WM_TIMER, CWindowManagerUI::kLayeredTimerId);
        const SIZE size = SurfaceSize(window.Manager().GetOffscreenBitmap());
        EXPECT_EQ(400, size.cx) << "layered image " << std::string(image, image + wcslen(image));
        EXPECT_EQ(400, size.cy);
    }
}
