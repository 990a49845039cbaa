#include "ListUI.h"

#include "ListBodyUI.h"
#include "ListHeaderUI.h"
#include "ListItemOrder.h"
#include "ScrollBarUI.h"
#include "ValueText.h"
#include "WindowManagerUI.h"

#include <algorithm>
#include <cwchar>

namespace SkinUI {

const wchar_t *const CListUI::kClassName = L"List";

// The header comes first, then the body; both are the list's own children.
CListUI::CListUI()
    : m_scrollSelect(false), m_curSel(-1), m_expandedItem(-1), m_textProvider(nullptr),
      m_body(new CListBodyUI(this)), m_header(new CListHeaderUI)
{
    CContainerUI::AddAt(m_header, 0);
    CContainerUI::AddAt(m_body, 1);
}

const wchar_t *CListUI::GetClass() const
{
    return kClassName;
}

void *CListUI::GetInterface(const wchar_t *name)
{
    if (name != nullptr && wcscmp(name, kClassName) == 0)
        return this;
    if (name != nullptr && (wcscmp(name, L"IList") == 0 || wcscmp(name, L"IListOwner") == 0))
        return static_cast<IListUI *>(this);
    return CVerticalLayoutUI::GetInterface(name);
}

UINT CListUI::GetBehaviorFlags() const
{
    return BehaviorTabStop;
}

IListItemUI *CListUI::ItemOf(CControlUI *control)
{
    return control != nullptr ? static_cast<IListItemUI *>(control->GetInterface(L"IListItem"))
                              : nullptr;
}

bool CListUI::IsHeaderItem(CControlUI *control)
{
    return wcsstr(control->GetClass(), L"ListHeaderItem") != nullptr;
}

IListItemUI *CListUI::ItemAt(int index) const
{
    return ItemOf(m_body->GetItemAt(index));
}

// ---- Layout ----

void CListUI::UpdateColumnCount()
{
    m_style.columnCount = std::min(m_header->GetCount(), ListItemStyle::kMaxColumns);
}

void CListUI::RefreshColumns()
{
    UpdateColumnCount();
    const int cx = m_body->GetScrollPos().cx;
    for (int i = 0; i < m_style.columnCount; ++i) {
        CControlUI *item = m_header->GetItemAt(i);
        if (!item->IsVisible() || item->IsFloat())
            continue;
        if (cx > 0)
            item->Move(-cx, 0, false);
        m_style.columns[i] = item->GetPos();
    }
}

// A hidden header still gives the columns their widths: its items are laid out for the
// moment as if it were shown.
void CListUI::SetHeaderItemsShown(bool shown)
{
    if (shown) {
        for (int i = 0; i < m_header->GetCount(); ++i)
            m_header->GetItemAt(i)->SetInheritedVisible(true);
    } else {
        m_header->SetInheritedVisible(IsVisible());
    }
}

// The columns span the client width less the body's vertical bar, grown by what the body
// scrolls sideways; the refresh then moves them back by the body's position.
void CListUI::LayOutHiddenHeader(const RECT &rect)
{
    RECT span = {rect.left + m_inset.left, m_header->GetPos().top, rect.right - m_inset.right,
                 m_header->GetPos().bottom};
    const CScrollBarUI *vertical = m_body->GetVerticalScrollBar();
    if (vertical != nullptr && vertical->IsVisible())
        span.right -= vertical->GetFixedWidth();
    const CScrollBarUI *horizontal = m_body->GetHorizontalScrollBar();
    if (horizontal != nullptr && horizontal->IsVisible())
        span.right += horizontal->GetScrollRange();
    SetHeaderItemsShown(true);
    m_header->SetPos(span, false);
    RefreshColumns();
    SetHeaderItemsShown(false);
}

void CListUI::SetPos(RECT rect, bool invalidate)
{
    const bool headerHidden = !m_header->IsVisible();
    if (headerHidden)
        SetHeaderItemsShown(true);
    m_header->SetPos(RECT{rect.left + m_inset.left, 0, rect.right - m_inset.right, 0}, false);
    RefreshColumns();
    if (headerHidden)
        SetHeaderItemsShown(false);

    CVerticalLayoutUI::SetPos(rect, invalidate);

    if (headerHidden)
        LayOutHiddenHeader(rect);
    else
        RefreshColumns();
}

void CListUI::Move(int dx, int dy, bool invalidate)
{
    CVerticalLayoutUI::Move(dx, dy, invalidate);
    if (!m_header->IsVisible())
        m_header->Move(dx, dy, false);
}

// ---- Events ----

void CListUI::HandleKey(wchar_t key)
{
    switch (key) {
    case VK_UP:
        SelectItem(m_body->FindSelectable(m_curSel - 1, false), true, true);
        break;
    case VK_DOWN:
        SelectItem(m_body->FindSelectable(m_curSel + 1, true), true, true);
        break;
    case VK_PRIOR:
        PageUp();
        break;
    case VK_NEXT:
        PageDown();
        break;
    case VK_HOME:
        SelectItem(m_body->FindSelectable(0, false), true, true);
        break;
    case VK_END:
        SelectItem(m_body->FindSelectable(GetCount() - 1, true), true, true);
        break;
    case VK_RETURN:
        if (m_curSel >= 0 && m_body->GetItemAt(m_curSel) != nullptr)
            m_body->GetItemAt(m_curSel)->Activate();
        break;
    default:
        break;
    }
}

void CListUI::DoEvent(ControlEvent &event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (m_parent != nullptr)
            m_parent->DoEvent(event);
        else
            CVerticalLayoutUI::DoEvent(event);
        return;
    }
    switch (event.type) {
    case EventSetFocus:
        m_focused = true;
        return;
    case EventKillFocus:
        m_focused = false;
        return;
    case EventKeyDown:
        if (IsKeyboardEnabled() && IsEnabled()) {
            HandleKey(event.key);
            return;
        }
        break;
    case EventScrollWheel:
        if (IsEnabled() && (event.wParam == 0 || event.wParam == 1)) {
            const bool down = event.wParam == 1;
            if (m_scrollSelect)
                SelectItem(m_body->FindSelectable(m_curSel + (down ? 1 : -1), down), true, true);
            else if (down)
                LineDown();
            else
                LineUp();
            return;
        }
        break;
    default:
        break;
    }
    CVerticalLayoutUI::DoEvent(event);
}

