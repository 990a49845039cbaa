#include "DateTimeWnd.h"

#include "DateTimeUI.h"
#include "WindowManagerUI.h"

#include <commctrl.h>

namespace SkinUI {

CDateTimeWnd::CDateTimeWnd() : m_owner(nullptr), m_manager(nullptr), m_initialised(false) {}

const wchar_t *CDateTimeWnd::GetWindowClassName() const
{
    return L"DateTimeWnd";
}

const wchar_t *CDateTimeWnd::GetSuperClassName() const
{
    return DATETIMEPICK_CLASSW;
}

bool CDateTimeWnd::Open(CDateTimeUI *owner)
{
    m_owner = owner;
    m_manager = owner->GetManager();
    if (m_manager == nullptr)
        return false;
    owner->m_updateMode = CDateTimeUI::UpdateNothing;
    if (m_hWnd == nullptr) {
        // The picker's class is registered by the common controls on request.
        INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_DATE_CLASSES};
        InitCommonControlsEx(&classes);
        if (!Create(m_manager->GetPaintWindow(), nullptr, WS_CHILD, 0, owner->PickerRect()))
            return false;
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_manager->GetFont(owner->GetFont())),
                    TRUE);
    }
    if (owner->GetText().IsEmpty())
        GetLocalTime(&owner->m_date);
    SendMessage(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&owner->m_date));
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    ::SetFocus(m_hWnd);
    m_initialised = true;
    return true;
}

LRESULT CDateTimeWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    m_deletion.Enter();
    const LRESULT result = Dispatch(message, wParam, lParam);
    if (m_deletion.Leave())
        delete this;
    return result;
}

LRESULT CDateTimeWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_owner == nullptr)
        return CWindowWnd::HandleMessage(message, wParam, lParam);
    switch (message) {
    case WM_CREATE:
        m_manager->AddNativeWindow(m_owner, m_hWnd);
        break;
    case WM_PAINT:
        if (m_manager->IsLayered())
            m_manager->AddNativeWindow(m_owner, m_hWnd);
        break;
    case WM_KILLFOCUS:
        return OnKillFocus(wParam, lParam);
    case WM_KEYUP:
        if (wParam == VK_BACK || wParam == VK_DELETE) {
            const LRESULT result = CWindowWnd::HandleMessage(message, wParam, lParam);
            EndWithKey(CDateTimeUI::UpdateClearText);
            return result;
        }
        if (wParam == VK_ESCAPE) {
            const LRESULT result = CWindowWnd::HandleMessage(message, wParam, lParam);
            EndWithKey(CDateTimeUI::UpdateCancelled);
            return result;
        }
        break;
    default:
        break;
    }
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

// A key that ends the picking sets the mode first, so the focus loss that follows writes
// nothing.
void CDateTimeWnd::EndWithKey(int mode)
{
    if (m_owner == nullptr)
        return;
    m_owner->m_updateMode = mode;
    m_owner->UpdateText();
    PostMessage(WM_CLOSE);
}

LRESULT CDateTimeWnd::OnKillFocus(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CWindowWnd::HandleMessage(WM_KILLFOCUS, wParam, lParam);
    if (m_owner && m_owner->m_updateMode == CDateTimeUI::UpdateNothing) {
        SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&m_owner->m_date));
        m_owner->m_updateMode = CDateTimeUI::UpdateWriteDate;
        m_owner->UpdateText();
    }
    HWND skinWindow = m_manager->GetPaintWindow();
    if (reinterpret_cast<HWND>(wParam) != skinWindow)
        ::SendMessageW(skinWindow, WM_KILLFOCUS, wParam, lParam);
    if (m_owner)
        SendMessage(WM_CLOSE);
    return result;
}

void CDateTimeWnd::OnFinalMessage(HWND window)
{
    if (m_owner)
        m_owner->m_window = nullptr;
    if (m_manager)
        m_manager->RemoveNativeWindow(window);
    m_owner = nullptr;
    if (m_deletion.Finish())
        delete this;
}

} // namespace SkinUI
