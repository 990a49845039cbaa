#pragma once

#include "LabelUI.h"

namespace SkinUI {

class CEditWnd;

// A single-line text field. Idle it paints itself as a label; while it has the focus a real
// EDIT child window lies over its text area, copies every change back ("textchanged"),
// sends "return" on the Enter key and closes when it loses the keyboard focus. A tip text
// can stand in the field while it is empty.
class CEditUI : public CLabelUI
{
    friend class CEditWnd;

public:
    static const wchar_t *const kClassName;

    CEditUI();
    ~CEditUI() override;

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
    UINT GetBehaviorFlags() const override;
    HWND GetNativeWindow() const override;
    void SetManager(CWindowManagerUI *manager, CControlUI *parent, bool initialise = true) override;
    void SetText(const wchar_t *text) override;
    void SetPos(RECT rect, bool invalidate = true) override;
    void Move(int dx, int dy, bool invalidate = true) override;
    void SetVisible(bool visible = true) override;
    void SetInheritedVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    SIZE GetDesiredSize(SIZE available) override;
    void DoEvent(ControlEvent &event) override;
    void SetAttribute(const wchar_t *name, const wchar_t *value) override;
    void PaintStateImage(HDC dc) override;
    void PaintText(HDC dc) override;

    void SetMaxChar(int maxChar);
    int GetMaxChar() const { return m_maxChar; }
    void SetReadOnly(bool readOnly);
    bool IsReadOnly() const { return m_readOnly; }
    bool IsPasswordMode() const { return m_password; }
    wchar_t GetPasswordChar() const { return m_passwordChar; }
    // An empty field takes the tip as its text.
    void SetTipValue(const wchar_t *text);
    const CWideString &GetTipValue() const { return m_tipValue; }

protected:
    // The text area where the native box lies: the text rectangle, no taller than one line
    // of the font, clipped by the ancestors; empty when out of sight.
    RECT EditBoxRect();
    void OpenBox();
    void CloseBoxWithControl();
    void ClearWindowFocusIfHidden();
    CWideString ShownText() const;

    CEditWnd *m_window;
    int m_maxChar;
    bool m_readOnly;
    bool m_password;
    bool m_autoSelectAll;
    wchar_t m_passwordChar;
    UINT m_editState;
    DWORD m_nativeBkColor;
    DWORD m_extraStyle;
    ImageDescriptor m_normalImage;
    ImageDescriptor m_hotImage;
    ImageDescriptor m_focusedImage;
    ImageDescriptor m_disabledImage;
    CWideString m_tipValue;
    DWORD m_tipValueColor;
};

} // namespace SkinUI