void CListUI::SetAttribute(const wchar_t *name, const wchar_t *value)
{
    if (name == nullptr || value == nullptr)
        return;
    if (wcscmp(name, L"header") == 0) {
        m_header->SetVisible(wcscmp(value, L"hidden") != 0);
    } else if (wcscmp(name, L"headerbkimage") == 0) {
        m_header->SetBkImage(value);
    } else if (wcscmp(name, L"scrollselect") == 0) {
        SetScrollSelect(ValueText::IsTrue(value));
    } else {
        switch (SetItemStyleAttribute(m_style, name, value, true)) {
        case ItemStyleChange::NotStyle:
            CVerticalLayoutUI::SetAttribute(name, value);
            break;
        case ItemStyleChange::Look:
            Invalidate();
            break;
        case ItemStyleChange::Layout:
            MarkNeedsLayout();
            break;
        case ItemStyleChange::Stored:
            break;
        }
    }
}

// ---- The body's spacing and scrolling ----

int CListUI::GetChildPadding() const
{
    return m_body->GetChildPadding();
}
void CListUI::SetChildPadding(int padding)
{
    m_body->SetChildPadding(padding);
}
SIZE CListUI::GetScrollPos() const
{
    return m_body->GetScrollPos();
}
SIZE CListUI::GetScrollRange() const
{
    return m_body->GetScrollRange();
}
void CListUI::SetScrollPos(SIZE position)
{
    m_body->SetScrollPos(position);
}
void CListUI::LineUp()
{
    m_body->LineUp();
}
void CListUI::LineDown()
{
    m_body->LineDown();
}
void CListUI::PageUp()
{
    m_body->PageUp();
}
void CListUI::PageDown()
{
    m_body->PageDown();
}
void CListUI::ScrollToTop()
{
    m_body->ScrollToTop();
}
void CListUI::ScrollToBottom()
{
    m_body->ScrollToBottom();
}
void CListUI::LineLeft()
{
    m_body->LineLeft();
}
void CListUI::LineRight()
{
    m_body->LineRight();
}
void CListUI::PageLeft()
{
    m_body->PageLeft();
}
void CListUI::PageRight()
{
    m_body->PageRight();
}
void CListUI::ScrollToLeftEdge()
{
    m_body->ScrollToLeftEdge();
}
void CListUI::ScrollToRightEdge()
{
    m_body->ScrollToRightEdge();
}
void CListUI::EnableScrollBar(bool vertical, bool horizontal)
{
    m_body->EnableScrollBar(vertical, horizontal);
}
CScrollBarUI *CListUI::GetVerticalScrollBar() const
{
    return m_body->GetVerticalScrollBar();
}
CScrollBarUI *CListUI::GetHorizontalScrollBar() const
{
    return m_body->GetHorizontalScrollBar();
}

