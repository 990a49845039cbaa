#include "CShadowWindow.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr UINT kPingMessage = WM_APP + 7;
constexpr LRESULT kPingAnswer = 4711;

LRESULT CALLBACK testParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kPingMessage)
        return kPingAnswer;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void pumpMessages()
{
    MSG msg;
    for (int round = 0; round < 5; ++round) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
}

// A frameless top-level window of the test's own class.
class ParentWindow
{
public:
    ParentWindow(int x, int y, int width, int height, bool visible = true)
    {
        static const bool registered = [] {
            WNDCLASSEXW windowClass{};
            windowClass.cbSize = sizeof(windowClass);
            windowClass.lpfnWndProc = testParentProc;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"ShadowTestParent";
            return RegisterClassExW(&windowClass) != 0;
        }();
        EXPECT_TRUE(registered);
        hwnd_ = CreateWindowExW(
            0, L"ShadowTestParent", L"parent",
            WS_POPUP | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | (visible ? WS_VISIBLE : 0), x, y, width,
            height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        pumpMessages();
    }
    ~ParentWindow()
    {
        if (IsWindow(hwnd_))
            DestroyWindow(hwnd_);
        pumpMessages();
    }
    ParentWindow(const ParentWindow &) = delete;
    ParentWindow &operator=(const ParentWindow &) = delete;
    HWND hwnd() const { return hwnd_; }

private:
    HWND hwnd_;
};

RECT windowRect(HWND hwnd)
{
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return rect;
}

void expectRect(HWND hwnd, int left, int top, int width, int height)
{
    const RECT rect = windowRect(hwnd);
    EXPECT_EQ(rect.left, left);
    EXPECT_EQ(rect.top, top);
    EXPECT_EQ(rect.right - rect.left, width);
    EXPECT_EQ(rect.bottom - rect.top, height);
}

void configureAsDialog(CShadowWindow &shadow)
{
    EXPECT_TRUE(shadow.setColor(0x5F5D5C));
    EXPECT_TRUE(shadow.setDarkness(100));
    EXPECT_TRUE(shadow.setSize(5));
    EXPECT_TRUE(shadow.setPosition(1, 1));
    EXPECT_TRUE(shadow.setSharpness(19));
}

bool loadTestPicture(const wchar_t *name, ShadowPicture &picture)
{
    if (std::wstring(name) != L"shadow.png")
        return false;
    picture.width = picture.height = 8;
    picture.pixels.assign(64, 0x80000000u);
    return true;
}

class ShadowWindowTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(registerShadowClass(GetModuleHandleW(nullptr))); }
    void TearDown() override { EXPECT_EQ(CShadowWindow::registeredCount(), 0); }
};

} // namespace

