#include "NativeChildHost.h"

#include "ControlUI.h"
#include "WindowManagerUI.h"

namespace SkinUI {

namespace NativeChildHost {

RECT ClipToAncestorClients(const CControlUI &control, RECT rect)
{
    const RECT empty = {0, 0, 0, 0};
    for (CControlUI *ancestor = control.GetParent(); ancestor; ancestor = ancestor->GetParent()) {
        if (!ancestor->IsVisible())
            return empty;
        const RECT client = ancestor->GetClientPos();
        if (!IntersectRect(&rect, &rect, &client))
            return empty;
    }
    return rect;
}

void Place(HWND window, const RECT &rect)
{
    if (!IsWindow(window))
        return;
    if (IsRectEmpty(&rect)) {
        ShowWindow(window, SW_HIDE);
        return;
    }
    SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER);
}

bool HandleEvent(CControlUI &control, HWND child, const ControlEvent &event)
{
    CWindowManagerUI *manager = control.GetManager();
    switch (event.type) {
    case EventSetCursor:
        if (!control.IsEnabled())
            return false;
        ::SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
        return true;
    case EventWindowSize:
        if (child && manager)
            manager->SetFocusDeferred(&control);
        return false;
    case EventScrollWheel:
        return child != nullptr;
    case EventKillFocus:
        if (control.IsEnabled())
            control.Invalidate();
        return false;
    case EventMouseMove:
    case EventButtonUp:
    case EventContextMenu:
        return true;
    default:
        return false;
    }
}

} // namespace NativeChildHost

} // namespace SkinUI
