#include "RichEditUI.h"

#include "ClipScope.h"
#include "ColorRef.h"
#include "GdiPainter.h"
#include "ScrollBarUI.h"
#include "TxtWinHost.h"
#include "ValueText.h"
#include "WindowManagerUI.h"
#include "WindowMessageRanges.h"

#include <imm.h>
#include <windowsx.h>

#include <cwchar>
#include <cwctype>
#include <vector>

namespace SkinUI {

const wchar_t *const CRichEditUI::kClassName = L"RichEdit";

namespace {

const int kDefaultMaxChars = 0x7FFF;
const WORD kUnicodeCodePage = 1200;

// The notifications the text services give that are passed on to the window as WM_NOTIFY.
bool IsReflectedNotification(DWORD code)
{
    switch (code) {
    case EN_MSGFILTER:
    case EN_SELCHANGE:
    case EN_DROPFILES:
    case EN_PROTECTED:
    case EN_STOPNOUNDO:
    case EN_SAVECLIPBOARD:
    case EN_OLEOPFAILED:
    case EN_OBJECTPOSITIONS:
    case EN_LINK:
    case EN_DRAGDROPDONE:
        return true;
    default:
        return false;
    }
}

bool Intersects(const RECT &a, const RECT &b)
{
    RECT overlap;
    return IntersectRect(&overlap, &a, &b) != FALSE;
}

bool Contains(const wchar_t *text, const wchar_t *word)
{
    return wcsstr(text, word) != nullptr;
}

} // namespace

CRichEditUI::CRichEditUI()
    : m_host(nullptr), m_autoShownVerticalBar(false), m_wantTab(true), m_wantReturn(true),
      m_wantCtrlReturn(true), m_transparent(true), m_richText(true), m_readOnly(false),
      m_textColor(0), m_fontId(-1), m_maxChars(kDefaultMaxChars), m_style(ES_MULTILINE),
      m_caretBlinkOn(true), m_initialised(false), m_textPadding{0, 0, 0, 0},
      m_filterRegistered(false)
{
}

// The host goes first: it deactivates and releases the text services, which may still call
// back into this control.
CRichEditUI::~CRichEditUI()
{
    if (m_host != nullptr) {
        CTxtWinHost *host = m_host;
        m_host = nullptr;
        host->Release();
    }
    if (m_filterRegistered && m_manager != nullptr)
        m_manager->RemoveMessageFilter(this);
}

const wchar_t *CRichEditUI::GetClass() const
{
    return kClassName;
}

void *CRichEditUI::GetInterface(const wchar_t *name)
{
    if (name != nullptr && wcscmp(name, kClassName) == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

UINT CRichEditUI::GetBehaviorFlags() const
{
    return IsEnabled() ? BehaviorTabStop | BehaviorSetCursor : 0;
}

SIZE CRichEditUI::GetDesiredSize(SIZE)
{
    return SIZE{GetFixedWidth(), GetFixedHeight()};
}

// ---- Text ----

const CWideString &CRichEditUI::GetText() const
{
    m_readText.Empty();
    if (m_host == nullptr)
        return m_readText;
    ITextServices *services = m_host->GetTextServices();
    GETTEXTLENGTHEX lengthRequest = {GTL_DEFAULT, kUnicodeCodePage};
    LRESULT length = 0;
    services->TxSendMessage(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthRequest), 0,
                            &length);
    if (length <= 0)
        return m_readText;
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    GETTEXTEX textRequest = {};
    textRequest.cb = static_cast<DWORD>((length + 1) * sizeof(wchar_t));
    textRequest.flags = GT_DEFAULT;
    textRequest.codepage = kUnicodeCodePage;
    LRESULT copied = 0;
    services->TxSendMessage(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&textRequest),
                            reinterpret_cast<LPARAM>(buffer.data()), &copied);
    m_readText = buffer.data();
    return m_readText;
}

void CRichEditUI::SetText(const wchar_t *text)
{
    m_text = text;
    if (m_host == nullptr)
        return;
    CHARRANGE all = {0, -1};
    TxSendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all), nullptr);
    TxSendMessage(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(m_text.GetData()), nullptr);
}

// ---- Properties that reach the text services ----

void CRichEditUI::SetFont(int fontId)
{
    m_fontId = fontId;
    if (m_host != nullptr && m_manager != nullptr)
        m_host->ApplyFont(m_manager->GetFont(fontId));
}

