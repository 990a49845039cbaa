#pragma once

#include "WindowManagerUI.h"
#include "WindowWnd.h"

namespace SkinUI {

class CComboUI;
class CComboBodyUI;

// The drop-down of a combo box: a borderless pop-up owned by the combo box's window, with a
// window manager of its own whose root body borrows the combo box's items. Focus moving
// away, Return, Escape and a click on an item close it; however it ends (closed, or
// destroyed with its owner or its combo box), the items go back to the combo box and the
// object deletes itself.
class CComboWnd final : public CWindowWnd
{
public:
    static const wchar_t *const kWindowClassName;

    // Places, creates and shows the pop-up below the combo box (above it when it would
    // reach below the primary monitor's work area).
    void Init(CComboUI *combo);

    const wchar_t *GetWindowClassName() const override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND window) override;

    CWindowManagerUI &GetManager() { return m_manager; }
    CComboBodyUI *GetBody() const { return m_body; }
    // Scrolls the pop-up to the item, when the combo box has a selection.
    void EnsureVisible(int index);
    // The combo box's items changed while lent: the body shows them again in the combo box's
    // order, without the one about to leave it (which may be deleted next).
    void ShowItems(const CControlUI *leaving = nullptr);

private:
    CComboWnd() = default;
    ~CComboWnd() = default;
    friend class CComboUI;

    RECT PlaceBelowOrAbove() const;
    void BuildBody();
    bool HandleKillFocus(HWND gaining);
    bool HandleKeyDown(WPARAM key);
    void HandleClose();
    // Gives the items back to the combo box once.
    void HandBackItems();
    CControlUI *ControlAt(LPARAM lParam) const;

    CWindowManagerUI m_manager;
    CComboUI *m_combo = nullptr;
    CComboBodyUI *m_body = nullptr;
    int m_oldSel = -1;
    bool m_scrollBarPressed = false;
    bool m_itemsHandedBack = false;
};

} // namespace SkinUI
