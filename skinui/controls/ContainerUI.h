#pragma once

#include "ControlUI.h"
#include "PointerArray.h"

namespace SkinUI {

class CScrollBarUI;

// The child-list protocol of a container, through which the dialog builder and application
// code add and remove children without knowing the container's class.
class IContainerUI
{
public:
    virtual CControlUI *GetItemAt(int index) const = 0;
    virtual int GetItemIndex(CControlUI *control) const = 0;
    virtual bool SetItemIndex(CControlUI *control, int index) = 0;
    virtual bool MoveItemRange(CControlUI *first, int count, int newIndex) = 0;
    virtual int GetCount() const = 0;
    virtual bool Add(CControlUI *control) = 0;
    virtual bool AddAt(CControlUI *control, int index) = 0;
    // With doNotDelete the child is handed back to the caller instead of being deleted.
    virtual bool Remove(CControlUI *control, bool doNotDelete = false) = 0;
    virtual bool RemoveAt(int index, bool doNotDelete = false) = 0;
    virtual void RemoveAll() = 0;

protected:
    ~IContainerUI() = default;
};

// The base of every container: owns an ordered list of children (when it deletes them on
// removal), lays them out inside its inset, paints them clipped to its client area and
// searches them for FindControl. A plain container gives every visible child the whole
// client area. Up to two scroll bars, made on demand and owned by the container, scroll the
// children; the layouts show, hide and range them for the extent their children need.
class CContainerUI : public CControlUI, public IContainerUI
{
public:
    static const wchar_t *const kClassName;

    CContainerUI();
    ~CContainerUI() override;

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;

    // ---- IContainerUI ----
    CControlUI *GetItemAt(int index) const override;
    int GetItemIndex(CControlUI *control) const override;
    bool SetItemIndex(CControlUI *control, int index) override;
    bool MoveItemRange(CControlUI *first, int count, int newIndex) override;
    int GetCount() const override;
    bool Add(CControlUI *control) override;
    bool AddAt(CControlUI *control, int index) override;
    bool Remove(CControlUI *control, bool doNotDelete = false) override;
    bool RemoveAt(int index, bool doNotDelete = false) override;
    void RemoveAll() override;

    // ---- CControlUI ----
    void SetManager(CWindowManagerUI *manager, CControlUI *parent, bool initialise = true) override;
    RECT GetClientPos() const override;
    void SetPos(RECT rect, bool invalidate = true) override;
    void Move(int dx, int dy, bool invalidate = true) override;
    void SetVisible(bool visible = true) override;
    void SetInheritedVisible(bool visible = true) override;
    void SetMouseEnabled(bool enabled = true) override;
    CControlUI *FindControl(FindControlProc visitor, void *data, UINT flags) override;
    void DoEvent(ControlEvent &event) override;
    void SetAttribute(const wchar_t *name, const wchar_t *value) override;
    bool DoPaint(HDC dc, const RECT &paintArea, CControlUI *stopControl) override;
    // Paints the shown scroll bars over the children; false when stopControl was reached.
    bool PaintScrollBars(HDC dc, const RECT &paintArea, CControlUI *stopControl);

    // ---- Container properties ----
    virtual RECT GetInset() const;
    virtual void SetInset(RECT inset);
    virtual int GetChildPadding() const;
    virtual void SetChildPadding(int padding);
    virtual UINT GetChildAlign() const;
    virtual void SetChildAlign(UINT align);
    virtual UINT GetChildVAlign() const;
    virtual void SetChildVAlign(UINT align);
    virtual bool IsDeleteChildrenOnRemove() const;
    virtual void SetDeleteChildrenOnRemove(bool deleteChildren);
    virtual bool IsDeferredDelete() const;
    virtual void SetDeferredDelete(bool deferred);
    virtual bool IsMouseChildEnabled() const;
    virtual void SetMouseChildEnabled(bool enabled = true);
    virtual int FindSelectable(int index, bool forward = true) const;

    // ---- Scrolling. Positions and ranges are in pixels; a hidden bar counts as none ----
    virtual SIZE GetScrollPos() const;
    virtual SIZE GetScrollRange() const;
    virtual void SetScrollPos(SIZE position);
    virtual void LineUp();
    virtual void LineDown();
    virtual void PageUp();
    virtual void PageDown();
    virtual void ScrollToTop();
    virtual void ScrollToBottom();
    virtual void LineLeft();
    virtual void LineRight();
    virtual void PageLeft();
    virtual void PageRight();
    virtual void ScrollToLeftEdge();
    virtual void ScrollToRightEdge();
    virtual void EnableScrollBar(bool vertical = true, bool horizontal = false);
    virtual CScrollBarUI *GetVerticalScrollBar() const;
    virtual CScrollBarUI *GetHorizontalScrollBar() const;
    virtual void PlaceFloatChild(int index);
    // Shows, hides, places and ranges the bars for the extent the children need in the
    // area they are laid out in (the client area at the time of the call); re-lays the
    // container out when that changes the area.
    virtual void UpdateScrollBars(RECT area, SIZE needed);

protected:
    // The item rectangle less the inset and the visible scroll bars.
    RECT ClientArea() const;
    // A child of the container's own list. The container's own loops use it: a subclass may
    // answer GetItemAt for the children of another container (a list answers its body's).
    CControlUI *ChildAt(int index) const { return static_cast<CControlUI *>(m_items.GetAt(index)); }
    void DeleteChild(CControlUI *child);
    bool PaintChildren(HDC dc, const RECT &paintArea, CControlUI *stopControl);
    bool IsVerticalBarShown() const;
    bool IsHorizontalBarShown() const;
    // The child at the index when the layout places it itself (visible, not floating); a
    // visible floating child is placed by its float settings instead, and null returned.
    CControlUI *ChildToLayOut(int index);
    // Lays every child the layout places out at the area's top left corner, the area's size
    // held within the child's own limits.
    void PlaceChildrenAt(const RECT &area);
    // Sets the shown bars to the position; what they really moved (they clamp and snap).
    SIZE MoveScrollBarsTo(SIZE position);
    void MoveShownScrollBars(int dx, int dy);

    CPointerArray m_items;
    RECT m_inset;
    int m_childPadding;
    UINT m_childAlign;
    UINT m_childVAlign;
    bool m_deleteChildrenOnRemove;
    bool m_deferredDelete;
    bool m_mouseChildEnabled;
    bool m_scrollProcessing;
    CScrollBarUI *m_verticalScrollBar;
    CScrollBarUI *m_horizontalScrollBar;

private:
    bool PaintScrollBar(CScrollBarUI *bar, HDC dc, const RECT &paintArea, CControlUI *stopControl);
    int VerticalLineStep() const;
    int HorizontalLineStep() const;
    bool ScrollByKey(wchar_t key);
    bool ScrollByWheel(const ControlEvent &event);
    CScrollBarUI *MakeScrollBar(bool horizontal);
    void UpdateSingleBar(CScrollBarUI &bar, int available, int needed, const RECT &place);
    void UpdateBothBars(RECT area, SIZE needed);
    // Sets the overflow the layout found as the bar's range; a bar kept while the content
    // fits again gets the slack as its range. True when that pulled the position back.
    bool ChangeBarRange(CScrollBarUI &bar, int range);
    void HideBar(CScrollBarUI &bar);
    // Lays the container out again over its own rectangle; flagged, the bars just shown are
    // kept even where the new layout finds that the content fits.
    void Relayout(bool invalidate, bool flagged);
};

} // namespace SkinUI
