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
// client area. Scroll bars are owned by the container once a scrolling container makes
// them; the plain container has none.
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
    CControlUI *FindControl(FindControlProc visitor, void *data, UINT flags) override;
    void DoEvent(ControlEvent &event) override;
    void SetAttribute(const wchar_t *name, const wchar_t *value) override;
    bool DoPaint(HDC dc, const RECT &paintArea, CControlUI *stopControl) override;

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

    // ---- Scrolling: a plain container has no scroll bars and does not scroll ----
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
    virtual void UpdateScrollBars();

protected:
    // The item rectangle less the inset (and the scroll bars of a scrolling container).
    RECT ClientArea() const;
    void DeleteChild(CControlUI *child);
    bool PaintChildren(HDC dc, const RECT &paintArea, CControlUI *stopControl);

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
};

} // namespace SkinUI
