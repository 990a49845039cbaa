#include "TxtWinHost.h"

#include "ColorRef.h"
#include "RichEditUI.h"
#include "ScrollBarUI.h"
#include "WindowManagerUI.h"

#include <cwchar>

namespace SkinUI {

// {8D33F740-CF58-11CE-A89D-00AA006CADC5}
const IID kIidTextServices = {
    0x8D33F740, 0xCF58, 0x11CE, {0xA8, 0x9D, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};
// {C5BDD8D0-D26E-11CE-A89E-00AA006CADC5}
const IID kIidTextHost = {
    0xC5BDD8D0, 0xD26E, 0x11CE, {0xA8, 0x9E, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};

namespace {

const LONG kDefaultMaxLength = 32767;
const LONG kTwipsPerInch = 1440;
const LONG kHimetricPerInch = 2540;
const LONG kDefaultTab = 720;
const DWORD kScrollBarStyles =
    WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_DISABLENOSCROLL;

} // namespace

CTxtWinHost::CTxtWinHost(CRichEditUI *owner)
    : m_owner(owner), m_refCount(0), m_services(nullptr), m_style(ES_MULTILINE), m_flags(0),
      m_caretWidth(0), m_caretHeight(0), m_lastCaretWidth(0), m_lastCaretHeight(0),
      m_selectionBarWidth(0), m_maxLength(kDefaultMaxLength),
      m_clientRect{0, 0, 0, 0}, m_extent{0, 0}, m_charFormat{}, m_paraFormat{},
      m_acceleratorPos(-1), m_passwordChar(0), m_library(nullptr)
{
}

CTxtWinHost::~CTxtWinHost()
{
    if (m_services != nullptr) {
        m_services->OnTxInPlaceDeactivate();
        m_services->Release();
    }
    if (m_library != nullptr)
        FreeLibrary(m_library);
}

void CTxtWinHost::NewTextHost(CRichEditUI *owner, const TextHostCreation *creation,
                              CTxtWinHost **out)
{
    if (out == nullptr)
        return;
    *out = nullptr;
    auto *host = new CTxtWinHost(owner);
    if (host->Init(creation))
        *out = host;
    else
        delete host;
}

bool CTxtWinHost::Init(const TextHostCreation *creation)
{
    m_refCount = 1;
    FillDefaultCharFormat();
    FillDefaultParaFormat();
    SetFlag(FlagRichText, m_owner->IsRichText());
    m_maxLength = m_owner->GetMaxChars();
    if (creation != nullptr) {
        m_style = creation->style;
        SetFlag(FlagWordWrap, (m_style & (WS_HSCROLL | ES_AUTOHSCROLL)) == 0);
    }
    if (m_style & ES_CENTER)
        m_paraFormat.wAlignment = PFA_CENTER;
    else if (m_style & ES_RIGHT)
        m_paraFormat.wAlignment = PFA_RIGHT;
    SetFlag(FlagInPlaceActive, true);

    if (!CreateServices())
        return false;
    if (creation != nullptr && creation->text != nullptr &&
        FAILED(m_services->TxSetText(creation->text)))
        return false;
    return true;
}

bool CTxtWinHost::CreateServices()
{
    m_library = LoadLibraryW(L"msftedit.dll");
    if (m_library == nullptr)
        return false;
    auto create = reinterpret_cast<PCreateTextServices>(
        reinterpret_cast<void (*)()>(GetProcAddress(m_library, "CreateTextServices")));
    if (create == nullptr)
        return false;
    IUnknown *unknown = nullptr;
    if (FAILED(create(nullptr, this, &unknown)) || unknown == nullptr)
        return false;
    const HRESULT result =
        unknown->QueryInterface(kIidTextServices, reinterpret_cast<void **>(&m_services));
    unknown->Release();
    if (FAILED(result))
        m_services = nullptr;
    return m_services != nullptr;
}

HWND CTxtWinHost::Window() const
{
    CWindowManagerUI *manager = m_owner->GetManager();
    return manager != nullptr ? manager->GetPaintWindow() : nullptr;
}

int CTxtWinHost::PixelsPerInchY() const
{
    CWindowManagerUI *manager = m_owner->GetManager();
    HDC dc = manager != nullptr ? manager->GetPaintDC() : nullptr;
    const int pixels = dc != nullptr ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    return pixels > 0 ? pixels : 96;
}

void CTxtWinHost::SetFlag(DWORD flag, bool on)
{
    if (on)
        m_flags |= flag;
    else
        m_flags &= ~flag;
}

// ---- Formats ----

void CTxtWinHost::FillDefaultCharFormat()
{
    m_charFormat = CHARFORMAT2W{};
    m_charFormat.cbSize = sizeof(m_charFormat);
    m_charFormat.dwMask = CFM_SIZE | CFM_OFFSET | CFM_FACE | CFM_CHARSET | CFM_COLOR | CFM_BOLD |
                          CFM_ITALIC | CFM_UNDERLINE;
    m_charFormat.crTextColor = ToColorRef(m_owner->GetTextColor());
    CWindowManagerUI *manager = m_owner->GetManager();
    LOGFONTW font = {};
    if (manager == nullptr ||
        !GetObjectW(manager->GetFont(m_owner->GetFont()), sizeof(font), &font))
        return;
    m_charFormat.yHeight = font.lfHeight * -kTwipsPerInch / PixelsPerInchY();
    m_charFormat.yOffset = 0;
    m_charFormat.dwEffects = 0;
    if (font.lfWeight >= FW_BOLD)
        m_charFormat.dwEffects |= CFE_BOLD;
    if (font.lfItalic)
        m_charFormat.dwEffects |= CFE_ITALIC;
    if (font.lfUnderline)
        m_charFormat.dwEffects |= CFE_UNDERLINE;
    m_charFormat.bCharSet = font.lfCharSet;
    m_charFormat.bPitchAndFamily = font.lfPitchAndFamily;
    wcsncpy(m_charFormat.szFaceName, font.lfFaceName, LF_FACESIZE - 1);
}

void CTxtWinHost::FillDefaultParaFormat()
{
    m_paraFormat = PARAFORMAT2{};
    m_paraFormat.cbSize = sizeof(m_paraFormat);
    m_paraFormat.dwMask = PFM_ALL;
    m_paraFormat.wAlignment = PFA_LEFT;
    m_paraFormat.cTabCount = 1;
    m_paraFormat.rgxTabs[0] = kDefaultTab;
}

void CTxtWinHost::ApplyFont(HFONT font)
{
    LOGFONTW logFont = {};
    if (font == nullptr || !GetObjectW(font, sizeof(logFont), &logFont))
        return;
    m_charFormat.yHeight = logFont.lfHeight * -kTwipsPerInch / PixelsPerInchY();
    m_charFormat.dwEffects &= ~(CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE);
    if (logFont.lfWeight >= FW_BOLD)
        m_charFormat.dwEffects |= CFE_BOLD;
    if (logFont.lfItalic)
        m_charFormat.dwEffects |= CFE_ITALIC;
    if (logFont.lfUnderline)
        m_charFormat.dwEffects |= CFE_UNDERLINE;
    m_charFormat.bCharSet = logFont.lfCharSet;
    m_charFormat.bPitchAndFamily = logFont.lfPitchAndFamily;
    wcsncpy(m_charFormat.szFaceName, logFont.lfFaceName, LF_FACESIZE - 1);
    m_charFormat.szFaceName[LF_FACESIZE - 1] = L'\0';
    if (m_services != nullptr)
        m_services->OnTxPropertyBitsChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::SetTextColor(COLORREF color)
{
    m_charFormat.crTextColor = color;
    if (m_services != nullptr)
        m_services->OnTxPropertyBitsChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

// ---- Own operations ----

void CTxtWinHost::UpdateClientRect(const RECT &rect)
{
    m_clientRect = rect;
    CWindowManagerUI *manager = m_owner->GetManager();
    HDC dc = manager != nullptr ? manager->GetPaintDC() : nullptr;
    if (dc != nullptr) {
        m_extent.cx =
            MulDiv(rect.right - rect.left, kHimetricPerInch, GetDeviceCaps(dc, LOGPIXELSX));
        m_extent.cy =
            MulDiv(rect.bottom - rect.top, kHimetricPerInch, GetDeviceCaps(dc, LOGPIXELSY));
    }
    if (m_services != nullptr)
        m_services->OnTxPropertyBitsChange(TXTBIT_VIEWINSETCHANGE | TXTBIT_CLIENTRECTCHANGE,
                                           TXTBIT_VIEWINSETCHANGE | TXTBIT_CLIENTRECTCHANGE);
}

bool CTxtWinHost::HandleSetCursor(const RECT *rect, POINT point)
{
    const RECT area = rect != nullptr ? *rect : m_clientRect;
    if (!PtInRect(&area, point) || m_services == nullptr)
        return false;
    const RECT *client = rect == nullptr && HasFlag(FlagInPlaceActive) ? nullptr : &area;
    CWindowManagerUI *manager = m_owner->GetManager();
    m_services->OnTxSetCursor(DVASPECT_CONTENT, -1, nullptr, nullptr,
                              manager != nullptr ? manager->GetPaintDC() : nullptr, nullptr, client,
                              point.x, point.y);
    return true;
}

void CTxtWinHost::ActivateInPlace()
{
    SetFlag(FlagInPlaceActive, true);
    if (m_services == nullptr || FAILED(m_services->OnTxInPlaceActivate(nullptr)))
        SetFlag(FlagInPlaceActive, false);
}

// ---- IUnknown ----

HRESULT STDMETHODCALLTYPE CTxtWinHost::QueryInterface(REFIID iid, void **object)
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != kIidTextHost)
        return E_NOINTERFACE;
    *object = static_cast<ITextHost *>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CTxtWinHost::AddRef()
{
    return static_cast<ULONG>(++m_refCount);
}

ULONG STDMETHODCALLTYPE CTxtWinHost::Release()
{
    const LONG count = --m_refCount;
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

// ---- Device context ----

HDC CTxtWinHost::TxGetDC()
{
    CWindowManagerUI *manager = m_owner->GetManager();
    return manager != nullptr ? manager->GetPaintDC() : nullptr;
}

// The manager's DC stays with the manager.
INT CTxtWinHost::TxReleaseDC(HDC)
{
    return 1;
}

// ---- Scroll bars: the container's own ----

void CTxtWinHost::ShowBar(bool vertical, bool show)
{
    CScrollBarUI *bar =
        vertical ? m_owner->GetVerticalScrollBar() : m_owner->GetHorizontalScrollBar();
    if (bar != nullptr)
        bar->SetVisible(show);
}

BOOL CTxtWinHost::TxShowScrollBar(INT bar, BOOL show)
{
    if (bar == SB_VERT || bar == SB_BOTH)
        ShowBar(true, show == TRUE);
    if (bar == SB_HORZ || bar == SB_BOTH)
        ShowBar(false, show == TRUE);
    return TRUE;
}

BOOL CTxtWinHost::TxEnableScrollBar(INT bars, INT arrows)
{
    const bool shown = arrows != ESB_DISABLE_BOTH;
    switch (bars) {
    case SB_VERT:
        m_owner->EnableScrollBar(true, m_owner->GetHorizontalScrollBar() != nullptr);
        ShowBar(true, shown);
        break;
    case SB_HORZ:
        m_owner->EnableScrollBar(m_owner->GetVerticalScrollBar() != nullptr, true);
        ShowBar(false, shown);
        break;
    case SB_BOTH:
        m_owner->EnableScrollBar(true, true);
        ShowBar(true, shown);
        ShowBar(false, shown);
        break;
    default:
        break;
    }
    return TRUE;
}

// The bar scrolls what the text area cannot show: the range beyond the client size.
BOOL CTxtWinHost::TxSetScrollRange(INT bar, LONG minimum, INT maximum, BOOL)
{
    const bool vertical = bar == SB_VERT;
    if (!vertical && bar != SB_HORZ)
        return TRUE;
    CScrollBarUI *scrollBar =
        vertical ? m_owner->GetVerticalScrollBar() : m_owner->GetHorizontalScrollBar();
    if (scrollBar == nullptr)
        return TRUE;
    const LONG client =
        vertical ? m_clientRect.bottom - m_clientRect.top : m_clientRect.right - m_clientRect.left;
    const LONG overflow = (maximum - minimum) - client;
    if (overflow > 0) {
        scrollBar->SetVisible(true);
        scrollBar->SetScrollRange(overflow);
    } else {
        scrollBar->SetVisible(false);
    }
    return TRUE;
}

BOOL CTxtWinHost::TxSetScrollPos(INT bar, INT position, BOOL)
{
    CScrollBarUI *scrollBar = bar == SB_VERT   ? m_owner->GetVerticalScrollBar()
                              : bar == SB_HORZ ? m_owner->GetHorizontalScrollBar()
                                               : nullptr;
    if (scrollBar != nullptr)
        scrollBar->SetScrollPos(position, true);
    return TRUE;
}

// ---- Painting ----

void CTxtWinHost::TxInvalidateRect(LPCRECT rect, BOOL)
{
    CWindowManagerUI *manager = m_owner->GetManager();
    if (manager != nullptr)
        manager->Invalidate(rect != nullptr ? *rect : m_clientRect);
}

void CTxtWinHost::TxViewChange(BOOL)
{
    if (m_owner->OnTxViewChanged())
        m_owner->Invalidate();
}

// ---- Caret ----

BOOL CTxtWinHost::TxCreateCaret(HBITMAP bitmap, INT width, INT height)
{
    m_caretWidth = width;
    m_caretHeight = height;
    return ::CreateCaret(Window(), bitmap, width, height);
}

BOOL CTxtWinHost::TxShowCaret(BOOL show)
{
    SetFlag(FlagCaretShown, show != FALSE);
    return show ? ::ShowCaret(Window()) : ::HideCaret(Window());
}

void CTxtWinHost::InvalidateCaretArea(const RECT &area)
{
    CWindowManagerUI *manager = m_owner->GetManager();
    if (manager != nullptr)
        manager->Invalidate(area);
}

// A layered window shows no system caret: the control draws it, so both the old and the new
// caret places are repainted. After a window resize the old place is repainted once.
BOOL CTxtWinHost::TxSetCaretPos(INT x, INT y)
{
    CWindowManagerUI *manager = m_owner->GetManager();
    const bool layered = manager != nullptr && manager->IsLayered();
    POINT old = {0, 0};
    ::GetCaretPos(&old);
    const RECT oldArea = {old.x, old.y, old.x + m_lastCaretWidth, old.y + m_lastCaretHeight};
    if (layered) {
        InvalidateCaretArea(oldArea);
    } else if (HasFlag(FlagCaretMovedByResize)) {
        InvalidateCaretArea(oldArea);
        SetFlag(FlagCaretMovedByResize, false);
    }
    if (layered)
        InvalidateCaretArea(RECT{x, y, x + m_caretWidth, y + m_caretHeight});
    m_lastCaretWidth = m_caretWidth;
    m_lastCaretHeight = m_caretHeight;
    return ::SetCaretPos(x, y);
}

// ---- Timers, capture, focus, cursor ----

BOOL CTxtWinHost::TxSetTimer(UINT id, UINT timeout)
{
    SetFlag(FlagTimer, true);
    CWindowManagerUI *manager = m_owner->GetManager();
    return manager != nullptr && manager->SetTimer(m_owner, id, timeout) ? TRUE : FALSE;
}

void CTxtWinHost::TxKillTimer(UINT id)
{
    CWindowManagerUI *manager = m_owner->GetManager();
    if (manager != nullptr)
        manager->KillTimer(m_owner, id);
    SetFlag(FlagTimer, false);
}

// The control repaints through invalidation.
void CTxtWinHost::TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT) {}

void CTxtWinHost::TxSetCapture(BOOL capture)
{
    CWindowManagerUI *manager = m_owner->GetManager();
    if (manager != nullptr) {
        if (capture)
            manager->SetCapture();
        else
            manager->ReleaseCapture();
    }
    SetFlag(FlagCaptured, capture != FALSE);
}

void CTxtWinHost::TxSetFocus()
{
    m_owner->SetFocus();
}

void CTxtWinHost::TxSetCursor(HCURSOR cursor, BOOL)
{
    ::SetCursor(cursor);
}

BOOL CTxtWinHost::TxScreenToClient(LPPOINT point)
{
    return ::ScreenToClient(Window(), point);
}

BOOL CTxtWinHost::TxClientToScreen(LPPOINT point)
{
    return ::ClientToScreen(Window(), point);
}

HRESULT CTxtWinHost::TxActivate(LONG *)
{
    return S_OK;
}

HRESULT CTxtWinHost::TxDeactivate(LONG)
{
    return S_OK;
}

// ---- Geometry and formats ----

HRESULT CTxtWinHost::TxGetClientRect(LPRECT rect)
{
    *rect = m_clientRect;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetViewInset(LPRECT inset)
{
    *inset = RECT{0, 0, 0, 0};
    return S_OK;
}

HRESULT CTxtWinHost::TxGetCharFormat(const CHARFORMATW **format)
{
    *format = reinterpret_cast<const CHARFORMATW *>(&m_charFormat);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetParaFormat(const PARAFORMAT **format)
{
    *format = reinterpret_cast<const PARAFORMAT *>(&m_paraFormat);
    return S_OK;
}

COLORREF CTxtWinHost::TxGetSysColor(int index)
{
    return ::GetSysColor(index);
}

HRESULT CTxtWinHost::TxGetBackStyle(TXTBACKSTYLE *style)
{
    *style = HasFlag(FlagTransparent) ? TXTBACK_TRANSPARENT : TXTBACK_OPAQUE;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetMaxLength(DWORD *length)
{
    *length = static_cast<DWORD>(m_maxLength);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetScrollBars(DWORD *bars)
{
    *bars = m_style & kScrollBarStyles;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetPasswordChar(TCHAR *character)
{
    *character = m_passwordChar;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetAcceleratorPos(LONG *position)
{
    *position = m_acceleratorPos;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetExtent(LPSIZEL extent)
{
    *extent = m_extent;
    return S_OK;
}

HRESULT CTxtWinHost::OnTxCharFormatChange(const CHARFORMATW *)
{
    return S_OK;
}

HRESULT CTxtWinHost::OnTxParaFormatChange(const PARAFORMAT *)
{
    return S_OK;
}

HRESULT CTxtWinHost::TxGetPropertyBits(DWORD mask, DWORD *bits)
{
    DWORD properties = 0;
    if (HasFlag(FlagRichText))
        properties |= TXTBIT_RICHTEXT;
    if (m_style & ES_MULTILINE)
        properties |= TXTBIT_MULTILINE;
    if (m_style & ES_READONLY)
        properties |= TXTBIT_READONLY;
    if (m_style & ES_PASSWORD)
        properties |= TXTBIT_USEPASSWORD;
    if (!(m_style & ES_NOHIDESEL))
        properties |= TXTBIT_HIDESELECTION;
    if (HasFlag(FlagWordWrap))
        properties |= TXTBIT_WORDWRAP;
    *bits = properties & mask;
    return S_OK;
}

// ---- Notifications ----

HRESULT CTxtWinHost::TxNotify(DWORD code, void *data)
{
    if (code == EN_REQUESTRESIZE) {
        const auto *request = static_cast<const REQRESIZE *>(data);
        if (request != nullptr) {
            RECT resized = m_clientRect;
            resized.right = resized.left + request->rc.right;
            resized.bottom = resized.top + request->rc.bottom;
            UpdateClientRect(resized);
        }
        return S_OK;
    }
    m_owner->OnTxNotify(code, data);
    return S_OK;
}

// The control places the input method's window itself.
HIMC CTxtWinHost::TxImmGetContext()
{
    return nullptr;
}

void CTxtWinHost::TxImmReleaseContext(HIMC) {}

HRESULT CTxtWinHost::TxGetSelectionBarWidth(LONG *width)
{
    *width = m_selectionBarWidth;
    return S_OK;
}

} // namespace SkinUI
