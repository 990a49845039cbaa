#include "WindowImplBase.h"

#include "ControlUI.h"
#include "ValueText.h"

#include <cwchar>

namespace SkinUI {

namespace {

const wchar_t kPackageResourceType[] = L"ZIPRES";
const wchar_t kXmlResourceType[] = L"xml";

const NotifyMapEntry kWindowImplBaseEntries[] = {
    NotifyOn(L"click", L"", &WindowImplBase::OnClick),
    NotifyMapEnd(),
};

LRESULT Decline(bool &handled)
{
    handled = false;
    return 0;
}

MONITORINFO NearestMonitor(HWND window)
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor;
}

bool IsCaptionPassThroughClass(const wchar_t *className)
{
    return _wcsicmp(className, L"Button") == 0 || _wcsicmp(className, L"Option") == 0 ||
           _wcsicmp(className, L"Text") == 0;
}

// The bytes of a "ZIPRES" program resource, or false when it is missing, cannot be loaded
// or is empty.
bool FindPackageResource(const wchar_t *id, const void *&data, DWORD &size)
{
    HINSTANCE module = CWindowManagerUI::GetResourceInstance();
    HRSRC found = FindResourceW(module, id, kPackageResourceType);
    if (!found)
        return false;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded)
        return false;
    data = LockResource(loaded);
    size = SizeofResource(module, found);
    return data && size > 0;
}

} // namespace

const NotifyMap WindowImplBase::kMessageMap = {&CNotifyPump::kMessageMap, kWindowImplBaseEntries};
const wchar_t *const WindowImplBase::kSkinLoadFailedText = L"加载资源文件失败";
const wchar_t *const WindowImplBase::kSkinLoadFailedCaption = L"SkinUI";

WindowImplBase::WindowImplBase() = default;

WindowImplBase::~WindowImplBase() = default;

const wchar_t *WindowImplBase::GetSuperClassName() const
{
    return nullptr;
}

UINT WindowImplBase::GetClassStyle() const
{
    return CS_DBLCLKS;
}

const NotifyMap *WindowImplBase::GetMessageMap() const
{
    return &kMessageMap;
}

void WindowImplBase::Notify(NotifyMessage &message)
{
    Dispatch(message);
}

CControlUI *WindowImplBase::CreateControl(const wchar_t *)
{
    return nullptr;
}

void WindowImplBase::InitWindow() {}

bool WindowImplBase::OnClick(NotifyMessage &message)
{
    if (!message.sender)
        return false;
    const CWideString &name = message.sender->GetName();
    if (name == L"closebtn") {
        Close(1);
        return true;
    }
    static const struct
    {
        const wchar_t *name;
        WPARAM command;
    } kCommands[] = {
        {L"minbtn", SC_MINIMIZE}, {L"maxbtn", SC_MAXIMIZE}, {L"restorebtn", SC_RESTORE}};
    for (const auto &entry : kCommands) {
        if (name == entry.name) {
            SendMessage(WM_SYSCOMMAND, entry.command, 0);
            return true;
        }
    }
    return false;
}

bool WindowImplBase::OnDefaultKey(WPARAM key)
{
    if (key != VK_ESCAPE)
        return false;
    Close(1);
    return true;
}

ResourceSourceKind WindowImplBase::GetResourceType() const
{
    return SourceDirectory;
}

const wchar_t *WindowImplBase::GetPackageFileName() const
{
    return L"";
}

const wchar_t *WindowImplBase::GetResourceID() const
{
    return L"";
}

LONG_PTR WindowImplBase::GetStyle()
{
    return GetWindowLongPtrW(m_hWnd, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_CAPTION);
}

LRESULT WindowImplBase::MessageHandler(UINT message, WPARAM wParam, LPARAM, bool &)
{
    if (message == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE))
        return OnDefaultKey(wParam) ? TRUE : FALSE;
    return 0;
}

// ---- Message routing ----

LRESULT WindowImplBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    bool handled = true;
    LRESULT result = RouteMessage(message, wParam, lParam, handled);
    if (handled)
        return result;
    result = HandleCustomMessage(message, wParam, lParam, handled);
    if (handled)
        return result;
    if (m_manager.MessageHandler(message, wParam, lParam, result))
        return result;
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

