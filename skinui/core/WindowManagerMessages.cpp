#include "WindowManagerUI.h"

#include "ControlUI.h"

#include <windowsx.h>

namespace SkinUI {

namespace {

POINT PointOf(LPARAM lParam)
{
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

WORD LowKeys(WPARAM wParam)
{
    return static_cast<WORD>(wParam & 0xFFFF);
}

} // namespace

CControlUI *CWindowManagerUI::ControlAtPointOfThisManager(POINT point) const
{
    CControlUI *control = FindControlAtPoint(point);
    return control && control->GetManager() == this ? control : nullptr;
}

bool CWindowManagerUI::StoreMouseFromFilter(UINT message, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        m_mousePoint = PointOf(lParam);
        return true;
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL: {
        POINT point = PointOf(lParam);
        ScreenToClient(m_paintWindow, &point);
        m_mousePoint = point;
        return true;
    }
    default:
        return false;
    }
}

bool CWindowManagerUI::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result)
{
    if (!m_paintWindow)
        return false;

    CPointerArray filters(m_messageFilters);
    for (int i = 0; i < filters.GetCount(); ++i) {
        bool handled = false;
        LRESULT answer = static_cast<IMessageFilterUI *>(filters[i])
                             ->MessageHandler(message, wParam, lParam, handled);
        if (handled) {
            result = answer;
            StoreMouseFromFilter(message, lParam);
            return true;
        }
    }

    if (m_layered) {
        switch (message) {
        case WM_NCCALCSIZE:
        case WM_NCPAINT:
            result = 0;
            return true;
        case WM_NCACTIVATE:
            if (!IsIconic(m_paintWindow)) {
                result = wParam == 0 ? 1 : 0;
                return true;
            }
            break;
        default:
            break;
        }
    }

    switch (message) {
    case kDrainMessage:
        DrainQueue();
        return false;
    case WM_SIZE:
        if (m_focus)
            SendEvent(m_focus, EventWindowSize, wParam, lParam);
        if (m_root)
            m_root->MarkNeedsLayout();
        if (m_layered)
            InvalidateAll();
        return true;
    case WM_KILLFOCUS:
        HandleKillFocus(reinterpret_cast<HWND>(wParam));
        return false;
    case WM_PAINT:
        return HandlePaint();
    case WM_CLOSE:
        HandleClose();
        return false;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_SETCURSOR:
        return HandleSetCursor(lParam, result);
    case WM_MOUSEACTIVATE:
        if (!m_noActivate)
            return false;
        result = MA_NOACTIVATE;
        return true;
    case WM_GETMINMAXINFO: {
        auto *info = reinterpret_cast<MINMAXINFO *>(lParam);
        if (info) {
            const SIZE minimum = WithinScreens(m_minInfo);
            if (minimum.cx > 0)
                info->ptMinTrackSize.x = minimum.cx;
            if (minimum.cy > 0)
                info->ptMinTrackSize.y = minimum.cy;
            if (m_maxInfo.cx > 0)
                info->ptMaxTrackSize.x = m_maxInfo.cx;
            if (m_maxInfo.cy > 0)
                info->ptMaxTrackSize.y = m_maxInfo.cy;
        }
        return false;
    }
    case WM_NOTIFY: {
        auto *header = reinterpret_cast<NMHDR *>(lParam);
        if (header)
            result = SendMessageW(header->hwndFrom, WM_NOTIFY + 0x2000, wParam, lParam);
        return true;
    }
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (lParam == 0)
            return false;
        result = SendMessageW(reinterpret_cast<HWND>(lParam), message + 0x2000, wParam, lParam);
        return true;
    case WM_CONTEXTMENU: {
        if (!m_root || m_captured)
            return false;
        POINT point = PointOf(lParam);
        ScreenToClient(m_paintWindow, &point);
        m_mousePoint = point;
        if (m_pressed) {
            CControlUI *pressed = m_pressed;
            // The event carries the pressed control itself in lParam.
            SendEvent(pressed, EventContextMenu, wParam, reinterpret_cast<LPARAM>(pressed),
                      LowKeys(wParam));
            m_pressed = nullptr;
        }
        return false;
    }
    case WM_KEYDOWN:
        if (!m_root)
            return false;
        if (m_focus) {
            CControlUI *focus = m_focus;
            SendEvent(focus, EventKeyDown, wParam, lParam, 0xFFFF, static_cast<wchar_t>(wParam));
            m_keyDown = focus;
        }
        return false;
    case WM_KEYUP:
        if (!m_root)
            return false;
        if (m_keyDown) {
            CControlUI *keyDown = m_keyDown;
            SendEvent(keyDown, EventKeyUp, wParam, lParam, 0xFFFF, static_cast<wchar_t>(wParam));
            m_keyDown = nullptr;
        }
        return false;
    case WM_CHAR:
        if (!m_root)
            return false;
        if (m_focus)
            SendEvent(m_focus, EventChar, wParam, lParam, 0xFFFF, static_cast<wchar_t>(wParam));
        return false;
    case WM_TIMER:
        HandleTimer(wParam, lParam);
        return false;
    case WM_MOUSEMOVE:
        HandleMouseMove(wParam, lParam);
        return false;
    case WM_LBUTTONDOWN: {
        if (!m_noActivate)
            ::SetFocus(m_paintWindow);
        if (!m_root)
            return false;
        m_mousePoint = PointOf(lParam);
        CControlUI *control = ControlAtPointOfThisManager(m_mousePoint);
        if (!control)
            return false;
        m_pressed = control;
        control->SetFocus();
        SetCapture();
        // The control may have gone during its focus change; only a live pressed one is told.
        if (m_pressed == control)
            SendEvent(control, EventButtonDown, wParam, lParam, LowKeys(wParam));
        return false;
    }
    case WM_LBUTTONUP: {
        m_mousePoint = PointOf(lParam);
        if (!m_pressed)
            return false;
        ReleaseCapture();
        CControlUI *pressed = m_pressed;
        m_pressed = nullptr;
        SendEvent(pressed, EventButtonUp, wParam, lParam, LowKeys(wParam));
        return false;
    }
    case WM_LBUTTONDBLCLK: {
        if (!m_noActivate)
            ::SetFocus(m_paintWindow);
        m_mousePoint = PointOf(lParam);
        if (!m_root)
            return false;
        CControlUI *control = ControlAtPointOfThisManager(m_mousePoint);
        if (!control)
            return false;
        SetCapture();
        SendEvent(control, EventDoubleClick, wParam, lParam, LowKeys(wParam));
        m_pressed = control;
        return false;
    }
    case WM_RBUTTONDOWN: {
        if (!m_noActivate)
            ::SetFocus(m_paintWindow);
        m_mousePoint = PointOf(lParam);
        if (!m_root)
            return false;
        CControlUI *control = ControlAtPointOfThisManager(m_mousePoint);
        if (!control)
            return false;
        control->SetFocus();
        SendEvent(control, EventRightButtonDown, wParam, lParam, LowKeys(wParam));
        m_pressed = control;
        return false;
    }
    case WM_MOUSEWHEEL: {
        if (!m_root)
            return false;
        POINT point = PointOf(lParam);
        ScreenToClient(m_paintWindow, &point);
        m_mousePoint = point;
        CControlUI *control = ControlAtPointOfThisManager(point);
        if (!control)
            return false;
        int delta = GET_WHEEL_DELTA_WPARAM(wParam);
        SendEvent(control, EventScrollWheel, delta < 0 ? 1 : 0, lParam);
        SendMessageW(m_paintWindow, WM_MOUSEMOVE, 0, MAKELPARAM(m_mousePoint.x, m_mousePoint.y));
        return false;
    }
    case WM_MOUSEHOVER:
        return HandleMouseHover(lParam);
    case WM_MOUSELEAVE:
        return HandleMouseLeave();
    case WM_PRINTCLIENT:
        HandlePrintClient(reinterpret_cast<HDC>(wParam), lParam);
        return false;
    default:
        return false;
    }
}