// ---- Items ----

CControlUI *CListUI::GetItemAt(int index) const
{
    return m_body->GetItemAt(index);
}

int CListUI::GetCount() const
{
    return m_body->GetCount();
}

int CListUI::GetItemIndex(CControlUI *control) const
{
    if (control == nullptr)
        return -1;
    if (control->GetInterface(L"ListHeader") != nullptr)
        return CContainerUI::GetItemIndex(control);
    if (IsHeaderItem(control))
        return m_header->GetItemIndex(control);
    return m_body->GetItemIndex(control);
}

// A new header replaces the present one only while that one has no columns; either way it
// becomes the list's first child.
bool CListUI::AddHeader(CListHeaderUI *header)
{
    if (CContainerUI::GetItemIndex(header) >= 0)
        return false;
    if (header != m_header && m_header->GetCount() == 0) {
        CListHeaderUI *old = m_header;
        m_header = header;
        CContainerUI::Remove(old);
    }
    UpdateColumnCount();
    return CContainerUI::AddAt(header, 0);
}

bool CListUI::Add(CControlUI *control)
{
    if (control == nullptr)
        return false;
    if (auto *header = static_cast<CListHeaderUI *>(control->GetInterface(L"ListHeader")))
        return AddHeader(header);
    if (IsHeaderItem(control)) {
        const bool added = m_header->Add(control);
        UpdateColumnCount();
        return added;
    }
    IListItemUI *item = ItemOf(control);
    const int oldIndex = item != nullptr ? item->GetIndex() : -1;
    if (item != nullptr) {
        item->SetOwner(this);
        item->SetIndex(GetCount());
    }
    if (m_body->Add(control))
        return true;
    // The body refuses an item it holds already, which keeps its number.
    if (item != nullptr)
        item->SetIndex(oldIndex);
    return false;
}

bool CListUI::AddAt(CControlUI *control, int index)
{
    if (control == nullptr)
        return false;
    if (auto *header = static_cast<CListHeaderUI *>(control->GetInterface(L"ListHeader")))
        return AddHeader(header);
    if (IsHeaderItem(control)) {
        const bool added = m_header->AddAt(control, index);
        UpdateColumnCount();
        return added;
    }
    if (!m_body->AddAt(control, index))
        return false;
    if (IListItemUI *item = ItemOf(control)) {
        item->SetOwner(this);
        item->SetIndex(index);
    }
    ListItemOrder::Inserted(*m_body, index, m_curSel, m_expandedItem);
    return true;
}

// The list's own header and body stay: the list has no other record of them.
bool CListUI::Remove(CControlUI *control, bool doNotDelete)
{
    if (control == nullptr)
        return false;
    if (control->GetInterface(L"ListHeader") != nullptr)
        return control != m_header && CContainerUI::Remove(control, doNotDelete);
    if (IsHeaderItem(control)) {
        const bool removed = m_header->Remove(control, doNotDelete);
        UpdateColumnCount();
        return removed;
    }
    const int index = m_body->GetItemIndex(control);
    if (index < 0 || !m_body->RemoveAt(index, doNotDelete))
        return false;
    ListItemOrder::Removed(*m_body, index, m_curSel, m_expandedItem, *this);
    return true;
}

