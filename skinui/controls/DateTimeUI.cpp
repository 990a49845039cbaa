#include "DateTimeUI.h"

#include "DateTimeWnd.h"
#include "NativeChildHost.h"
#include "WindowManagerUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t *const CDateTimeUI::kClassName = L"DateTime";

// A new control shows today's date.
CDateTimeUI::CDateTimeUI() : m_date{}, m_updateMode(UpdateWriteDate), m_window(nullptr)
{
    GetLocalTime(&m_date);
    UpdateText();
    m_updateMode = UpdateNothing;
}

// A picker still open when the control goes is closed with it and never reaches it again.
CDateTimeUI::~CDateTimeUI()
{
    ClosePickerWithControl();
}

void CDateTimeUI::ClosePickerWithControl()
{
    if (!m_window)
        return;
    CDateTimeWnd *window = m_window;
    m_window = nullptr;
    window->Detach();
    if (window->GetHWND())
        DestroyWindow(window->GetHWND());
    else
        window->OnFinalMessage(nullptr);
}

const wchar_t *CDateTimeUI::GetClass() const
{
    return kClassName;
}

void *CDateTimeUI::GetInterface(const wchar_t *name)
{
    if (name && wcscmp(name, kClassName) == 0)
        return this;
    return CLabelUI::GetInterface(name);
}

UINT CDateTimeUI::GetBehaviorFlags() const
{
    return BehaviorTabStop;
}

// An open picker is a child of the window the control leaves: it closes as it does when the
// control goes.
void CDateTimeUI::SetManager(CWindowManagerUI *manager, CControlUI *parent, bool initialise)
{
    if (IsMovingTo(manager))
        ClosePickerWithControl();
    CLabelUI::SetManager(manager, parent, initialise);
}

HWND CDateTimeUI::GetNativeWindow() const
{
    return m_window ? m_window->GetHWND() : nullptr;
}

void CDateTimeUI::UpdateText()
{
    if (m_updateMode == UpdateWriteDate) {
        wchar_t text[32] = {};
        swprintf(text, 32, L"%4d-%02d-%02d", m_date.wYear, m_date.wMonth, m_date.wDay);
        SetText(text);
    } else if (m_updateMode == UpdateClearText) {
        SetText(L"");
    }
}

RECT CDateTimeUI::PickerRect() const
{
    return NativeChildHost::ClipToAncestorClients(*this, m_itemRect);
}

void CDateTimeUI::SetPos(RECT rect, bool invalidate)
{
    CControlUI::SetPos(rect, invalidate);
    if (m_window)
        NativeChildHost::Place(m_window->GetHWND(), PickerRect());
}

void CDateTimeUI::Move(int dx, int dy, bool invalidate)
{
    CControlUI::Move(dx, dy, invalidate);
    if (m_window)
        NativeChildHost::Place(m_window->GetHWND(), PickerRect());
}

// Opens the picker, made first when there is none, and gives it the focus.
void CDateTimeUI::OpenPicker()
{
    CDateTimeWnd *window = m_window ? m_window : new CDateTimeWnd;
    m_window = window;
    if (window->Open(this)) {
        window->ShowWindow(true, true);
        return;
    }
    // A window that was never made sends no final message: it is finished here.
    if (m_window == window && window->GetHWND() == nullptr)
        window->OnFinalMessage(nullptr);
}

void CDateTimeUI::DoEvent(ControlEvent &event)
{
    if (PassOnMouseWhenDisabled(event))
        return;
    if (NativeChildHost::HandleEvent(*this, GetNativeWindow(), event))
        return;
    switch (event.type) {
    case EventSetFocus:
        if (IsEnabled() && !m_window)
            OpenPicker();
        break;
    case EventButtonDown:
    case EventRightButtonDown:
    case EventDoubleClick:
        if (!IsEnabled())
            break;
        if (m_manager)
            m_manager->ReleaseCapture();
        if (m_window || IsFocused())
            OpenPicker();
        return;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

} // namespace SkinUI
