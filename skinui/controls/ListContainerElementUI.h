#pragma once

#include "ContainerUI.h"
#include "ListItemCore.h"

namespace SkinUI {

// A list element that is a container: its children are laid out by the container rules
// and paint themselves over the item background. An expandable one can be expanded through
// its owner ("itemexpand", "itemcollapse").
class CListContainerElementUI : public CContainerUI, public IListItemUI
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
    SIZE GetDesiredSize(SIZE available) override;
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
    bool IsExpanded() const override { return m_expanded; }
    bool Expand(bool expand = true) override;
    // The children draw themselves.
    void DrawItemText(HDC, const RECT &) override {}

    bool IsExpandable() const { return m_expandable; }
    void SetExpandable(bool expandable) { m_expandable = expandable; }
    bool IsHot() const;

protected:
    void PassOn(ControlEvent &event);

    ListItemCore m_core;
    bool m_expandable = false;
    bool m_expanded = false;
};

} // namespace SkinUI
