#pragma once

#include "WindowWnd.h"

namespace SkinUI {

class CActiveXCtrl;
class CWindowManagerUI;

// The child window ("ActiveXWnd") in which an object that will not go windowless draws. It
// is registered with the manager as the control's native window; in a layered window a timer
// keeps re-registering it, so its area is repainted through WM_PRINT and the caret blinks.
class CActiveXWnd final : public CWindowWnd
{
public:
    static const wchar_t *const kWindowClassName;
    static const UINT kRefreshTimerId = 20;

    explicit CActiveXWnd(CActiveXCtrl *site);
    ~CActiveXWnd();

    // Creates the window as a child of the owner's window; null when that fails.
    HWND Init(CWindowManagerUI *manager);

    const wchar_t *GetWindowClassName() const override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND window) override;

private:
    LRESULT OnCreate();
    LRESULT OnTimer(WPARAM id);
    void OnPrint(HDC dc);
    void DrawCaret(HDC dc);
    LRESULT OnMouseActivate(UINT message, WPARAM wParam, LPARAM lParam);
    void DoVerb(LONG verb);
    bool IsLayered() const;

    CActiveXCtrl *m_site;
    CWindowManagerUI *m_manager;
    int m_tickCount;
    bool m_caretShown;
};

} // namespace SkinUI