TEST_F(ShadowWindowTest, RegistersTheClassOnce)
{
    EXPECT_FALSE(registerShadowClass(GetModuleHandleW(nullptr)));
    WNDCLASSEXW info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), L"SkinShadowWnd", &info));
    EXPECT_EQ(info.style, UINT(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(info.cbClsExtra, 0);
    EXPECT_EQ(info.cbWndExtra, 0);
    EXPECT_EQ(info.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    EXPECT_EQ(info.hIcon, nullptr);
}

TEST_F(ShadowWindowTest, LayeredClickThroughPopupOwnedByTheParent)
{
    ParentWindow parent(100, 100, 200, 120);
    CShadowWindow shadow;
    shadow.attach(parent.hwnd());
    const HWND popup = shadow.shadowHandle();
    ASSERT_TRUE(IsWindow(popup));
    wchar_t className[64] = {};
    GetClassNameW(popup, className, int(sizeof(className) / sizeof(className[0])));
    EXPECT_STREQ(className, L"SkinShadowWnd");
    const LONG_PTR exStyle = GetWindowLongPtrW(popup, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_TRUE(exStyle & WS_EX_TRANSPARENT);
    EXPECT_EQ(GetWindowLongPtrW(popup, GWL_STYLE) & WS_POPUPWINDOW, LONG_PTR(WS_POPUPWINDOW));
    EXPECT_EQ(GetWindow(popup, GW_OWNER), parent.hwnd());
    EXPECT_TRUE(IsWindowVisible(popup));
    EXPECT_EQ(shadow.status(), 7);
    EXPECT_EQ(CShadowWindow::shadowOf(parent.hwnd()), &shadow);
    EXPECT_EQ(SendMessageW(popup, WM_MOUSEACTIVATE, 0, 0), MA_NOACTIVATE);
}

TEST_F(ShadowWindowTest, FollowsMovesAndResizes)
{
    ParentWindow parent(100, 100, 200, 120);
    // uninst's shadows come from windows with a region of their own (rounded corners).
    SetWindowRgn(parent.hwnd(), CreateRoundRectRgn(0, 0, 201, 121, 8, 8), TRUE);
    CShadowWindow shadow;
    shadow.attach(parent.hwnd());
    configureAsDialog(shadow);
    expectRect(shadow.shadowHandle(), 96, 96, 210, 130);

    SetWindowPos(parent.hwnd(), nullptr, 300, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pumpMessages();
    expectRect(shadow.shadowHandle(), 296, 46, 210, 130);

    // Shrinking renders at once.
    SetWindowPos(parent.hwnd(), nullptr, 0, 0, 150, 100,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    expectRect(shadow.shadowHandle(), 296, 46, 160, 110);

    // Growing waits for the parent's next paint.
    SetWindowPos(parent.hwnd(), nullptr, 0, 0, 240, 160,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(parent.hwnd(), nullptr, FALSE);
    UpdateWindow(parent.hwnd());
    pumpMessages();
    expectRect(shadow.shadowHandle(), 296, 46, 250, 170);
}

// A size that eats the whole parent leaves no bitmap to draw: the last shadow stays.
TEST_F(ShadowWindowTest, SizeWithoutAreaKeepsTheLastShadow)
{
    ParentWindow parent(100, 100, 30, 30);
    CShadowWindow shadow;
    shadow.attach(parent.hwnd());
    configureAsDialog(shadow);
    expectRect(shadow.shadowHandle(), 96, 96, 40, 40);
    EXPECT_TRUE(shadow.setSize(-15));
    EXPECT_TRUE(shadow.setSize(-20));
    EXPECT_EQ(shadow.parameters().size, -20);
    expectRect(shadow.shadowHandle(), 96, 96, 40, 40);
    SetWindowPos(parent.hwnd(), nullptr, 0, 0, 20, 20, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    pumpMessages();
    expectRect(shadow.shadowHandle(), 96, 96, 40, 40);
}

TEST_F(ShadowWindowTest, HiddenWhileTheParentIsMinimised)
{
    ParentWindow parent(100, 100, 200, 120);
    CShadowWindow shadow;
    shadow.attach(parent.hwnd());
    ASSERT_TRUE(IsWindowVisible(shadow.shadowHandle()));

    ShowWindow(parent.hwnd(), SW_MINIMIZE);
    pumpMessages();
    EXPECT_FALSE(IsWindowVisible(shadow.shadowHandle()));
    EXPECT_FALSE(shadow.status() & ShadowState::ShadowShown);

    ShowWindow(parent.hwnd(), SW_RESTORE);
    pumpMessages();
    EXPECT_TRUE(IsWindowVisible(shadow.shadowHandle()));
    EXPECT_TRUE(shadow.status() & ShadowState::ShadowShown);

    ShowWindow(parent.hwnd(), SW_HIDE);
    pumpMessages();
    EXPECT_FALSE(IsWindowVisible(shadow.shadowHandle()));
    EXPECT_EQ(shadow.status(), ShadowState::Enabled);
}

TEST_F(ShadowWindowTest, HiddenParentGivesHiddenShadowUntilShown)
{
    ParentWindow parent(100, 100, 200, 120, false);
    CShadowWindow shadow;
    shadow.attach(parent.hwnd());
    EXPECT_EQ(shadow.status(), ShadowState::Enabled);
    EXPECT_FALSE(IsWindowVisible(shadow.shadowHandle()));
    ShowWindow(parent.hwnd(), SW_SHOWNA);
    pumpMessages();
    EXPECT_TRUE(IsWindowVisible(shadow.shadowHandle()));
    EXPECT_EQ(shadow.status(), 7);
}

TEST_F(ShadowWindowTest, DestroyingTheParentRemovesShadowAndEntry)
{
    auto shadow = std::make_unique<CShadowWindow>();
    HWND popup = nullptr;
    {
        ParentWindow parent(100, 100, 200, 120);
        shadow->attach(parent.hwnd());
        popup = shadow->shadowHandle();
        EXPECT_EQ(CShadowWindow::registeredCount(), 1);
    }
    EXPECT_EQ(CShadowWindow::registeredCount(), 0);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_TRUE(shadow->setSize(3)); // nothing to render into: harmless
    shadow.reset();
}

TEST_F(ShadowWindowTest, DeletingTheShadowFirstGivesTheParentItsProcedureBack)
{
    ParentWindow parent(100, 100, 200, 120);
    auto shadow = std::make_unique<CShadowWindow>();
    shadow->attach(parent.hwnd());
    const HWND popup = shadow->shadowHandle();
    EXPECT_NE(GetWindowLongPtrW(parent.hwnd(), GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(&testParentProc));
    shadow.reset();
    EXPECT_EQ(GetWindowLongPtrW(parent.hwnd(), GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(&testParentProc));
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(CShadowWindow::registeredCount(), 0);
    EXPECT_EQ(SendMessageW(parent.hwnd(), kPingMessage, 0, 0), kPingAnswer);
}

TEST_F(ShadowWindowTest, ParentKeepsItsProcedureWhenSubclassedOverTheShadow)
{
    ParentWindow parent(100, 100, 200, 120);
    auto shadow = std::make_unique<CShadowWindow>();
    shadow->attach(parent.hwnd());
    // Someone subclasses on top of the shadow, then the shadow goes away.
    static WNDPROC below = nullptr;
    below = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(parent.hwnd(), GWLP_WNDPROC));
    const WNDPROC outer = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        return CallWindowProcW(below, hwnd, message, wParam, lParam);
    };
    SetWindowLongPtrW(parent.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(outer));
    shadow.reset();
    EXPECT_EQ(CShadowWindow::registeredCount(), 0);
    EXPECT_EQ(SendMessageW(parent.hwnd(), kPingMessage, 0, 0), kPingAnswer);
    SetWindowPos(parent.hwnd(), nullptr, 20, 20, 90, 90, SWP_NOZORDER | SWP_NOACTIVATE);
    pumpMessages();
}

TEST_F(ShadowWindowTest, OneShadowPerParent)
{
    ParentWindow parent(100, 100, 200, 120);
    CShadowWindow first, second;
    first.attach(parent.hwnd());
    second.attach(parent.hwnd());
    first.attach(parent.hwnd());
    EXPECT_EQ(CShadowWindow::registeredCount(), 1);
    EXPECT_EQ(second.shadowHandle(), nullptr);
    EXPECT_EQ(second.status(), 0);
}

struct SetterCase
{
    const char *name;
    bool (*apply)(CShadowWindow &);
    bool accepted;
};

TEST_F(ShadowWindowTest, SetterRanges)
{
    const SetterCase cases[] = {
        {"size 20", [](CShadowWindow &s) { return s.setSize(20); }, true},
        {"size -20", [](CShadowWindow &s) { return s.setSize(-20); }, true},
        {"size 21", [](CShadowWindow &s) { return s.setSize(21); }, false},
        {"size -21", [](CShadowWindow &s) { return s.setSize(-21); }, false},
        {"sharpness 20", [](CShadowWindow &s) { return s.setSharpness(20); }, true},
        {"sharpness 21", [](CShadowWindow &s) { return s.setSharpness(21); }, false},
        {"darkness 255", [](CShadowWindow &s) { return s.setDarkness(255); }, true},
        {"darkness 256", [](CShadowWindow &s) { return s.setDarkness(256); }, false},
        {"position -20,20", [](CShadowWindow &s) { return s.setPosition(-20, 20); }, true},
        {"position 21,0", [](CShadowWindow &s) { return s.setPosition(21, 0); }, false},
        {"position 0,-21", [](CShadowWindow &s) { return s.setPosition(0, -21); }, false},
    };
    for (const SetterCase &c : cases) {
        CShadowWindow shadow;
        EXPECT_EQ(c.apply(shadow), c.accepted) << c.name;
        if (!c.accepted) {
            const ShadowParameters &p = shadow.parameters();
            EXPECT_EQ(p.darkness, 150) << c.name;
            EXPECT_EQ(p.sharpness, 5) << c.name;
            EXPECT_EQ(p.size, 0) << c.name;
            EXPECT_EQ(p.xOffset, 5) << c.name;
            EXPECT_EQ(p.yOffset, 5) << c.name;
        }
    }
}

TEST_F(ShadowWindowTest, PictureModeGrowsTheWindowByItsMargins)
{
    ParentWindow parent(100, 100, 200, 120);
    CShadowWindow shadow;
    shadow.attach(parent.hwnd());
    EXPECT_FALSE(shadow.setImage(L"shadow.png", 4, 6, 8, 10, 0, 0, 0, 0)); // no loader yet
    CShadowWindow::setPictureLoader(&loadTestPicture);
    EXPECT_FALSE(shadow.setImage(L"missing.png", 4, 6, 8, 10, 0, 0, 0, 0));
    EXPECT_TRUE(shadow.setImage(L"shadow.png", 4, 6, 8, 10, 0, 0, 0, 0));
    expectRect(shadow.shadowHandle(), 96, 94, 212, 136);
    SetWindowPos(parent.hwnd(), nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pumpMessages();
    expectRect(shadow.shadowHandle(), 6, 14, 212, 136);
    CShadowWindow::setPictureLoader(nullptr);
}