LRESULT WindowImplBase::RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, bool &handled)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(message, wParam, lParam, handled);
    case WM_CLOSE:
        return OnClose(message, wParam, lParam, handled);
    case WM_DESTROY:
        return OnDestroy(message, wParam, lParam, handled);
    case WM_NCACTIVATE:
        return OnNcActivate(message, wParam, lParam, handled);
    case WM_NCCALCSIZE:
        return OnNcCalcSize(message, wParam, lParam, handled);
    case WM_NCPAINT:
        return OnNcPaint(message, wParam, lParam, handled);
    case WM_NCHITTEST:
        return OnNcHitTest(message, wParam, lParam, handled);
    case WM_GETMINMAXINFO:
        return OnGetMinMaxInfo(message, wParam, lParam, handled);
    case WM_MOUSEWHEEL:
        return OnMouseWheel(message, wParam, lParam, handled);
    case WM_MOUSEHOVER:
        return OnMouseHover(message, wParam, lParam, handled);
    case WM_SIZE:
        return OnSize(message, wParam, lParam, handled);
    case WM_CHAR:
        return OnChar(message, wParam, lParam, handled);
    case WM_SYSCOMMAND:
        return OnSysCommand(message, wParam, lParam, handled);
    case WM_KEYDOWN:
        return OnKeyDown(message, wParam, lParam, handled);
    case WM_KILLFOCUS:
        return OnKillFocus(message, wParam, lParam, handled);
    case WM_SETFOCUS:
        return OnSetFocus(message, wParam, lParam, handled);
    case WM_LBUTTONDOWN:
        return OnLButtonDown(message, wParam, lParam, handled);
    case WM_LBUTTONUP:
        return OnLButtonUp(message, wParam, lParam, handled);
    case WM_MOUSEMOVE:
        return OnMouseMove(message, wParam, lParam, handled);
    default:
        handled = false;
        return 0;
    }
}

void WindowImplBase::OnFinalMessage(HWND)
{
    m_manager.RemovePreMessageFilter(this);
    m_manager.RemoveNotifier(this);
    m_manager.ForgetControl(m_manager.GetRoot());
}

// ---- Operations that decline by default ----

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, bool &handled)
{
    return Decline(handled);
}
LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, bool &handled)
{
    return Decline(handled);
}
LRESULT WindowImplBase::OnMouseWheel(UINT, WPARAM, LPARAM, bool &handled)
{
    return Decline(handled);
}
LRESULT WindowImplBase::OnMouseHover(UINT, WPARAM, LPARAM, bool &handled)
{
    return Decline(handled);
}
LRESULT WindowImplBase::OnChar(UINT, WPARAM, LPARAM, bool &handled)
{
    return Decline(handled);
}
LRESULT WindowImplBase::OnKeyDown(UINT, WPARAM, LPARAM, bool &handled)
{
    return Decline(handled);
}
LRESULT WindowImplBase::OnKillFocus(UINT, WPARAM, LPARAM, bool &handled)
{
    return Decline(handled);
}
LRESULT WindowImplBase::OnSetFocus(UINT, WPARAM, LPARAM, bool &handled)
{
    return Decline(handled);
}
LRESULT WindowImplBase::OnLButtonDown(UINT, WPARAM, LPARAM, bool &handled)
{
    return Decline(handled);
}
LRESULT WindowImplBase::OnLButtonUp(UINT, WPARAM, LPARAM, bool &handled)
{
    return Decline(handled);
}
LRESULT WindowImplBase::OnMouseMove(UINT, WPARAM, LPARAM, bool &handled)
{
    return Decline(handled);
}
LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, bool &handled)
{
    return Decline(handled);
}

// ---- Non-client area ----