bool CListUI::RemoveAt(int index, bool doNotDelete)
{
    CControlUI *control = m_body->GetItemAt(index);
    return control != nullptr && Remove(control, doNotDelete);
}

void CListUI::RemoveAll()
{
    m_curSel = -1;
    m_expandedItem = -1;
    m_body->RemoveAll();
}

bool CListUI::SetItemIndex(CControlUI *control, int index)
{
    if (control == nullptr)
        return false;
    if (control->GetInterface(L"ListHeader") != nullptr)
        return CContainerUI::SetItemIndex(control, index);
    if (IsHeaderItem(control))
        return m_header->SetItemIndex(control, index);
    const int old = m_body->GetItemIndex(control);
    CControlUI *selected = m_body->GetItemAt(m_curSel);
    CControlUI *expanded = m_body->GetItemAt(m_expandedItem);
    if (old < 0 || !m_body->SetItemIndex(control, index))
        return false;
    ListItemOrder::Moved(*m_body, std::min(old, index), std::max(old, index) + 1, selected,
                         expanded, m_curSel, m_expandedItem);
    return true;
}

bool CListUI::MoveItemRange(CControlUI *first, int count, int newIndex)
{
    if (first == nullptr)
        return false;
    if (first->GetInterface(L"ListHeader") != nullptr)
        return CContainerUI::MoveItemRange(first, count, newIndex);
    if (IsHeaderItem(first))
        return m_header->MoveItemRange(first, count, newIndex);
    const int old = m_body->GetItemIndex(first);
    CControlUI *selected = m_body->GetItemAt(m_curSel);
    CControlUI *expanded = m_body->GetItemAt(m_expandedItem);
    if (!m_body->MoveItemRange(first, count, newIndex))
        return false;
    ListItemOrder::Moved(*m_body, std::min(old, newIndex), std::max(old, newIndex) + count,
                         selected, expanded, m_curSel, m_expandedItem);
    return true;
}

// ---- Selection and expansion ----

bool CListUI::SelectItem(int index, bool takeFocus, bool sendNotify)
{
    if (index == m_curSel)
        return true;
    const int previous = m_curSel;
    if (m_curSel >= 0) {
        if (IListItemUI *item = ItemAt(m_curSel))
            item->Select(false, sendNotify);
        m_curSel = -1;
    }
    if (index < 0)
        return false;
    CControlUI *control = m_body->GetItemAt(index);
    IListItemUI *item = ItemOf(control);
    if (control == nullptr || !control->IsVisible() || !control->IsEnabled() || item == nullptr)
        return false;
    m_curSel = index;
    if (!item->Select(true, sendNotify)) {
        m_curSel = -1;
        return false;
    }
    EnsureVisible(m_curSel);
    if (takeFocus)
        control->SetFocus();
    if (sendNotify && m_manager != nullptr)
        m_manager->SendNotify(this, L"itemselect", static_cast<WPARAM>(m_curSel),
                              static_cast<LPARAM>(previous));
    return true;
}

// The expanded index may point past the items or at a control that is no list item. An
// expandable item asks its owner back while the list expands it: the item the list is
// expanding is expanded already.
bool CListUI::ExpandItem(int index, bool expand)
{
    if (expand && index >= 0 && index == m_expandedItem)
        return true;
    if (m_expandedItem >= 0 && !m_style.multiExpanding) {
        IListItemUI *expanded = ItemAt(m_expandedItem);
        m_expandedItem = -1;
        if (expanded != nullptr)
            expanded->Expand(false);
    }
    if (expand) {
        CControlUI *control = m_body->GetItemAt(index);
        IListItemUI *item = ItemOf(control);
        if (control == nullptr || !control->IsVisible() || item == nullptr)
            return false;
        m_expandedItem = index;
        if (!item->Expand(true)) {
            m_expandedItem = -1;
            return false;
        }
    }
    MarkNeedsLayout();
    return true;
}

void CListUI::EnsureVisible(int index)
{
    CControlUI *control = m_body->GetItemAt(index);
    if (m_curSel >= 0 && control != nullptr)
        CListBodyUI::ScrollIntoView(*m_body, *control);
}

} // namespace SkinUI
