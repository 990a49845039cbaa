#include "NativeChildPlacement.h"

#include "ControlUI.h"

namespace SkinUI {

namespace NativeChildPlacement {

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

} // namespace NativeChildPlacement

} // namespace SkinUI