void CRichEditUI::SetTextColor(DWORD argb)
{
    m_textColor = argb;
    if (m_host != nullptr)
        m_host->SetTextColor(ToColorRef(argb));
}

void CRichEditUI::SetRichText(bool rich)
{
    m_richText = rich;
    if (m_host == nullptr)
        return;
    m_host->SetRichText(rich);
    m_host->GetTextServices()->OnTxPropertyBitsChange(TXTBIT_RICHTEXT, rich ? TXTBIT_RICHTEXT : 0);
}

void CRichEditUI::SetTransparent(bool transparent)
{
    m_transparent = transparent;
    if (m_host == nullptr)
        return;
    m_host->SetTransparent(transparent);
    m_host->GetTextServices()->OnTxPropertyBitsChange(TXTBIT_BACKSTYLECHANGE, 0);
}

void CRichEditUI::SetTextPadding(RECT padding)
{
    m_textPadding = padding;
    Invalidate();
}

// ---- Messages to the text services ----

HRESULT CRichEditUI::TxSendMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result)
{
    if (m_host == nullptr)
        return S_FALSE;
    if (message == WM_KEYDOWN && LOWORD(wParam) == VK_RETURN) {
        const bool control = GetKeyState(VK_CONTROL) < 0;
        if (!m_wantReturn || (control && !m_wantCtrlReturn)) {
            SendReturn();
            return S_OK;
        }
    }
    LRESULT ignored = 0;
    return m_host->GetTextServices()->TxSendMessage(message, wParam, lParam,
                                                    result != nullptr ? result : &ignored);
}

void CRichEditUI::SendReturn()
{
    if (m_manager != nullptr)
        m_manager->SendNotify(this, L"return", 0, 0, false);
}

bool CRichEditUI::OnTxViewChanged()
{
    return true;
}

void CRichEditUI::OnTxNotify(DWORD code, void *data)
{
    if (code == EN_CHANGE) {
        if (m_manager != nullptr)
            m_manager->SendNotify(this, L"textchanged", 0, 0, false);
        return;
    }
    if (!IsReflectedNotification(code) || data == nullptr || m_manager == nullptr)
        return;
    HWND window = m_manager->GetPaintWindow();
    auto *header = static_cast<NMHDR *>(data);
    header->hwndFrom = window;
    header->idFrom = static_cast<UINT_PTR>(GetWindowLongW(window, GWL_ID));
    header->code = code;
    SendMessageW(window, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(data));
}

// ---- Life cycle ----

void CRichEditUI::DoInit()
{
    if (m_initialised)
        return;
    TextHostCreation creation;
    creation.style = m_style;
    creation.text = m_text.GetData();
    CTxtWinHost::NewTextHost(this, &creation, &m_host);
    if (m_host != nullptr) {
        if (m_transparent) {
            m_host->SetTransparent(true);
            m_host->GetTextServices()->OnTxPropertyBitsChange(TXTBIT_BACKSTYLECHANGE, 0);
        }
        TxSendMessage(EM_SETLANGOPTIONS, 0, 0, nullptr);
        m_host->ActivateInPlace();
        RegisterWithManager();
    }
    m_initialised = true;
}

void CRichEditUI::RegisterWithManager()
{
    if (m_manager == nullptr)
        return;
    m_filterRegistered = m_manager->AddMessageFilter(this);
    if (m_manager->IsLayered())
        m_manager->SetTimer(this, kCaretTimerId, GetCaretBlinkTime());
}

// The window it goes to takes over as the window whose messages reach the text.
void CRichEditUI::SetManager(CWindowManagerUI *manager, CControlUI *parent, bool initialise)
{
    const bool registered = m_filterRegistered && IsMovingTo(manager);
    if (registered) {
        m_manager->RemoveMessageFilter(this);
        m_filterRegistered = false;
    }
    CContainerUI::SetManager(manager, parent, initialise);
    if (registered)
        RegisterWithManager();
}

// ---- Events ----