void CWindowManagerUI::HandleKillFocus(HWND gaining)
{
    if (!gaining)
        return;
    HWND child = ::GetFocus();
    HWND parent = child ? GetParent(child) : nullptr;
    while (child && parent && parent != m_paintWindow) {
        child = parent;
        parent = GetParent(child);
    }
    if (!child || parent != m_paintWindow)
        return;
    int index = m_nativeWindows.Find(child);
    if (index < 0)
        return;
    auto *control = static_cast<CControlUI *>(m_nativeWindowControls[index]);
    if (control != m_focus)
        SetFocus(control, false);
}

void CWindowManagerUI::HandleClose()
{
    if (m_hover)
        SendEvent(m_hover, EventMouseLeave);
    if (m_pressed)
        SendEvent(m_pressed, EventButtonUp);
    SetFocus(nullptr, true);
    if (GetActiveWindow() == m_paintWindow) {
        HWND owner = (GetWindowLongPtrW(m_paintWindow, GWL_STYLE) & WS_CHILD)
                         ? GetParent(m_paintWindow)
                         : GetWindow(m_paintWindow, GW_OWNER);
        if (owner)
            ::SetFocus(owner);
    }
    if (m_tooltipWindow) {
        DestroyWindow(m_tooltipWindow);
        m_tooltipWindow = nullptr;
    }
}

