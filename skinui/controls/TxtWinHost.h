#pragma once

#include <windows.h>

#include <richedit.h>
#include <textserv.h>

namespace SkinUI {

class CRichEditUI;

// What a rich edit control hands to NewTextHost: its edit style and its initial text.
struct TextHostCreation
{
    DWORD style = 0;
    const wchar_t *text = nullptr;
};

// The interface identifiers of the text services and their host; the import libraries do
// not carry them.
extern const IID kIidTextServices;
extern const IID kIidTextHost;

// The windowless host of the platform's rich-text services for one rich edit control. It has
// no window of its own: device context, caret, timers, capture and cursor belong to the
// SkinUI window of the control, and the scroll bars are the control's own container bars.
// Reference counted; the control holds one reference, the last Release deletes the host
// and with it the text services.
class CTxtWinHost : public ITextHost
{
public:
    // Property bits of the host (flag word).
    enum Flag : DWORD
    {
        FlagWordWrap = 0x002,
        FlagRichText = 0x008,
        FlagInPlaceActive = 0x020,
        FlagTransparent = 0x040,
        FlagTimer = 0x080,
        FlagCaptured = 0x100,
        FlagCaretShown = 0x200,
        FlagCaretMovedByResize = 0x400,
    };

    // Makes and initialises a host for the control; null in out when that fails.
    static void NewTextHost(CRichEditUI *owner, const TextHostCreation *creation,
                            CTxtWinHost **out);

    ITextServices *GetTextServices() const { return m_services; }
    // The text area, in the window's client coordinates.
    void UpdateClientRect(const RECT &rect);
    const RECT &GetClientRect() const { return m_clientRect; }
    void ApplyFont(HFONT font);
    void SetTextColor(COLORREF color);
    void SetRichText(bool rich) { SetFlag(FlagRichText, rich); }
    void SetTransparent(bool transparent) { SetFlag(FlagTransparent, transparent); }
    void SetCaretMovedByResize() { SetFlag(FlagCaretMovedByResize, true); }
    bool IsCaretShown() const { return HasFlag(FlagCaretShown); }
    bool IsCaptured() const { return HasFlag(FlagCaptured); }
    bool IsWordWrap() const { return HasFlag(FlagWordWrap); }
    int GetCaretWidth() const { return m_caretWidth; }
    int GetCaretHeight() const { return m_caretHeight; }
    // Lets the text services set the cursor for a point in the rectangle (the client
    // rectangle when null); false when the point lies outside.
    bool HandleSetCursor(const RECT *rect, POINT point);
    void ActivateInPlace();

    // ---- IUnknown ----
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // ---- ITextHost ----
    HDC TxGetDC() override;
    INT TxReleaseDC(HDC dc) override;
    BOOL TxShowScrollBar(INT bar, BOOL show) override;
    BOOL TxEnableScrollBar(INT bars, INT arrows) override;
    BOOL TxSetScrollRange(INT bar, LONG minimum, INT maximum, BOOL redraw) override;
    BOOL TxSetScrollPos(INT bar, INT position, BOOL redraw) override;
    void TxInvalidateRect(LPCRECT rect, BOOL mode) override;
    void TxViewChange(BOOL update) override;
    BOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height) override;
    BOOL TxShowCaret(BOOL show) override;
    BOOL TxSetCaretPos(INT x, INT y) override;
    BOOL TxSetTimer(UINT id, UINT timeout) override;
    void TxKillTimer(UINT id) override;
    void TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN update,
                          LPRECT updateRect, UINT flags) override;
    void TxSetCapture(BOOL capture) override;
    void TxSetFocus() override;
    void TxSetCursor(HCURSOR cursor, BOOL text) override;
    BOOL TxScreenToClient(LPPOINT point) override;
    BOOL TxClientToScreen(LPPOINT point) override;
    HRESULT TxActivate(LONG *oldState) override;
    HRESULT TxDeactivate(LONG newState) override;
    HRESULT TxGetClientRect(LPRECT rect) override;
    HRESULT TxGetViewInset(LPRECT inset) override;
    HRESULT TxGetCharFormat(const CHARFORMATW **format) override;
    HRESULT TxGetParaFormat(const PARAFORMAT **format) override;
    COLORREF TxGetSysColor(int index) override;
    HRESULT TxGetBackStyle(TXTBACKSTYLE *style) override;
    HRESULT TxGetMaxLength(DWORD *length) override;
    HRESULT TxGetScrollBars(DWORD *bars) override;
    HRESULT TxGetPasswordChar(TCHAR *character) override;
    HRESULT TxGetAcceleratorPos(LONG *position) override;
    HRESULT TxGetExtent(LPSIZEL extent) override;
    HRESULT OnTxCharFormatChange(const CHARFORMATW *format) override;
    HRESULT OnTxParaFormatChange(const PARAFORMAT *format) override;
    HRESULT TxGetPropertyBits(DWORD mask, DWORD *bits) override;
    HRESULT TxNotify(DWORD code, void *data) override;
    HIMC TxImmGetContext() override;
    void TxImmReleaseContext(HIMC context) override;
    HRESULT TxGetSelectionBarWidth(LONG *width) override;

private:
    explicit CTxtWinHost(CRichEditUI *owner);
    CTxtWinHost(const CTxtWinHost &) = delete;
    CTxtWinHost &operator=(const CTxtWinHost &) = delete;
    virtual ~CTxtWinHost();

    bool Init(const TextHostCreation *creation);
    bool CreateServices();
    void FillDefaultCharFormat();
    void FillDefaultParaFormat();
    void SetFlag(DWORD flag, bool on);
    bool HasFlag(DWORD flag) const { return (m_flags & flag) != 0; }
    HWND Window() const;
    int PixelsPerInchY() const;
    // Shows or hides a bar of the owner; a bar the owner does not have is left alone.
    void ShowBar(bool vertical, bool show);
    void InvalidateCaretArea(const RECT &area);

    CRichEditUI *m_owner;
    LONG m_refCount;
    ITextServices *m_services;
    DWORD m_style;
    DWORD m_flags;
    int m_caretWidth;
    int m_caretHeight;
    int m_lastCaretWidth;
    int m_lastCaretHeight;
    LONG m_selectionBarWidth;
    LONG m_maxLength;
    RECT m_clientRect;
    SIZEL m_extent;
    CHARFORMAT2W m_charFormat;
    PARAFORMAT2 m_paraFormat;
    LONG m_acceleratorPos;
    wchar_t m_passwordChar;
    HMODULE m_library;
};

} // namespace SkinUI
