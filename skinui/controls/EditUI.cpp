#include "EditUI.h"

#include "ControlState.h"
#include "EditWnd.h"
#include "GdiPainter.h"
#include "NativeChildHost.h"
#include "ValueText.h"
#include "WindowManagerUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t *const CEditUI::kClassName = L"Edit";

namespace {

using ValueText::Is;

void SetStateBit(UINT &state, UINT bit, bool on)
{
    if (on)
        state |= bit;
    else
        state &= ~bit;
}

} // namespace

CEditUI::CEditUI()
    : m_window(nullptr), m_maxChar(255), m_readOnly(false), m_password(false),
      m_autoSelectAll(false), m_passwordChar(L'*'), m_editState(0), m_nativeBkColor(0xFFFFFFFF),
      m_extraStyle(0), m_tipValueColor(0)
{
    m_textPadding = RECT{4, 3, 4, 3};
    SetBkColor(0xFFFFFFFF);
}

// A box still open when the control goes is closed with it and never reaches it again.
CEditUI::~CEditUI()
{
    CloseBoxWithControl();
}

void CEditUI::CloseBoxWithControl()
{
    if (!m_window)
        return;
    CEditWnd *window = m_window;
    m_window = nullptr;
    window->Detach();
    DestroyWindow(window->GetHWND());
}

const wchar_t *CEditUI::GetClass() const
{
    return kClassName;
}

void *CEditUI::GetInterface(const wchar_t *name)
{
    if (name && wcscmp(name, kClassName) == 0)
        return this;
    return CLabelUI::GetInterface(name);
}

UINT CEditUI::GetBehaviorFlags() const
{
    return IsEnabled() ? static_cast<UINT>(BehaviorTabStop | BehaviorSetCursor) : 0u;
}

// An open box is a child of the window the control leaves: it closes as it does when the
// control goes.
void CEditUI::SetManager(CWindowManagerUI *manager, CControlUI *parent, bool initialise)
{
    if (IsMovingTo(manager))
        CloseBoxWithControl();
    CLabelUI::SetManager(manager, parent, initialise);
}

HWND CEditUI::GetNativeWindow() const
{
    return m_window ? m_window->GetHWND() : nullptr;
}

void CEditUI::SetText(const wchar_t *text)
{
    m_text = text;
    m_reEstimate = true;
    if (m_window)
        SetWindowTextW(m_window->GetHWND(), m_text.GetData());
    Invalidate();
}

void CEditUI::SetMaxChar(int maxChar)
{
    m_maxChar = maxChar;
    if (m_window)
        m_window->SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(m_maxChar));
}

void CEditUI::SetReadOnly(bool readOnly)
{
    if (m_readOnly == readOnly)
        return;
    m_readOnly = readOnly;
    if (m_window)
        m_window->SendMessage(EM_SETREADONLY, readOnly);
    Invalidate();
}

void CEditUI::SetTipValue(const wchar_t *text)
{
    if (m_text.IsEmpty())
        CLabelUI::SetText(text);
    m_tipValue = text;
}

RECT CEditUI::EditBoxRect()
{
    RECT rect = TextRect();
    if (m_manager) {
        const int lineHeight = m_manager->GetFontInfo(m_font)->metrics.tmHeight;
        const int height = rect.bottom - rect.top;
        if (lineHeight < height) {
            rect.top += (height - lineHeight) / 2;
            rect.bottom = rect.top + lineHeight;
        }
    }
    return NativeChildHost::ClipToAncestorClients(*this, rect);
}

void CEditUI::SetPos(RECT rect, bool invalidate)
{
    CControlUI::SetPos(rect, invalidate);
    if (m_window)
        NativeChildHost::Place(m_window->GetHWND(), EditBoxRect());
}

void CEditUI::Move(int dx, int dy, bool invalidate)
{
    CControlUI::Move(dx, dy, invalidate);
    if (m_window)
        NativeChildHost::Place(m_window->GetHWND(), EditBoxRect());
}

// A hidden control gives up the window's focus, which closes its box.
void CEditUI::ClearWindowFocusIfHidden()
{
    if (!IsVisible() && m_window && m_manager)
        m_manager->SetFocus(nullptr);
}

void CEditUI::SetVisible(bool visible)
{
    CControlUI::SetVisible(visible);
    ClearWindowFocusIfHidden();
}

void CEditUI::SetInheritedVisible(bool visible)
{
    CControlUI::SetInheritedVisible(visible);
    ClearWindowFocusIfHidden();
}

void CEditUI::SetEnabled(bool enabled)
{
    CControlUI::SetEnabled(enabled);
    if (!IsEnabled())
        m_editState = 0;
}

SIZE CEditUI::GetDesiredSize(SIZE)
{
    if (m_fixedSize.cy != 0 || m_manager == nullptr)
        return m_fixedSize;
    return SIZE{m_fixedSize.cx, m_manager->GetFontInfo(m_font)->metrics.tmHeight + 8};
}

