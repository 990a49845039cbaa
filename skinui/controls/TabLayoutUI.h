#pragma once

#include "ContainerUI.h"

namespace SkinUI {

// A container that shows exactly one of its children, the current page, over its whole
// client area and keeps the others hidden. Selecting a page shows it, hides the rest, moves
// the keyboard focus into it and sends "tabselect" (wParam the new, lParam the old page).
class CTabLayoutUI : public CContainerUI
{
public:
    static const wchar_t *const kClassName;

    CTabLayoutUI();

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
    void SetPos(RECT rect, bool invalidate = true) override;
    void SetAttribute(const wchar_t *name, const wchar_t *value) override;

    bool Add(CControlUI *control) override;
    bool AddAt(CControlUI *control, int index) override;
    bool Remove(CControlUI *control, bool doNotDelete = false) override;
    void RemoveAll() override;

    // The current page's index; -1 while there is none.
    int GetCurSel() const { return m_currentPage; }
    bool SelectItem(int index, bool notify = true);

private:
    int m_currentPage;
};

} // namespace SkinUI