void CRichEditUI::DoEvent(ControlEvent &event)
{
    if (PassOnMouseWhenDisabled(event))
        return;
    switch (event.type) {
    case EventSetCursor:
        if (IsEnabled()) {
            if (m_host != nullptr) {
                m_host->HandleSetCursor(nullptr, event.mousePoint);
                if (PtInRect(&m_host->GetClientRect(), event.mousePoint))
                    return;
            }
            CContainerUI::DoEvent(event);
            return;
        }
        break;
    case EventWindowSize:
        if (m_host != nullptr)
            m_host->SetCaretMovedByResize();
        break;
    case EventSetFocus:
    case EventKillFocus:
        if (m_host != nullptr) {
            m_host->ActivateInPlace();
            TxSendMessage(event.type == EventSetFocus ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0, nullptr);
        }
        m_focused = event.type == EventSetFocus;
        Invalidate();
        return;
    case EventTimer:
        if (event.wParam == kCaretTimerId)
            BlinkCaret();
        else if (m_host != nullptr)
            TxSendMessage(WM_TIMER, event.wParam, event.lParam, nullptr);
        return;
    case EventKeyDown:
    case EventKeyUp:
    case EventChar:
    case EventSysKey:
    case EventMouseMove:
    case EventButtonDown:
    case EventButtonUp:
    case EventDoubleClick:
        // The same input reaches the text services through the message filter.
        return;
    case EventScrollWheel:
        if (event.keyState & ModifierControl)
            return;
        break;
    default:
        break;
    }
    CContainerUI::DoEvent(event);
}

// The caret of a layered window blinks by this timer: its place is repainted in each phase
// while the window has the keyboard focus.
void CRichEditUI::BlinkCaret()
{
    if (m_host == nullptr || m_manager == nullptr || !m_manager->IsLayered() || !m_focused ||
        ::GetFocus() != m_manager->GetPaintWindow())
        return;
    m_caretBlinkOn = !m_caretBlinkOn;
    POINT caret = {0, 0};
    ::GetCaretPos(&caret);
    RECT area = {caret.x, caret.y, caret.x + m_host->GetCaretWidth(),
                 caret.y + m_host->GetCaretHeight()};
    if (!IntersectRect(&area, &area, &m_itemRect))
        return;
    for (CControlUI *ancestor = GetParent(); ancestor != nullptr;
         ancestor = ancestor->GetParent()) {
        if (!IntersectRect(&area, &area, &ancestor->GetPos()))
            return;
    }
    m_manager->Invalidate(area);
}

// ---- Window messages ----

POINT CRichEditUI::MousePoint(UINT message, LPARAM lParam) const
{
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (message == WM_SETCURSOR)
        ::GetCursorPos(&point);
    if (message == WM_SETCURSOR || message == WM_MOUSEWHEEL)
        ::ScreenToClient(m_manager->GetPaintWindow(), &point);
    return point;
}

// A mouse message belongs to the text services when it falls on their area, no other control
// lies over the point and the manager holds no capture for another control; while the text
// services hold the capture every mouse message is theirs.
bool CRichEditUI::IsMouseForUs(UINT message, LPARAM lParam) const
{
    if (m_host->IsCaptured())
        return true;
    const POINT point = MousePoint(message, lParam);
    if (message >= WM_LBUTTONDOWN && message <= WM_RBUTTONUP &&
        m_manager->FindControlAtPoint(point) != this)
        return false;
    return PtInRect(&m_host->GetClientRect(), point) && !m_manager->IsCaptured();
}

LRESULT CRichEditUI::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool &handled)
{
    if (!IsVisible() || !IsEnabled() || m_host == nullptr || m_manager == nullptr)
        return 0;
    const bool mouse = IsMouseMessage(message);
    if (mouse && !IsMouseEnabled())
        return 0;
    if (message == WM_MOUSEWHEEL && !(LOWORD(wParam) & MK_CONTROL))
        return 0;

    bool handles = true;
    if (mouse || message == WM_SETCURSOR) {
        if (!IsMouseForUs(message, lParam))
            return 0;
        if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN) {
            if (!m_manager->IsNoActivate())
                ::SetFocus(m_manager->GetPaintWindow());
            SetFocus();
        }
        handles = message != WM_SETCURSOR;
    } else if (IsKeyMessage(message)) {
        if (!IsFocused())
            return 0;
    } else if (message == WM_IME_COMPOSITION) {
        return IsFocused() ? PlaceComposition() : 0;
    } else if (message == WM_CONTEXTMENU) {
        POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ScreenToClient(m_manager->GetPaintWindow(), &point);
        if (m_manager->FindControlAtPoint(point) != this)
            return 0;
    } else if (message == WM_HELP) {
        handles = false;
    } else {
        return 0;
    }

    LRESULT result = 0;
    const HRESULT answer = TxSendMessage(message, wParam, lParam, &result);
    if (answer == S_OK || IsKeyMessage(message) || message == WM_IME_CHAR ||
        (mouse && m_host->IsCaptured()))
        handled = handles;
    return result;
}

