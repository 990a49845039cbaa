#pragma once

#include "VerticalLayoutUI.h"

#include <unordered_set>
#include <vector>

namespace SkinUI {

class CListUI;
struct ListItemStyle;

// The scrolling part of a list, which holds the items: each item as high as it measures,
// as wide as the columns, the style's line size added to the gap between items; the header
// follows its horizontal scrolling. Events go on to the list.
//
// Every item gets its place at every layout and scroll, but only the items in view are laid
// out inside as well: a list item out of view gets its own rectangle only, and the controls
// in it are laid out when it comes into view. So a change or a scroll in a long list lays
// out what it changes or shows, not every row.
class CListBodyUI : public CVerticalLayoutUI
{
public:
    // The list may be null for a body used alone.
    explicit CListBodyUI(CListUI *owner);

    void SetPos(RECT rect, bool invalidate = true) override;
    void Move(int dx, int dy, bool invalidate = true) override;
    void DoEvent(ControlEvent &event) override;
    bool DoPaint(HDC dc, const RECT &paintArea, CControlUI *stopControl) override;
    void SetScrollPos(SIZE position) override;
    bool Remove(CControlUI *control, bool doNotDelete = false) override;
    void RemoveAll() override;

    CListUI *GetOwner() const { return m_owner; }

    // The painting of a body of list items, which the combo box's popup body shares: draw
    // indexes for the items and the style's lines between them.
    static bool PaintItems(CContainerUI &body, const ListItemStyle *style, HDC dc,
                           const RECT &paintArea, CControlUI *stopControl);
    // Scrolls a body of items just far enough up or down to show the item, sideways not at
    // all.
    static void ScrollIntoView(CContainerUI &body, const CControlUI &item);

private:
    // What of the owner's style lays out the inside of items: the columns, counted from
    // where the body is not scrolled sideways, and the lines between them.
    struct ColumnLayout
    {
        std::vector<RECT> columns;
        int lineSize = 0;

        bool operator==(const ColumnLayout &other) const;
    };

    const ListItemStyle *OwnerStyle() const;
    // The width the header asks for, or the widest item.
    int RequiredWidth(SIZE available) const;
    void MoveHeaderColumns(int dx);
    // Where items are in view: the client area, with the room of the scroll bars, which
    // may go without a new layout.
    RECT ViewArea() const;
    ColumnLayout CurrentColumns() const;
    // A list item without size listeners or cover, whose inside may wait until it is in view.
    static bool MayWaitOutOfView(CControlUI &item);
    // The item was in view at the last layout or scroll and has been laid out inside since.
    bool IsLaidOutWhole(CControlUI &item) const;
    void PlaceItem(CControlUI &item, const RECT &place, const RECT &view, bool columnsChanged,
                   std::unordered_set<CControlUI *> &inView);
    void MoveItems(int dx, int dy, bool floatingToo);
    void LayOutInLaidOutColumns(CControlUI &item, const RECT &place);

    CListUI *m_owner;
    // The items in view at the last layout or scroll, laid out inside at their place.
    std::unordered_set<CControlUI *> m_inView;
    ColumnLayout m_laidOutColumns;
};

} // namespace SkinUI
