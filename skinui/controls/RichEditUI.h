#pragma once

#include "ContainerUI.h"
#include "WindowInterfaces.h"

#include <richedit.h>

namespace SkinUI {

class CTxtWinHost;

// The editable multi-line text area of a SkinUI window, without a native window: the
// platform's windowless rich-text services keep, edit, lay out and draw the text through
// the control's text host. The control feeds them the window's messages and its own events,
// scrolls them with its container bars, lays out their area, draws a caret by hand in
// layered windows and turns their changes into "textchanged" and Return into "return".
class CRichEditUI : public CContainerUI, public IMessageFilterUI
{
public:
    static const wchar_t *const kClassName;
    // The local id of the caret blink timer in layered windows.
    static const UINT kCaretTimerId = 20;

    CRichEditUI();
    ~CRichEditUI() override;

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
    UINT GetBehaviorFlags() const override;
    const CWideString &GetText() const override;
    void SetText(const wchar_t *text) override;
    void SetPos(RECT rect, bool invalidate = true) override;
    void Move(int dx, int dy, bool invalidate = true) override;
    void SetManager(CWindowManagerUI *manager, CControlUI *parent, bool initialise = true) override;
    void DoInit() override;
    void DoEvent(ControlEvent &event) override;
    CWideString GetAttribute(const wchar_t *name) override;
    void SetAttribute(const wchar_t *name, const wchar_t *value) override;
    SIZE GetDesiredSize(SIZE available) override;
    bool DoPaint(HDC dc, const RECT &paintArea, CControlUI *stopControl) override;

    void SetScrollPos(SIZE position) override;
    void LineUp() override;
    void LineDown() override;
    void PageUp() override;
    void PageDown() override;
    void ScrollToTop() override;
    void ScrollToBottom() override;
    void LineLeft() override;
    void LineRight() override;
    void PageLeft() override;
    void PageRight() override;
    void ScrollToLeftEdge() override;
    void ScrollToRightEdge() override;

    // A message for the text services; Return is held back unless the control wants it.
    // S_FALSE without text services.
    virtual HRESULT TxSendMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result);
    // The text services changed the view; true lets the host repaint the control.
    virtual bool OnTxViewChanged();
    virtual void OnTxNotify(DWORD code, void *data);

    // ---- IMessageFilterUI: the window's messages for the text services ----
    LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool &handled) override;

    bool IsWantTab() const { return m_wantTab; }
    void SetWantTab(bool want) { m_wantTab = want; }
    bool IsWantReturn() const { return m_wantReturn; }
    void SetWantReturn(bool want) { m_wantReturn = want; }
    bool IsWantCtrlReturn() const { return m_wantCtrlReturn; }
    void SetWantCtrlReturn(bool want) { m_wantCtrlReturn = want; }
    bool IsTransparent() const { return m_transparent; }
    void SetTransparent(bool transparent);
    bool IsRichText() const { return m_richText; }
    void SetRichText(bool rich);
    bool IsReadOnly() const { return m_readOnly; }
    DWORD GetTextColor() const { return m_textColor; }
    void SetTextColor(DWORD argb);
    int GetFont() const { return m_fontId; }
    void SetFont(int fontId);
    int GetMaxChars() const { return m_maxChars; }
    DWORD GetStyle() const { return m_style; }
    RECT GetTextPadding() const { return m_textPadding; }
    void SetTextPadding(RECT padding);
    CTxtWinHost *GetTextHost() const { return m_host; }

private:
    // Makes the control a message filter of its window, with a caret timer in a layered one.
    void RegisterWithManager();
    bool SetStyleAttribute(const wchar_t *name, const wchar_t *value);
    void Scroll(UINT message, WORD code);
    void SendReturn();
    // The height the text needs at a width; 0 without text services.
    LONG NaturalHeight(LONG width) const;
    void BlinkCaret();
    void DrawCaret(HDC dc);
    LRESULT PlaceComposition();
    bool IsMouseForUs(UINT message, LPARAM lParam) const;
    POINT MousePoint(UINT message, LPARAM lParam) const;

    CTxtWinHost *m_host;
    bool m_autoShownVerticalBar;
    bool m_wantTab;
    bool m_wantReturn;
    bool m_wantCtrlReturn;
    bool m_transparent;
    bool m_richText;
    bool m_readOnly;
    DWORD m_textColor;
    int m_fontId;
    int m_maxChars;
    DWORD m_style;
    bool m_caretBlinkOn;
    bool m_initialised;
    RECT m_textPadding;
    bool m_filterRegistered;
    // The text read back from the text services for GetText, which answers a reference.
    mutable CWideString m_readText;
};

} // namespace SkinUI