void CEditUI::OpenBox()
{
    auto *window = new CEditWnd;
    m_window = window;
    // A window that was never made sends no final message: it is finished here.
    if (!window->Open(this) && m_window == window)
        window->OnFinalMessage(nullptr);
}

void CEditUI::DoEvent(ControlEvent &event)
{
    if (PassOnMouseWhenDisabled(event))
        return;
    if (NativeChildHost::HandleEvent(*this, GetNativeWindow(), event))
        return;
    const bool inside = PtInRect(&m_itemRect, event.mousePoint) != FALSE;
    switch (event.type) {
    case EventSetFocus:
        if (IsEnabled() && !m_window) {
            OpenBox();
            Invalidate();
        }
        break;
    case EventMouseEnter:
        if (inside && IsEnabled() && !(m_editState & StateHot)) {
            m_editState |= StateHot;
            Invalidate();
        }
        break;
    case EventButtonDown:
    case EventRightButtonDown:
    case EventDoubleClick:
        if (!IsEnabled())
            return;
        if (m_manager)
            m_manager->ReleaseCapture();
        if (IsFocused() && !m_window) {
            OpenBox();
        } else if (m_window && !m_autoSelectAll) {
            m_window->SendMessage(EM_SETSEL, 0, 0);
            const int x = event.mousePoint.x - m_itemRect.left - m_textPadding.left;
            const int y = event.mousePoint.y - m_itemRect.top - m_textPadding.top;
            m_window->SendMessage(WM_LBUTTONDOWN, event.wParam, MAKELPARAM(x, y));
        }
        return;
    case EventMouseLeave:
        if (inside) {
            if (m_manager)
                m_manager->AddMouseLeaveListener(this);
            return;
        }
        if (IsEnabled() && (m_editState & StateHot)) {
            m_editState &= ~StateHot;
            Invalidate();
        }
        if (m_manager)
            m_manager->RemoveMouseLeaveListener(this);
        break;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

void CEditUI::SetAttribute(const wchar_t *name, const wchar_t *value)
{
    if (name == nullptr || value == nullptr)
        return;
    if (Is(name, L"readonly")) {
        SetReadOnly(ValueText::IsTrue(value));
    } else if (Is(name, L"numberonly")) {
        if (ValueText::IsTrue(value))
            m_extraStyle |= ES_NUMBER;
        else
            m_extraStyle &= ~static_cast<DWORD>(ES_NUMBER);
    } else if (Is(name, L"password")) {
        m_password = ValueText::IsTrue(value);
        Invalidate();
    } else if (Is(name, L"autoselall")) {
        m_autoSelectAll = ValueText::IsTrue(value);
    } else if (Is(name, L"maxchar")) {
        SetMaxChar(ValueText::ReadInteger(value));
    } else if (Is(name, L"normalimage")) {
        SetImageText(m_normalImage, value);
    } else if (Is(name, L"hotimage")) {
        SetImageText(m_hotImage, value);
    } else if (Is(name, L"focusedimage")) {
        SetImageText(m_focusedImage, value);
    } else if (Is(name, L"disabledimage")) {
        SetImageText(m_disabledImage, value);
    } else if (Is(name, L"nativebkcolor")) {
        m_nativeBkColor = ValueText::ReadHexColor(value);
    } else if (Is(name, L"tipvalue")) {
        SetTipValue(value);
    } else if (Is(name, L"tipvaluecolor")) {
        m_tipValueColor = ValueText::ReadHexColor(value);
    } else if (Is(name, L"nativetextcolor")) {
        // Accepted for older skins: the box always takes the control's text colour.
    } else {
        CLabelUI::SetAttribute(name, value);
    }
}

void CEditUI::PaintStateImage(HDC dc)
{
    SetStateBit(m_editState, StateFocused, IsFocused());
    SetStateBit(m_editState, StateDisabled, !IsEnabled());
    ImageDescriptor *image = nullptr;
    if (m_editState & StateDisabled)
        image = &m_disabledImage;
    else if (m_editState & StateFocused)
        image = &m_focusedImage;
    else if (m_editState & StateHot)
        image = &m_hotImage;
    if (image == nullptr || !DrawImage(dc, *image))
        DrawImage(dc, m_normalImage);
}

CWideString CEditUI::ShownText() const
{
    if (m_text.IsEmpty())
        return m_tipValue;
    if (!m_password)
        return m_text;
    CWideString mask;
    for (const wchar_t *at = m_text.GetData(); *at != L'\0'; at = CharNextW(at))
        mask += m_passwordChar;
    return mask;
}

void CEditUI::PaintText(HDC dc)
{
    if (m_manager == nullptr)
        return;
    TakeDefaultColors();
    const bool showsTip = m_text.IsEmpty() || m_text == m_tipValue.GetData();
    const DWORD color = showsTip ? m_tipValueColor : m_textColor;
    const CWideString shown = ShownText();
    CGdiPainter::DrawText(dc, m_manager, TextRect(), shown.GetData(),
                          IsEnabled() ? color : m_disabledTextColor, m_font,
                          m_textStyle | DT_SINGLELINE);
}

} // namespace SkinUI