// The input method writes at the caret, in the control's font.
LRESULT CRichEditUI::PlaceComposition()
{
    HWND window = m_manager->GetPaintWindow();
    HIMC context = ImmGetContext(window);
    if (context == nullptr)
        return 0;
    POINT caret = {0, 0};
    ::GetCaretPos(&caret);
    COMPOSITIONFORM form = {};
    form.dwStyle = CFS_FORCE_POSITION;
    form.ptCurrentPos.x = caret.x + m_host->GetCaretWidth();
    form.ptCurrentPos.y = caret.y;
    ImmSetCompositionWindow(context, &form);
    LOGFONTW font = {};
    if (GetObjectW(m_manager->GetFont(m_fontId), sizeof(font), &font))
        ImmSetCompositionFontW(context, &font);
    ImmReleaseContext(window, context);
    return 0;
}

// ---- Layout ----

LONG CRichEditUI::NaturalHeight(LONG width) const
{
    if (m_host == nullptr || m_manager == nullptr)
        return 0;
    const SIZEL extent = {-1, -1};
    LONG height = 0;
    m_host->GetTextServices()->TxGetNaturalSize(DVASPECT_CONTENT, m_manager->GetPaintDC(), nullptr,
                                                nullptr, TXTNS_FITTOCONTENT, &extent, &width,
                                                &height);
    return height;
}

void CRichEditUI::SetPos(RECT rect, bool invalidate)
{
    CControlUI::SetPos(rect, invalidate);
    RECT visible = {m_itemRect.left + m_inset.left, m_itemRect.top + m_inset.top,
                    m_itemRect.right - m_inset.right, m_itemRect.bottom - m_inset.bottom};
    RECT view = visible;
    CScrollBarUI *vertical = m_verticalScrollBar;
    CScrollBarUI *horizontal = m_horizontalScrollBar;
    const bool verticalShown = vertical != nullptr && vertical->IsVisible();
    if (verticalShown) {
        view.top -= vertical->GetScrollPos();
        view.bottom -= vertical->GetScrollPos();
        view.bottom += vertical->GetScrollRange();
        view.right -= vertical->GetFixedWidth();
        visible.right -= vertical->GetFixedWidth();
    }
    if (horizontal != nullptr && horizontal->IsVisible()) {
        view.left -= horizontal->GetScrollPos();
        view.right -= horizontal->GetScrollPos();
        view.right += horizontal->GetScrollRange();
        view.bottom -= horizontal->GetFixedHeight();
        visible.bottom -= horizontal->GetFixedHeight();
    }

    if (m_host != nullptr) {
        m_host->UpdateClientRect(
            RECT{visible.left + m_textPadding.left, visible.top + m_textPadding.top,
                 visible.right - m_textPadding.right, visible.bottom - m_textPadding.bottom});
        // A bar the text services hid again while the text still does not fit comes back.
        if (verticalShown && (!vertical->IsVisible() || m_autoShownVerticalBar)) {
            const LONG viewWidth =
                view.right - view.left - m_textPadding.left - m_textPadding.right;
            const LONG viewHeight =
                view.bottom - view.top - m_textPadding.top - m_textPadding.bottom;
            if (NaturalHeight(vertical->GetFixedWidth() + viewWidth) > viewHeight) {
                vertical->SetVisible(true);
                vertical->SetScrollPos(0, true);
                m_autoShownVerticalBar = true;
            } else if (m_autoShownVerticalBar) {
                vertical->SetVisible(false);
                m_autoShownVerticalBar = false;
            }
        }
    }

    if (vertical != nullptr && vertical->IsVisible())
        vertical->SetPos(RECT{visible.right, visible.top, visible.right + vertical->GetFixedWidth(),
                              visible.bottom},
                         false);
    if (horizontal != nullptr && horizontal->IsVisible())
        horizontal->SetPos(RECT{visible.left, visible.bottom, visible.right,
                                visible.bottom + horizontal->GetFixedHeight()},
                           false);

    PlaceChildrenAt(view);
}

void CRichEditUI::Move(int dx, int dy, bool invalidate)
{
    CContainerUI::Move(dx, dy, invalidate);
    if (m_host == nullptr)
        return;
    RECT client = {m_itemRect.left + m_inset.left, m_itemRect.top + m_inset.top,
                   m_itemRect.right - m_inset.right, m_itemRect.bottom - m_inset.bottom};
    if (IsVerticalBarShown())
        client.right -= m_verticalScrollBar->GetFixedWidth();
    if (IsHorizontalBarShown())
        client.bottom -= m_horizontalScrollBar->GetFixedHeight();
    m_host->UpdateClientRect(client);
}

