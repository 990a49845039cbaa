#pragma once

#include "DeferredSelfDelete.h"
#include "WindowWnd.h"

namespace SkinUI {

class CEditUI;
class CWindowManagerUI;

// The native EDIT child window that an edit box opens over its text area while it has the
// focus. It deletes itself when its window is destroyed; the edit box it belongs to can
// detach it first, when the edit box goes while the window is open.
class CEditWnd final : public CWindowWnd
{
public:
    static const UINT kCaretTimerId = 20;

    CEditWnd();

    // Creates the window over the owner's text area and gives it the keyboard focus; false
    // when the window could not be made (the object is then the caller's to delete).
    bool Open(CEditUI *owner);
    // The owner is going: the window no longer reaches it.
    void Detach() { m_owner = nullptr; }

    const wchar_t *GetWindowClassName() const override;
    const wchar_t *GetSuperClassName() const override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND window) override;

private:
    ~CEditWnd();

    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void ReRegisterWhenLayered();
    void CopyTextBack();
    LRESULT BackgroundBrush(HDC dc);
    void DeleteBrush();
    void DrawLayeredCaret(HDC dc);

    CEditUI *m_owner;
    CWindowManagerUI *m_manager;
    HBRUSH m_brush;
    // The picture behind a translucent background brush, freed with the brush.
    HBITMAP m_brushBitmap;
    bool m_initialised;
    bool m_caretShown;
    DeferredSelfDelete m_deletion;
};

} // namespace SkinUI
