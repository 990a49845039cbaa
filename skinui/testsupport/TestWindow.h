#pragma once

#include "RecordingNotifier.h"
#include "WindowManagerUI.h"

#include <windows.h>

#include <functional>
#include <vector>

namespace SkinUI {

class CControlUI;

namespace Testing {

// 32-bit pixels read back from a bitmap, top row first; a pixel is 0xAARRGGBB.
struct Pixels
{
    int width = 0;
    int height = 0;
    std::vector<DWORD> data;

    DWORD At(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
    // The colour without its alpha byte, as GDI leaves alpha undefined in plain drawing.
    DWORD RgbAt(int x, int y) const { return At(x, y) & 0x00FFFFFF; }
    int CountRgb(DWORD rgb, const RECT &area) const;
};

// Reads a bitmap (a DIB section or a device-dependent bitmap) as 32-bit top-down pixels.
Pixels ReadBitmap(HBITMAP bitmap);

// A real top-level window with a window manager, for tests of the window machinery: its
// messages go to the manager's message handler, notifications to a recording listener.
// The window starts hidden at the top-left of the screen; painting tests show it without
// activating it. Every wait is bounded.
class TestWindow
{
public:
    explicit TestWindow(int width = 200, int height = 100, DWORD extendedStyle = 0);
    TestWindow(const TestWindow &) = delete;
    TestWindow &operator=(const TestWindow &) = delete;
    ~TestWindow();

    CWindowManagerUI &Manager() { return *m_manager; }
    HWND Handle() const { return m_window; }
    RecordingNotifier &Notifications() { return m_notifier; }

    // Attaches the tree as the manager's root and places it over the client area.
    void Attach(CControlUI *root);
    // Builds a skin (markup text, or the name of a skin file in the skin source) with the
    // dialog builder for this window and attaches what it built; returns the root or null.
    CControlUI *AttachSkin(const wchar_t *skin);
    void Show();

    // Input, sent synchronously to the window as the system would deliver it. Points are in
    // client coordinates.
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void MouseMove(int x, int y, WPARAM keys = 0);
    void LeftDown(int x, int y, WPARAM keys = MK_LBUTTON);
    void LeftUp(int x, int y, WPARAM keys = 0);
    void Click(int x, int y);
    void DoubleClick(int x, int y);
    void RightDown(int x, int y);
    void Wheel(int x, int y, int delta);
    void KeyDown(WPARAM virtualKey, LPARAM lParam = 1);
    void KeyUp(WPARAM virtualKey);
    void Char(wchar_t ch);
    // A timer tick of the given Windows timer id.
    void Tick(UINT windowsTimerId);

    // The bound of a wait on what the window does. Every Wine program of a test run shares
    // one wineserver, which a loaded machine runs late: the bound is a safety net only.
    static constexpr DWORD kWaitMs = 60000;

    // Runs the message loop (with the framework's pre-translation) until the condition holds
    // or the time is up; returns whether the condition held. Whatever waits in the queue when
    // the time is up still runs, so a fixed pump after posting is never cut short by a busy
    // machine.
    static bool PumpUntil(const std::function<bool()> &condition, DWORD timeoutMs = kWaitMs);
    // Runs every message that is waiting now.
    static void PumpPending();
    // Routes one message through the framework's pre-translation, then to the window
    // procedure when nothing consumed it; returns whether the pre-translation consumed it.
    static bool Dispatch(MSG &message);

    // Paints the tree straight into a DIB of the client size and reads it.
    Pixels PaintTree(DWORD background = 0xFF000000);
    // Lets the manager paint the whole window (WM_PAINT) and reads its offscreen bitmap.
    Pixels PaintWindow();

    static LPARAM PointParam(int x, int y) { return MAKELPARAM(x, y); }
    POINT ToScreen(int x, int y) const;
    // Every native window below this one, parents before their children.
    std::vector<HWND> ChildWindows() const;

    // Window messages seen by the window procedure, oldest first.
    std::vector<UINT> seenMessages;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
    CWindowManagerUI *m_manager = nullptr;
    RecordingNotifier m_notifier;
    int m_width;
    int m_height;
};

} // namespace Testing
} // namespace SkinUI