// ---- Painting ----

bool CRichEditUI::DoPaint(HDC dc, const RECT &paintArea, CControlUI *stopControl)
{
    RECT visible;
    if (!IntersectRect(&visible, &paintArea, &m_itemRect))
        return true;
    CClipScope clip;
    CClipScope::MakeRectClip(dc, visible, clip);
    CControlUI::DoPaint(dc, paintArea, stopControl);

    if (m_host != nullptr) {
        const RECT &client = m_host->GetClientRect();
        const RECTL bounds = {client.left, client.top, client.right, client.bottom};
        RECT update = paintArea;
        m_host->GetTextServices()->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, dc, nullptr,
                                          &bounds, nullptr, &update, nullptr, 0, TXTVIEW_ACTIVE);
        if (m_autoShownVerticalBar && m_verticalScrollBar != nullptr &&
            NaturalHeight(m_verticalScrollBar->GetFixedWidth() + client.right - client.left) <=
                client.bottom - client.top)
            MarkNeedsLayout();
    }

    if (!m_items.IsEmpty() && !PaintChildren(dc, paintArea, stopControl))
        return false;

    if (m_host != nullptr && m_host->IsCaretShown() && m_manager != nullptr &&
        m_manager->IsLayered() && m_focused && m_caretBlinkOn)
        DrawCaret(dc);

    for (CScrollBarUI *bar : {m_verticalScrollBar, m_horizontalScrollBar}) {
        if (bar == nullptr)
            continue;
        if (bar == stopControl)
            return false;
        if (bar->IsVisible() && Intersects(paintArea, bar->GetPos()) &&
            !bar->Paint(dc, paintArea, stopControl))
            return false;
    }
    return true;
}

void CRichEditUI::DrawCaret(HDC dc)
{
    POINT caret = {0, 0};
    if (!::GetCaretPos(&caret) || !PtInRect(&m_itemRect, caret))
        return;
    const RECT line = {caret.x, caret.y, caret.x, caret.y + m_host->GetCaretHeight()};
    CGdiPainter::DrawLine(dc, line, m_host->GetCaretWidth(), 0xFF000000, PS_SOLID);
}

// ---- Scrolling through the text services ----

void CRichEditUI::Scroll(UINT message, WORD code)
{
    TxSendMessage(message, code, 0, nullptr);
}

void CRichEditUI::LineUp()
{
    Scroll(WM_VSCROLL, SB_LINEUP);
}

// In plain text the text services may stop a line short of the end: the bar then goes
// to its end itself.
void CRichEditUI::LineDown()
{
    CScrollBarUI *bar = m_verticalScrollBar;
    const int before = bar != nullptr ? bar->GetScrollPos() : 0;
    Scroll(WM_VSCROLL, SB_LINEDOWN);
    if (!m_richText && m_host != nullptr && IsVerticalBarShown() && bar->GetScrollPos() <= before)
        bar->SetScrollPos(bar->GetScrollRange(), true);
}

void CRichEditUI::PageUp()
{
    Scroll(WM_VSCROLL, SB_PAGEUP);
}

void CRichEditUI::PageDown()
{
    Scroll(WM_VSCROLL, SB_PAGEDOWN);
}

void CRichEditUI::ScrollToTop()
{
    Scroll(WM_VSCROLL, SB_TOP);
}

void CRichEditUI::ScrollToBottom()
{
    Scroll(WM_VSCROLL, SB_BOTTOM);
}

void CRichEditUI::LineLeft()
{
    Scroll(WM_HSCROLL, SB_LINELEFT);
}

void CRichEditUI::LineRight()
{
    Scroll(WM_HSCROLL, SB_LINERIGHT);
}

void CRichEditUI::PageLeft()
{
    Scroll(WM_HSCROLL, SB_PAGELEFT);
}

void CRichEditUI::PageRight()
{
    Scroll(WM_HSCROLL, SB_PAGERIGHT);
}

void CRichEditUI::ScrollToLeftEdge()
{
    Scroll(WM_HSCROLL, SB_LEFT);
}

void CRichEditUI::ScrollToRightEdge()
{
    Scroll(WM_HSCROLL, SB_RIGHT);
}

