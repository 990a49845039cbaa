#include "EditWnd.h"

#include "EditUI.h"
#include "GdiPainter.h"
#include "WindowManagerUI.h"

#include <memory>
#include <new>

namespace SkinUI {

namespace {

// Messages the window manager reflects back to the child that sent them.
const UINT kReflectedCommand = WM_COMMAND + 0x2000;
const UINT kReflectedColorEdit = WM_CTLCOLOREDIT + 0x2000;
const UINT kReflectedColorStatic = WM_CTLCOLORSTATIC + 0x2000;
const DWORD kSystemBackground = 0xFFFFFFFF;

COLORREF ToColorRef(DWORD argb)
{
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

} // namespace

CEditWnd::CEditWnd()
    : m_owner(nullptr), m_manager(nullptr), m_brush(nullptr), m_brushBitmap(nullptr),
      m_initialised(false), m_caretShown(false)
{
}

CEditWnd::~CEditWnd()
{
    DeleteBrush();
}

const wchar_t *CEditWnd::GetWindowClassName() const
{
    return L"EditWnd";
}

const wchar_t *CEditWnd::GetSuperClassName() const
{
    return L"Edit";
}

bool CEditWnd::Open(CEditUI *owner)
{
    m_owner = owner;
    m_manager = owner->GetManager();
    if (m_manager == nullptr)
        return false;
    DWORD style = owner->m_extraStyle | WS_CHILD | ES_AUTOHSCROLL;
    const UINT textStyle = owner->GetTextStyle();
    if (textStyle & DT_CENTER)
        style |= ES_CENTER;
    else if (textStyle & DT_RIGHT)
        style |= ES_RIGHT;
    if (owner->m_password)
        style |= ES_PASSWORD;
    if (!Create(m_manager->GetPaintWindow(), nullptr, style, 0, owner->EditBoxRect()))
        return false;

    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_manager->GetFont(owner->GetFont())), TRUE);
    SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(owner->m_maxChar));
    if (owner->m_password)
        SendMessage(EM_SETPASSWORDCHAR, owner->m_passwordChar);
    SetWindowTextW(m_hWnd, owner->GetText().GetData());
    SendMessage(EM_SETMODIFY, FALSE);
    SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    EnableWindow(m_hWnd, owner->IsEnabled());
    SendMessage(EM_SETREADONLY, owner->m_readOnly);
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    ::SetFocus(m_hWnd);

    const int length = GetWindowTextLengthW(m_hWnd);
    if (owner->m_autoSelectAll)
        SendMessage(EM_SETSEL, 0, length == 0 ? 1 : length);
    else
        SendMessage(EM_SETSEL, length, length);
    m_initialised = true;
    return true;
}

void CEditWnd::ReRegisterWhenLayered()
{
    if (m_owner && m_manager->IsLayered())
        m_manager->AddNativeWindow(m_owner, m_hWnd);
}

LRESULT CEditWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    m_deletion.Enter();
    const LRESULT result = Dispatch(message, wParam, lParam);
    if (m_deletion.Leave())
        delete this;
    return result;
}

