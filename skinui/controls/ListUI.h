#pragma once

#include "ListInterfaces.h"
#include "VerticalLayoutUI.h"

namespace SkinUI {

class CListBodyUI;
class CListHeaderUI;

// A scrolling, single-selection list with an optional column header. Its own children are
// the header and the body; its items live in the body, which scrolls them, and the list's
// container and scrolling operations act on the body. Items that are list items are
// numbered, selected ("itemselect"), expanded and styled by the list's item style.
class CListUI : public CVerticalLayoutUI, public IListUI
{
public:
    static const wchar_t *const kClassName;

    CListUI();

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
    UINT GetBehaviorFlags() const override;
    void SetPos(RECT rect, bool invalidate = true) override;
    void Move(int dx, int dy, bool invalidate = true) override;
    void DoEvent(ControlEvent &event) override;
    void SetAttribute(const wchar_t *name, const wchar_t *value) override;

    // ---- The body's spacing and scrolling ----
    int GetChildPadding() const override;
    void SetChildPadding(int padding) override;
    SIZE GetScrollPos() const override;
    SIZE GetScrollRange() const override;
    void SetScrollPos(SIZE position) override;
    void LineUp() override;
    void LineDown() override;
    void PageUp() override;
    void PageDown() override;
    void ScrollToTop() override;
    void ScrollToBottom() override;
    void LineLeft() override;
    void LineRight() override;
    void PageLeft() override;
    void PageRight() override;
    void ScrollToLeftEdge() override;
    void ScrollToRightEdge() override;
    void EnableScrollBar(bool vertical = true, bool horizontal = false) override;
    CScrollBarUI *GetVerticalScrollBar() const override;
    CScrollBarUI *GetHorizontalScrollBar() const override;

    // ---- IContainerUI: item indexes are the body's; headers and header items go to the
    // header ----
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

    // ---- IListUI ----
    ListItemStyle *GetItemStyle() override { return &m_style; }
    int GetCurSel() const override { return m_curSel; }
    bool SelectItem(int index, bool takeFocus = false, bool sendNotify = true) override;
    bool ExpandItem(int index, bool expand = true) override;
    int GetExpandedItem() const override { return m_expandedItem; }
    CListHeaderUI *GetHeader() const override { return m_header; }
    CListBodyUI *GetBody() const override { return m_body; }
    IListTextProviderUI *GetTextProvider() const override { return m_textProvider; }
    void SetTextProvider(IListTextProviderUI *provider) override { m_textProvider = provider; }

    // Scrolls the body just far enough to show the item, when the list has a selection.
    void EnsureVisible(int index);
    bool IsScrollSelect() const { return m_scrollSelect; }
    void SetScrollSelect(bool scrollSelect) { m_scrollSelect = scrollSelect; }

private:
    static IListItemUI *ItemOf(CControlUI *control);
    static bool IsHeaderItem(CControlUI *control);
    IListItemUI *ItemAt(int index) const;
    bool AddHeader(CListHeaderUI *header);
    void UpdateColumnCount();
    // Copies the visible header items' rectangles into the columns, shifted by the body's
    // horizontal position.
    void RefreshColumns();
    void LayOutHiddenHeader(const RECT &rect);
    void SetHeaderItemsShown(bool shown);
    void HandleKey(wchar_t key);

    bool m_scrollSelect;
    int m_curSel;
    int m_expandedItem;
    IListTextProviderUI *m_textProvider;
    CListBodyUI *m_body;
    CListHeaderUI *m_header;
    ListItemStyle m_style;
};

} // namespace SkinUI