// The bars move first; the text services follow to the bars' new positions.
void CRichEditUI::SetScrollPos(SIZE position)
{
    int dx = 0;
    int dy = 0;
    if (IsVerticalBarShown()) {
        const int old = m_verticalScrollBar->GetScrollPos();
        m_verticalScrollBar->SetScrollPos(position.cy, true);
        dy = m_verticalScrollBar->GetScrollPos() - old;
    }
    if (IsHorizontalBarShown()) {
        const int old = m_horizontalScrollBar->GetScrollPos();
        m_horizontalScrollBar->SetScrollPos(position.cx, true);
        dx = m_horizontalScrollBar->GetScrollPos() - old;
    }
    if (dy != 0) {
        const int before = m_verticalScrollBar->GetScrollPos();
        TxSendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, before), 0, nullptr);
        if (!m_richText && m_host != nullptr && dy > 0 && IsVerticalBarShown() &&
            m_verticalScrollBar->GetScrollPos() <= before)
            m_verticalScrollBar->SetScrollPos(before, true);
    }
    if (dx != 0)
        TxSendMessage(WM_HSCROLL,
                      MAKEWPARAM(SB_THUMBPOSITION, m_horizontalScrollBar->GetScrollPos()), 0,
                      nullptr);
}

// ---- Attributes ----

CWideString CRichEditUI::GetAttribute(const wchar_t *name)
{
    if (name != nullptr && wcscmp(name, L"wanttab") == 0)
        return CWideString(m_wantTab ? L"true" : L"false");
    return CContainerUI::GetAttribute(name);
}

// The style bits are read once, when the text services are made.
bool CRichEditUI::SetStyleAttribute(const wchar_t *name, const wchar_t *value)
{
    const bool isTrue = ValueText::IsTrue(value);
    if (wcscmp(name, L"autohscroll") == 0) {
        if (isTrue)
            m_style |= ES_AUTOHSCROLL;
    } else if (wcscmp(name, L"multiline") == 0) {
        if (wcscmp(value, L"false") == 0)
            m_style &= ~ES_MULTILINE;
    } else if (wcscmp(name, L"readonly") == 0) {
        if (isTrue) {
            m_style |= ES_READONLY;
            m_readOnly = true;
        }
    } else if (wcscmp(name, L"password") == 0) {
        if (isTrue)
            m_style |= ES_PASSWORD;
    } else if (wcscmp(name, L"align") == 0) {
        if (Contains(value, L"left"))
            m_style &= ~(ES_CENTER | ES_RIGHT);
        if (Contains(value, L"center")) {
            m_style |= ES_CENTER;
            m_style &= ~ES_RIGHT;
        }
        if (Contains(value, L"right")) {
            m_style |= ES_RIGHT;
            m_style &= ~ES_CENTER;
        }
    } else {
        return false;
    }
    return true;
}

void CRichEditUI::SetAttribute(const wchar_t *name, const wchar_t *value)
{
    if (name == nullptr || value == nullptr)
        return;
    const bool isTrue = ValueText::IsTrue(value);
    if (wcscmp(name, L"vscrollbar") == 0 && isTrue)
        m_style |= WS_VSCROLL | ES_DISABLENOSCROLL;
    if (wcscmp(name, L"autovscroll") == 0) {
        if (isTrue)
            m_style |= ES_AUTOVSCROLL;
    } else if (wcscmp(name, L"hscrollbar") == 0 && isTrue) {
        m_style |= WS_HSCROLL | ES_DISABLENOSCROLL;
    }

    if (SetStyleAttribute(name, value))
        return;
    if (wcscmp(name, L"wanttab") == 0) {
        SetWantTab(isTrue);
    } else if (wcscmp(name, L"wantreturn") == 0) {
        SetWantReturn(isTrue);
    } else if (wcscmp(name, L"wantctrlreturn") == 0) {
        SetWantCtrlReturn(isTrue);
    } else if (wcscmp(name, L"transparent") == 0) {
        SetTransparent(isTrue);
    } else if (wcscmp(name, L"rich") == 0) {
        SetRichText(isTrue);
    } else if (wcscmp(name, L"font") == 0) {
        SetFont(ValueText::ReadInteger(value));
    } else if (wcscmp(name, L"textcolor") == 0) {
        while (*value != L'\0' && *value <= L' ')
            ++value;
        SetTextColor(ValueText::ReadHexColor(value));
    } else if (wcscmp(name, L"textpadding") == 0) {
        int numbers[4] = {0, 0, 0, 0};
        ValueText::ReadIntegerList(value, numbers, 4);
        SetTextPadding(RECT{numbers[0], numbers[1], numbers[2], numbers[3]});
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

} // namespace SkinUI
