#include "TestWindow.h"

#include "ControlUI.h"
#include "DialogBuilder.h"

#include <stdexcept>
#include <string>

namespace SkinUI {
namespace Testing {

namespace {

const wchar_t kWindowClass[] = L"SkinUITestWindow";

void RegisterTestClass(WNDPROC procedure)
{
    WNDCLASSW windowClass = {};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);
}

} // namespace

int Pixels::CountRgb(DWORD rgb, const RECT &area) const
{
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (RgbAt(x, y) == (rgb & 0x00FFFFFF))
                ++count;
        }
    }
    return count;
}

Pixels ReadBitmap(HBITMAP bitmap)
{
    Pixels pixels;
    BITMAP info = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info))
        return pixels;
    pixels.width = info.bmWidth;
    pixels.height = info.bmHeight;
    pixels.data.assign(static_cast<size_t>(info.bmWidth) * info.bmHeight, 0);
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof(header.bmiHeader);
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = -info.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, info.bmHeight, pixels.data.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return pixels;
}

TestWindow::TestWindow(int width, int height, DWORD extendedStyle)
    : m_manager(new CWindowManagerUI), m_width(width), m_height(height)
{
    RegisterTestClass(&TestWindow::WindowProc);
    m_window = CreateWindowExW(extendedStyle, kWindowClass, L"SkinUI test", WS_POPUP, 0, 0, width,
                               height, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!m_window) {
        // Said here, where it happens: every check of the test would fail far from the cause.
        const DWORD error = GetLastError();
        delete m_manager;
        throw std::runtime_error("the test window could not be made (error " +
                                 std::to_string(error) + ")");
    }
    m_manager->Init(m_window, L"test");
    m_manager->AddNotifier(&m_notifier);
}

TestWindow::~TestWindow()
{
    if (m_window)
        DestroyWindow(m_window);
    delete m_manager;
}

void TestWindow::Attach(CControlUI *root)
{
    m_manager->AttachRootControl(root);
    RECT client;
    GetClientRect(m_window, &client);
    root->SetPos(client, false);
}

CControlUI *TestWindow::AttachSkin(const wchar_t *skin)
{
    CDialogBuilder builder;
    CControlUI *root = builder.CreateFromSource(skin, nullptr, nullptr, m_manager);
    if (root)
        Attach(root);
    return root;
}

void TestWindow::Show()
{
    ShowWindow(m_window, SW_SHOWNOACTIVATE);
}

LRESULT CALLBACK TestWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *create = reinterpret_cast<CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto *self = reinterpret_cast<TestWindow *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    self->seenMessages.push_back(message);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->m_window = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (self->m_manager->MessageHandler(message, wParam, lParam, result))
        return result;
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT TestWindow::Send(UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendMessageW(m_window, message, wParam, lParam);
}

BOOL TestWindow::Post(UINT message, WPARAM wParam, LPARAM lParam)
{
    return PostMessageW(m_window, message, wParam, lParam);
}

POINT TestWindow::ToScreen(int x, int y) const
{
    POINT point = {x, y};
    ClientToScreen(m_window, &point);
    return point;
}

std::vector<HWND> TestWindow::ChildWindows() const
{
    std::vector<HWND> children;
    EnumChildWindows(
        m_window,
        [](HWND child, LPARAM list) -> BOOL {
            reinterpret_cast<std::vector<HWND> *>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

void TestWindow::MouseMove(int x, int y, WPARAM keys)
{
    Send(WM_MOUSEMOVE, keys, PointParam(x, y));
}
void TestWindow::LeftDown(int x, int y, WPARAM keys)
{
    Send(WM_LBUTTONDOWN, keys, PointParam(x, y));
}
void TestWindow::LeftUp(int x, int y, WPARAM keys)
{
    Send(WM_LBUTTONUP, keys, PointParam(x, y));
}

void TestWindow::Click(int x, int y)
{
    LeftDown(x, y);
    LeftUp(x, y);
}

void TestWindow::DoubleClick(int x, int y)
{
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, PointParam(x, y));
}

void TestWindow::RightDown(int x, int y)
{
    Send(WM_RBUTTONDOWN, MK_RBUTTON, PointParam(x, y));
}

void TestWindow::Wheel(int x, int y, int delta)
{
    POINT screen = ToScreen(x, y);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))),
         PointParam(screen.x, screen.y));
}

void TestWindow::KeyDown(WPARAM virtualKey, LPARAM lParam)
{
    Send(WM_KEYDOWN, virtualKey, lParam);
}
void TestWindow::KeyUp(WPARAM virtualKey)
{
    Send(WM_KEYUP, virtualKey, 0xC0000001);
}
void TestWindow::Char(wchar_t ch)
{
    Send(WM_CHAR, ch, 1);
}
void TestWindow::Tick(UINT windowsTimerId)
{
    Send(WM_TIMER, windowsTimerId, 0);
}

bool TestWindow::Dispatch(MSG &message)
{
    if (CWindowManagerUI::TranslateMessage(&message))
        return true;
    ::TranslateMessage(&message);
    DispatchMessageW(&message);
    return false;
}

bool TestWindow::PumpUntil(const std::function<bool()> &condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) {
            // A thread held up longer than the bound must still see what was sent to it.
            PumpPending();
            return condition();
        }
        MSG message;
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            Dispatch(message);
        else
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

void TestWindow::PumpPending()
{
    MSG message;
    for (int i = 0; i < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i)
        Dispatch(message);
}

Pixels TestWindow::PaintTree(DWORD background)
{
    Pixels pixels;
    CControlUI *root = m_manager->GetRoot();
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof(header.bmiHeader);
    header.bmiHeader.biWidth = m_width;
    header.bmiHeader.biHeight = -m_height;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP dib = CreateDIBSection(dc, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib) {
        DeleteDC(dc);
        return pixels;
    }
    HGDIOBJ previous = SelectObject(dc, dib);
    auto *words = static_cast<DWORD *>(bits);
    for (int i = 0; i < m_width * m_height; ++i)
        words[i] = background;
    RECT area = {0, 0, m_width, m_height};
    if (root)
        root->Paint(dc, area, nullptr);
    GdiFlush();
    pixels.width = m_width;
    pixels.height = m_height;
    pixels.data.assign(words, words + m_width * m_height);
    SelectObject(dc, previous);
    DeleteObject(dib);
    DeleteDC(dc);
    return pixels;
}

Pixels TestWindow::PaintWindow()
{
    Show();
    InvalidateRect(m_window, nullptr, FALSE);
    UpdateWindow(m_window);
    return ReadBitmap(m_manager->GetOffscreenBitmap());
}

} // namespace Testing
} // namespace SkinUI