bool WindowImplBase::IsMaximized() const
{
    return IsZoomed(m_hWnd) != FALSE;
}

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, bool &handled)
{
    if (IsIconic(m_hWnd))
        handled = false;
    return wParam == 0 ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM lParam, bool &)
{
    if (!IsMaximized())
        return 0;
    // Either form of the message starts with the proposed window rectangle.
    auto *proposed = reinterpret_cast<RECT *>(lParam);
    const RECT work = NearestMonitor(m_hWnd).rcWork;
    proposed->right = proposed->left + (work.right - work.left);
    proposed->bottom = proposed->top + (work.bottom - work.top);
    return WVR_HREDRAW | WVR_VREDRAW;
}

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, bool &)
{
    return 0;
}

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, bool &)
{
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ScreenToClient(m_hWnd, &point);
    RECT client;
    GetClientRect(m_hWnd, &client);

    if (!IsMaximized()) {
        const RECT box = m_manager.GetSizeBox();
        const bool left = point.x < client.left + box.left;
        const bool right = point.x > client.right - box.right;
        if (point.y < client.top + box.top)
            return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
        if (point.y > client.bottom - box.bottom)
            return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
        if (left)
            return HTLEFT;
        if (right)
            return HTRIGHT;
    }

    const RECT caption = m_manager.GetCaptionRect();
    if (point.x < client.left + caption.left || point.x >= client.right - caption.right)
        return HTCLIENT;
    if (point.y >= caption.top && point.y < caption.bottom) {
        CControlUI *control = m_manager.FindControlAtPoint(point);
        if (control && !IsCaptionPassThroughClass(control->GetClass()))
            return HTCAPTION;
    }
    return HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, bool &handled)
{
    auto *info = reinterpret_cast<MINMAXINFO *>(lParam);
    const MONITORINFO monitor = NearestMonitor(m_hWnd);
    const RECT &work = monitor.rcWork;
    info->ptMaxPosition.x = work.left - monitor.rcMonitor.left;
    info->ptMaxPosition.y = work.top - monitor.rcMonitor.top;
    info->ptMaxTrackSize.x = work.right - work.left;
    info->ptMaxTrackSize.y = work.bottom - work.top;
    const SIZE minimum = m_manager.GetMinInfo();
    info->ptMinTrackSize.x = minimum.cx;
    info->ptMinTrackSize.y = minimum.cy;
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM, LPARAM, bool &handled)
{
    const SIZE corner = m_manager.GetRoundCorner();
    if ((corner.cx != 0 || corner.cy != 0) && !IsIconic(m_hWnd)) {
        RECT window;
        GetWindowRect(m_hWnd, &window);
        HRGN region = CreateRoundRectRgn(0, 0, window.right - window.left + 1,
                                         window.bottom - window.top + 1, corner.cx, corner.cy);
        // The window owns the region from here on.
        if (region && !SetWindowRgn(m_hWnd, region, TRUE))
            DeleteObject(region);
    }
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool &)
{
    if (wParam == SC_CLOSE) {
        SendMessage(WM_CLOSE);
        return 0;
    }
    const bool wasMaximized = IsMaximized();
    LRESULT result = CWindowWnd::HandleMessage(message, wParam, lParam);
    if (wasMaximized != IsMaximized())
        ShowMaxRestoreButtons(wasMaximized);
    return result;
}

void WindowImplBase::ShowMaxRestoreButtons(bool wasMaximized)
{
    CControlUI *maxButton = m_manager.FindControlByName(L"maxbtn");
    CControlUI *restoreButton = m_manager.FindControlByName(L"restorebtn");
    if (!maxButton || !restoreButton)
        return;
    maxButton->SetVisible(wasMaximized);
    restoreButton->SetVisible(!wasMaximized);
}

// ---- Skin ----

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, bool &)
{
    LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    style = (style & ~static_cast<LONG_PTR>(WS_CAPTION)) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    SetWindowLongPtrW(m_hWnd, GWL_STYLE, style);
    RECT client;
    GetClientRect(m_hWnd, &client);
    SetWindowPos(m_hWnd, nullptr, client.left, client.top, client.right - client.left,
                 client.bottom - client.top, SWP_FRAMECHANGED);

    m_manager.Init(m_hWnd);
    m_manager.AddPreMessageFilter(this);

    CControlUI *root = SelectSkinSource() ? BuildSkin() : nullptr;
    if (!root) {
        // A window without its skin would be an empty frame nobody can use or close.
        MessageBoxW(nullptr, kSkinLoadFailedText, kSkinLoadFailedCaption, MB_ICONERROR);
        ExitProcess(1);
    }
    m_manager.AttachRootControl(root);
    m_manager.AddNotifier(this);
    InitWindow();
    return 0;
}

// Points the process's skin source at this window's skin; false when a package resource
// it names is missing, cannot be loaded or is empty.
bool WindowImplBase::SelectSkinSource()
{
    const CWideString present = CWindowManagerUI::GetResourcePath();
    if (present.IsEmpty())
        CWindowManagerUI::SetResourcePath(
            (CWindowManagerUI::GetInstancePath() + GetSkinFolder()).GetData());
    else
        CWindowManagerUI::SetResourcePath(present.GetData());

    switch (GetResourceType()) {
    case SourceZipFile:
        CWindowManagerUI::SetResourcePackageFile(GetPackageFileName(), true);
        return true;
    case SourcePackageResource: {
        const void *data = nullptr;
        DWORD size = 0;
        if (!FindPackageResource(GetResourceID(), data, size))
            return false;
        CWindowManagerUI::SetResourcePackageCopy(data, size);
        return true;
    }
    default:
        return true;
    }
}

CControlUI *WindowImplBase::BuildSkin()
{
    CDialogBuilder builder;
    if (GetResourceType() == SourceXmlResource) {
        const auto id = static_cast<unsigned int>(ValueText::ReadInteger(GetSkinFile()));
        return builder.CreateFromSource(id, kXmlResourceType, this, &m_manager);
    }
    return builder.CreateFromSource(GetSkinFile(), nullptr, this, &m_manager);
}

} // namespace SkinUI