bool CWindowManagerUI::HandleSetCursor(LPARAM lParam, LRESULT &)
{
    if (!m_root || LOWORD(lParam) != HTCLIENT)
        return false;
    if (m_captured)
        return true;
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(m_paintWindow, &point);
    CControlUI *control = FindControlAtPoint(point);
    if (!control || !(control->GetBehaviorFlags() & BehaviorSetCursor))
        return false;
    SendEvent(control, EventSetCursor, 0, lParam);
    return true;
}

void CWindowManagerUI::HandleTimer(WPARAM wParam, LPARAM lParam)
{
    if (m_layered && wParam == kLayeredTimerId) {
        if (!IsRectEmpty(&m_pendingUpdate) && !IsIconic(m_paintWindow)) {
            LRESULT ignored = 0;
            MessageHandler(WM_PAINT, 0, 0, ignored);
        }
        return;
    }
    UINT windowsId = LOWORD(wParam);
    for (int i = 0; i < m_timers.GetCount(); ++i) {
        auto *entry = static_cast<TimerEntry *>(m_timers[i]);
        if (entry->window == m_paintWindow && entry->windowsId == windowsId && !entry->killed) {
            SendEvent(entry->sender, EventTimer, entry->localId, lParam);
            return;
        }
    }
}

bool CWindowManagerUI::HandleMouseMove(WPARAM wParam, LPARAM lParam)
{
    if (!m_root)
        return false;
    if (!m_mouseTracking) {
        TRACKMOUSEEVENT track = {};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_HOVER | TME_LEAVE;
        track.hwndTrack = m_paintWindow;
        track.dwHoverTime = m_tooltipWindow
                                ? static_cast<DWORD>(SendMessageW(m_tooltipWindow, TTM_GETDELAYTIME,
                                                                  TTDT_INITIAL, 0))
                                : m_hoverTime;
        TrackMouseEvent(&track);
        m_mouseTracking = true;
    }
    m_mousePoint = PointOf(lParam);
    // A point over another manager's control is not ours; a point over nothing (the leave
    // message sends (-1, -1)) still ends the hover.
    CControlUI *underMouse = FindControlAtPoint(m_mousePoint);
    if (underMouse && underMouse->GetManager() != this)
        return false;
    if (!m_captured) {
        CControlUI *candidate = underMouse;
        if (candidate != m_hover && m_hover) {
            CControlUI *leaving = m_hover;
            CPointerArray listeners(m_mouseLeaveListeners);
            for (int i = 0; i < listeners.GetCount(); ++i) {
                // A listener forgotten by an earlier one is skipped.
                if (m_mouseLeaveListeners.Find(listeners[i]) < 0)
                    continue;
                auto *listener = static_cast<CControlUI *>(listeners[i]);
                ControlEvent event;
                event.type = EventMouseLeave;
                event.sender = leaving;
                event.timestamp = GetTickCount();
                event.mousePoint = m_mousePoint;
                event.keyState = GetModifierKeyState();
                event.wParam = wParam;
                event.lParam = lParam;
                listener->Event(event);
            }
            if (m_hover == leaving)
                SendEvent(leaving, EventMouseLeave, wParam, lParam);
            m_hover = nullptr;
            if (m_tooltipWindow)
                SendMessageW(m_tooltipWindow, TTM_TRACKACTIVATE, FALSE,
                             reinterpret_cast<LPARAM>(&m_toolInfo));
        }
        if (candidate && candidate != m_hover && FindControlAtPoint(m_mousePoint) == candidate) {
            SendEvent(candidate, EventMouseEnter, wParam, lParam);
            m_hover = candidate;
        }
    }
    CControlUI *target = m_pressed ? m_pressed : ControlAtPointOfThisManager(m_mousePoint);
    if (target)
        SendEvent(target, EventMouseMove, wParam, lParam);
    return false;
}

