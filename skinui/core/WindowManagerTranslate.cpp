#include "WindowManagerUI.h"

#include "ControlUI.h"
#include "ManagerProcessState.h"

#include <cwchar>
#include <cwctype>

namespace SkinUI {

namespace {

// A rich edit control that keeps Tab for itself answers its "wanttab" attribute with
// "true"; the manager then leaves the key to it.
bool KeepsTab(CControlUI *control)
{
    if (!control->IsVisible() || !control->IsEnabled() || !wcsstr(control->GetClass(), L"RichEdit"))
        return false;
    return control->GetAttribute(L"wanttab") == L"true";
}

struct ShortcutSearch
{
    wchar_t key;
    bool marked = false;
};

CControlUI *VisitShortcut(CControlUI *control, void *data)
{
    auto *search = static_cast<ShortcutSearch *>(data);
    if (!control->IsVisible())
        return nullptr;
    if (!search->marked && towupper(control->GetShortcut()) == search->key)
        search->marked = true;
    if (search->marked && !wcsstr(control->GetClass(), L"Label"))
        return control;
    return nullptr;
}

// Whether the manager paints the window itself or one of its ancestors; a window without a
// parent is asked about by the top-level road, not here.
bool ServesWindowOrAncestor(const CWindowManagerUI *manager, HWND window)
{
    HWND paintWindow = manager->GetPaintWindow();
    for (HWND ancestor = GetParent(window); ancestor; ancestor = GetParent(ancestor)) {
        if (paintWindow == window || paintWindow == ancestor)
            return true;
    }
    return false;
}

} // namespace

bool CWindowManagerUI::TranslateAccelerator(MSG *message)
{
    CPointerArray accelerators(m_accelerators);
    for (int i = 0; i < accelerators.GetCount(); ++i) {
        if (static_cast<ITranslateAccelerator *>(accelerators[i])->TranslateAccelerator(message) ==
            0)
            return true;
    }
    return false;
}

bool CWindowManagerUI::PreMessageHandler(UINT message, WPARAM wParam, LPARAM lParam)
{
    CPointerArray filters(m_preMessageFilters);
    for (int i = 0; i < filters.GetCount(); ++i) {
        bool handled = false;
        static_cast<IMessageFilterUI *>(filters[i])
            ->MessageHandler(message, wParam, lParam, handled);
        if (handled)
            return true;
    }
    switch (message) {
    case WM_KEYDOWN:
        if (wParam != VK_TAB)
            return false;
        if (m_focus && KeepsTab(m_focus))
            return false;
        MoveFocusToNextTabStop(GetKeyState(VK_SHIFT) >= 0);
        return true;
    case WM_SYSKEYDOWN:
        if (m_focus)
            SendEvent(m_focus, EventSysKey, wParam, lParam, 0xFFFF, static_cast<wchar_t>(wParam));
        return false;
    case WM_SYSCHAR:
        return HandleSysChar(wParam);
    default:
        return false;
    }
}

bool CWindowManagerUI::HandleSysChar(WPARAM wParam)
{
    if (!m_root)
        return false;
    ShortcutSearch search;
    search.key = static_cast<wchar_t>(towupper(static_cast<wint_t>(wParam)));
    CControlUI *target =
        m_root->FindControl(VisitShortcut, &search, FindSelfFirst | FindTopFirst | FindEnabledOnly);
    if (!target)
        return false;
    target->SetFocus();
    target->Activate();
    return true;
}

bool CWindowManagerUI::TranslateMessage(const MSG *message)
{
    if (!message)
        return false;
    CPointerArray &managers = ManagerProcessState::Get().managers;
    MSG copy = *message;
    if (!(GetWindowLongPtrW(message->hwnd, GWL_STYLE) & WS_CHILD)) {
        for (int i = 0; i < managers.GetCount(); ++i) {
            auto *manager = static_cast<CWindowManagerUI *>(managers[i]);
            if (manager->GetPaintWindow() != message->hwnd)
                continue;
            if (manager->TranslateAccelerator(&copy))
                return true;
            return manager->PreMessageHandler(message->message, message->wParam, message->lParam);
        }
        return false;
    }
    // A child window's message: every manager whose window is the message window or one of
    // its ancestors gets to see it, once. A handler may close a window and so end its
    // manager: only managers still listed are asked.
    CPointerArray snapshot(managers);
    for (int i = snapshot.GetCount() - 1; i >= 0; --i) {
        auto *manager = static_cast<CWindowManagerUI *>(snapshot[i]);
        if (managers.Find(manager) < 0 || !ServesWindowOrAncestor(manager, message->hwnd))
            continue;
        if (manager->TranslateAccelerator(&copy))
            return true;
        manager->PreMessageHandler(message->message, message->wParam, message->lParam);
    }
    return false;
}

} // namespace SkinUI