LRESULT CEditWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A detached window only finishes its life.
    if (m_owner == nullptr)
        return CWindowWnd::HandleMessage(message, wParam, lParam);
    switch (message) {
    case WM_CREATE:
        m_manager->AddNativeWindow(m_owner, m_hWnd);
        if (m_manager->IsLayered())
            ::SetTimer(m_hWnd, kCaretTimerId, GetCaretBlinkTime(), nullptr);
        break;
    case WM_KILLFOCUS: {
        const LRESULT result = CWindowWnd::HandleMessage(message, wParam, lParam);
        HWND skinWindow = m_manager->GetPaintWindow();
        if (reinterpret_cast<HWND>(wParam) != skinWindow)
            ::SendMessageW(skinWindow, WM_KILLFOCUS, wParam, lParam);
        SendMessage(WM_CLOSE);
        return result;
    }
    case WM_PAINT:
        ReRegisterWhenLayered();
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            m_manager->SendNotify(m_owner, L"return");
            return 0;
        }
        break;
    case WM_TIMER:
        if (wParam == kCaretTimerId) {
            m_caretShown = !m_caretShown;
            InvalidateRect(m_hWnd, nullptr, FALSE);
            return 0;
        }
        break;
    case WM_PRINT:
        if (m_manager->IsLayered()) {
            const LRESULT result = CWindowWnd::HandleMessage(message, wParam, lParam);
            DrawLayeredCaret(reinterpret_cast<HDC>(wParam));
            return result;
        }
        break;
    case kReflectedCommand:
        if (HIWORD(wParam) == EN_CHANGE)
            CopyTextBack();
        else if (HIWORD(wParam) == EN_UPDATE)
            InvalidateRect(m_hWnd, nullptr, FALSE);
        return 0;
    case kReflectedColorEdit:
    case kReflectedColorStatic:
        return BackgroundBrush(reinterpret_cast<HDC>(wParam));
    default:
        break;
    }
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

void CEditWnd::DrawLayeredCaret(HDC dc)
{
    if (!m_owner->IsEnabled() || !m_caretShown || dc == nullptr)
        return;
    POINT caret = {0, 0};
    GetCaretPos(&caret);
    RECT client = {0, 0, 0, 0};
    GetClientRect(m_hWnd, &client);
    CGdiPainter::DrawLine(dc, RECT{caret.x, caret.y, caret.x, caret.y + client.bottom}, 1, 0,
                          PS_SOLID);
}

// The text goes back to the control after every change, not at close.
void CEditWnd::CopyTextBack()
{
    if (!m_initialised)
        return;
    const int length = GetWindowTextLengthW(m_hWnd);
    std::unique_ptr<wchar_t[]> text(new (std::nothrow) wchar_t[length + 1]);
    if (!text)
        return;
    text[0] = L'\0';
    GetWindowTextW(m_hWnd, text.get(), length + 1);
    m_owner->m_text = text.get();
    m_owner->m_reEstimate = true;
    m_manager->SendNotify(m_owner, L"textchanged");
    // The handler may have removed the control: only a window still owned goes on.
    if (m_owner && m_manager->IsLayered())
        m_owner->Invalidate();
}

LRESULT CEditWnd::BackgroundBrush(HDC dc)
{
    if (m_manager->IsLayered() && !m_manager->IsPainting())
        ReRegisterWhenLayered();
    const DWORD background = m_owner->m_nativeBkColor;
    if (background == kSystemBackground)
        return 0;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ToColorRef(m_owner->GetTextColor()));
    if ((background >> 24) < 0xFF) {
        // What lies under the box, with the colour over it, as of now.
        DeleteBrush();
        m_brushBitmap = CGdiPainter::RenderToBitmap(
            m_manager, m_manager->GetNativeWindowRect(m_hWnd), nullptr, background);
        if (m_brushBitmap)
            m_brush = CreatePatternBrush(m_brushBitmap);
    } else if (m_brush == nullptr) {
        m_brush = CreateSolidBrush(ToColorRef(background));
    }
    return reinterpret_cast<LRESULT>(m_brush);
}

void CEditWnd::DeleteBrush()
{
    if (m_brush)
        DeleteObject(m_brush);
    if (m_brushBitmap)
        DeleteObject(m_brushBitmap);
    m_brush = nullptr;
    m_brushBitmap = nullptr;
}

void CEditWnd::OnFinalMessage(HWND window)
{
    if (m_owner) {
        m_owner->Invalidate();
        m_owner->m_window = nullptr;
    }
    if (m_manager)
        m_manager->RemoveNativeWindow(window);
    m_owner = nullptr;
    if (m_deletion.Finish())
        delete this;
}

} // namespace SkinUI
