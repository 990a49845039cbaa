#include "WindowWnd.h"

#include "WindowManagerUI.h"

namespace SkinUI {

namespace {

const wchar_t kObjectProperty[] = L"WndX";

// Binding of the window to its object, through the user data (own classes) or a window
// property (superclasses, whose user data belongs to the class they extend).
struct Binding
{
    bool useProperty;

    CWindowWnd *Get(HWND window) const
    {
        if (useProperty)
            return static_cast<CWindowWnd *>(GetPropW(window, kObjectProperty));
        return reinterpret_cast<CWindowWnd *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }

    void Set(HWND window, CWindowWnd *object) const
    {
        if (useProperty)
            SetPropW(window, kObjectProperty, object);
        else
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    }
};

} // namespace

LRESULT CWindowWnd::Route(bool useProperty, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Binding binding{useProperty};
    CWindowWnd *object = nullptr;
    if (message == WM_NCCREATE) {
        object =
            static_cast<CWindowWnd *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        if (object) {
            object->m_hWnd = window;
            binding.Set(window, object);
        }
    } else {
        object = binding.Get(window);
        if (message == WM_NCDESTROY && object) {
            LRESULT result = CallWindowProcW(object->m_oldWndProc, window, message, wParam, lParam);
            binding.Set(window, nullptr);
            object->m_hWnd = nullptr;
            object->OnFinalMessage(window);
            return result;
        }
    }
    if (object)
        return object->HandleMessage(message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

CWindowWnd::CWindowWnd() : m_hWnd(nullptr), m_oldWndProc(DefWindowProcW) {}

const wchar_t *CWindowWnd::GetSuperClassName() const
{
    return nullptr;
}
UINT CWindowWnd::GetClassStyle() const
{
    return 0;
}

LRESULT CWindowWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(m_oldWndProc, m_hWnd, message, wParam, lParam);
}

void CWindowWnd::OnFinalMessage(HWND) {}

bool CWindowWnd::RegisterWindowClass()
{
    WNDCLASSW windowClass = {};
    windowClass.style = GetClassStyle();
    windowClass.lpfnWndProc = &CWindowWnd::StaticWindowProc;
    windowClass.hInstance = CWindowManagerUI::GetInstance();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = GetWindowClassName();
    return RegisterClassW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWindowWnd::RegisterSuperclass()
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    const wchar_t *super = GetSuperClassName();
    if (!GetClassInfoExW(nullptr, super, &windowClass) &&
        !GetClassInfoExW(CWindowManagerUI::GetInstance(), super, &windowClass))
        return false;
    m_oldWndProc = windowClass.lpfnWndProc;
    windowClass.lpfnWndProc = &CWindowWnd::StaticSubclassProc;
    windowClass.hInstance = CWindowManagerUI::GetInstance();
    windowClass.lpszClassName = GetWindowClassName();
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CWindowWnd::Create(HWND parent, const wchar_t *title, DWORD style, DWORD extendedStyle, int x,
                        int y, int width, int height, HMENU menu)
{
    bool registered = GetSuperClassName() ? RegisterSuperclass() : RegisterWindowClass();
    if (!registered)
        return nullptr;
    m_hWnd = CreateWindowExW(extendedStyle, GetWindowClassName(), title, style, x, y, width, height,
                             parent, menu, CWindowManagerUI::GetInstance(), this);
    return m_hWnd;
}

HWND CWindowWnd::Create(HWND parent, const wchar_t *title, DWORD style, DWORD extendedStyle,
                        const RECT &rect, HMENU menu)
{
    return Create(parent, title, style, extendedStyle, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, menu);
}

LRESULT CALLBACK CWindowWnd::StaticWindowProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam)
{
    return Route(false, window, message, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::StaticSubclassProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam)
{
    return Route(true, window, message, wParam, lParam);
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus)
{
    if (!IsWindow(m_hWnd))
        return;
    ::ShowWindow(m_hWnd, show ? (takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

UINT CWindowWnd::ShowModal()
{
    // The object may delete itself on its final message: after the loop only locals are used.
    HWND window = m_hWnd;
    HWND owner = GetWindow(window, GW_OWNER);
    ::ShowWindow(window, SW_SHOWNORMAL);
    if (owner)
        EnableWindow(owner, FALSE);
    UINT result = 0;
    bool quit = false;
    WPARAM quitCode = 0;
    MSG message;
    while (IsWindow(window)) {
        BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            quitCode = message.wParam;
            break;
        }
        if (got == -1)
            break;
        if (message.hwnd == window && message.message == WM_CLOSE) {
            result = static_cast<UINT>(message.wParam);
            if (owner) {
                EnableWindow(owner, TRUE);
                ::SetFocus(owner);
            }
        }
        if (!CWindowManagerUI::TranslateMessage(&message)) {
            ::TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (owner) {
        EnableWindow(owner, TRUE);
        ::SetFocus(owner);
    }
    if (quit)
        PostQuitMessage(static_cast<int>(quitCode));
    return result;
}

void CWindowWnd::Close(UINT result)
{
    if (IsWindow(m_hWnd))
        ::PostMessageW(m_hWnd, WM_CLOSE, result, 0);
}

void CWindowWnd::CenterWindow()
{
    if (!IsWindow(m_hWnd))
        return;
    RECT window;
    GetWindowRect(m_hWnd, &window);
    HWND owner = GetWindow(m_hWnd, GW_OWNER);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(owner ? owner : m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT &work = monitor.rcWork;
    RECT centre = work;
    if (owner && !IsIconic(owner))
        GetWindowRect(owner, &centre);
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    int x = (centre.left + centre.right) / 2 - width / 2;
    int y = (centre.top + centre.bottom) / 2 - height / 2;
    if (x < work.left)
        x = work.left;
    else if (x + width > work.right)
        x = work.right - width;
    if (y < work.top)
        y = work.top;
    else if (y + height > work.bottom)
        y = work.bottom - height;
    SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::SetIcon(UINT resourceId)
{
    HINSTANCE instance = CWindowManagerUI::GetInstance();
    HANDLE big = LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                            GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0);
    if (big)
        ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    HANDLE smallIcon = LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                  GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0);
    if (smallIcon)
        ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
}

LRESULT CWindowWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWindowWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

} // namespace SkinUI
