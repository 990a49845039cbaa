#pragma once

#include "ControlUI.h"
#include "ListItemCore.h"

namespace SkinUI {

// The base of the list elements that are plain controls: an item of a list or combo box
// that paints its background from the owner's style and its text over it, selects itself
// when clicked ("itemclick"), activates on a double click or Return ("itemactivate") and
// hands the mouse events it does not use on to its owner.
class CListElementUI : public CControlUI, public IListItemUI
{
public:
    static const wchar_t *const kClassName;

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
    UINT GetBehaviorFlags() const override;
    bool Activate() override;
    void SetVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void DoEvent(ControlEvent &event) override;
    void SetAttribute(const wchar_t *name, const wchar_t *value) override;
    bool DoPaint(HDC dc, const RECT &paintArea, CControlUI *stopControl) override;

    // ---- IListItemUI ----
    int GetIndex() const override { return m_core.index; }
    void SetIndex(int index) override { m_core.index = index; }
    int GetDrawIndex() const override { return m_core.drawIndex; }
    void SetDrawIndex(int index) override { m_core.drawIndex = index; }
    IListOwnerUI *GetOwner() override { return m_core.owner; }
    void SetOwner(CControlUI *owner) override;
    bool IsSelected() const override { return m_core.selected; }
    bool Select(bool select = true, bool takeFocus = true) override;
    bool IsExpanded() const override { return false; }
    bool Expand(bool) override { return false; }

    bool IsHot() const;

protected:
    CListElementUI() = default;

    // Hands an event on to the owner, or to the control rules without one.
    void PassOn(ControlEvent &event);

    ListItemCore m_core;
};

} // namespace SkinUI
