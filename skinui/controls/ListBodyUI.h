#pragma once

#include "VerticalLayoutUI.h"

namespace SkinUI {

class CListUI;
struct ListItemStyle;

// The scrolling part of a list, which holds the items: each item as high as it measures,
// as wide as the columns, the style's line size added to the gap between items; the header
// follows its horizontal scrolling. Events go on to the list.
class CListBodyUI : public CVerticalLayoutUI
{
public:
    // The list may be null for a body used alone.
    explicit CListBodyUI(CListUI *owner);

    void SetPos(RECT rect, bool invalidate = true) override;
    void DoEvent(ControlEvent &event) override;
    bool DoPaint(HDC dc, const RECT &paintArea, CControlUI *stopControl) override;
    void SetScrollPos(SIZE position) override;

    CListUI *GetOwner() const { return m_owner; }

    // The painting of a body of list items, which the combo box's popup body shares: draw
    // indexes for the items and the style's lines between them.
    static bool PaintItems(CContainerUI &body, const ListItemStyle *style, HDC dc,
                           const RECT &paintArea, CControlUI *stopControl);
    // Scrolls a body of items just far enough up or down to show the item, sideways not at
    // all.
    static void ScrollIntoView(CContainerUI &body, const CControlUI &item);

private:
    const ListItemStyle *OwnerStyle() const;
    // The width the header asks for, or the widest item.
    int RequiredWidth(SIZE available) const;
    void MoveHeaderColumns(int dx);

    CListUI *m_owner;
};

} // namespace SkinUI