bool CWindowManagerUI::HandleMouseHover(LPARAM lParam)
{
    if (!m_root)
        return false;
    m_mouseTracking = false;
    POINT point = PointOf(lParam);
    CControlUI *control = FindControlAtPoint(point);
    if (!control)
        return false;
    if (m_hover)
        SendEvent(m_hover, EventMouseHover, 0, lParam);
    CWideString tip = control->GetToolTip();
    if (tip.IsEmpty())
        return true;
    ReplaceLanguageTokens(tip);
    m_toolInfo = TOOLINFOW{};
    m_toolInfo.cbSize = sizeof(TOOLINFOW);
    m_toolInfo.uFlags = TTF_IDISHWND;
    m_toolInfo.hwnd = m_paintWindow;
    m_toolInfo.uId = reinterpret_cast<UINT_PTR>(m_paintWindow);
    m_toolInfo.hinst = GetInstance();
    m_toolInfo.lpszText = const_cast<wchar_t *>(tip.GetData());
    m_toolInfo.rect = control->GetPos();
    if (!m_tooltipWindow) {
        m_tooltipWindow =
            CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                            m_paintWindow, nullptr, GetInstance(), nullptr);
        if (!m_tooltipWindow)
            return true;
        if (m_tooltipWidth >= 0)
            m_tooltipWidth = static_cast<int>(
                SendMessageW(m_tooltipWindow, TTM_SETMAXTIPWIDTH, 0, m_tooltipWidth));
        SendMessageW(m_tooltipWindow, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&m_toolInfo));
    }
    SendMessageW(m_tooltipWindow, TTM_SETMAXTIPWIDTH, 0, control->GetToolTipWidth());
    SendMessageW(m_tooltipWindow, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&m_toolInfo));
    SendMessageW(m_tooltipWindow, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&m_toolInfo));
    return true;
}

bool CWindowManagerUI::HandleMouseLeave()
{
    if (!m_root)
        return false;
    if (m_tooltipWindow)
        SendMessageW(m_tooltipWindow, TTM_TRACKACTIVATE, FALSE,
                     reinterpret_cast<LPARAM>(&m_toolInfo));
    if (m_mouseTracking) {
        POINT cursor;
        GetCursorPos(&cursor);
        RECT window;
        GetWindowRect(m_paintWindow, &window);
        bool inside = !IsIconic(m_paintWindow) && GetActiveWindow() == m_paintWindow &&
                      PtInRect(&window, cursor) &&
                      SendMessageW(m_paintWindow, WM_NCHITTEST, 0,
                                   MAKELPARAM(cursor.x, cursor.y)) == HTCLIENT;
        LPARAM where = -1;
        if (inside) {
            ScreenToClient(m_paintWindow, &cursor);
            where = MAKELPARAM(cursor.x, cursor.y);
        }
        SendMessageW(m_paintWindow, WM_MOUSEMOVE, 0, where);
    }
    m_mouseTracking = false;
    return false;
}

void CWindowManagerUI::HandlePrintClient(HDC dc, LPARAM flags)
{
    if (!m_root || !dc)
        return;
    RECT client;
    GetClientRect(m_paintWindow, &client);
    int saved = SaveDC(dc);
    m_root->Paint(dc, client, nullptr);
    if (flags & PRF_CHILDREN) {
        for (HWND child = GetWindow(m_paintWindow, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            RECT position;
            GetWindowRect(child, &position);
            MapWindowPoints(nullptr, m_paintWindow, reinterpret_cast<POINT *>(&position), 2);
            SetWindowOrgEx(dc, -position.left, -position.top, nullptr);
            SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags | PRF_NONCLIENT);
        }
    }
    RestoreDC(dc, saved);
}

} // namespace SkinUI
