#include "ContainerUI.h"

#include "BuildLimits.h"
#include "ClipScope.h"
#include "ScrollBarUI.h"
#include "ValueText.h"
#include "WindowManagerUI.h"

#include <cwchar>
#include <initializer_list>

namespace SkinUI {

const wchar_t *const CContainerUI::kClassName = L"Container";

namespace {

bool Intersects(const RECT &a, const RECT &b)
{
    RECT overlap;
    return IntersectRect(&overlap, &a, &b) != FALSE;
}

int Clamp(int value, int low, int high)
{
    if (value > high)
        value = high;
    return value < low ? low : value;
}

} // namespace

CContainerUI::CContainerUI()
    : m_inset{0, 0, 0, 0}, m_childPadding(0), m_childAlign(DT_LEFT), m_childVAlign(DT_TOP),
      m_deleteChildrenOnRemove(true), m_deferredDelete(true), m_mouseChildEnabled(true),
      m_scrollProcessing(false), m_verticalScrollBar(nullptr), m_horizontalScrollBar(nullptr)
{
}

// Children go at once: the container is going, so the manager must not keep them for later.
CContainerUI::~CContainerUI()
{
    m_deferredDelete = false;
    RemoveAll();
    delete m_verticalScrollBar;
    delete m_horizontalScrollBar;
}

const wchar_t *CContainerUI::GetClass() const
{
    return kClassName;
}

void *CContainerUI::GetInterface(const wchar_t *name)
{
    if (name != nullptr && wcscmp(name, L"IContainer") == 0)
        return static_cast<IContainerUI *>(this);
    if (name != nullptr && wcscmp(name, kClassName) == 0)
        return this;
    return CControlUI::GetInterface(name);
}

// ---- Child list ----

CControlUI *CContainerUI::GetItemAt(int index) const
{
    return static_cast<CControlUI *>(m_items.GetAt(index));
}

int CContainerUI::GetItemIndex(CControlUI *control) const
{
    return m_items.Find(control);
}

bool CContainerUI::SetItemIndex(CControlUI *control, int index)
{
    const int current = m_items.Find(control);
    if (current < 0)
        return false;
    MarkNeedsLayout();
    m_items.Remove(current);
    return m_items.InsertAt(index, control);
}

bool CContainerUI::MoveItemRange(CControlUI *first, int count, int newIndex)
{
    if (first == nullptr || count < 0 || newIndex < 0)
        return false;
    const int start = m_items.Find(first);
    if (start < 0)
        return false;
    if (start == newIndex)
        return true;
    const int total = m_items.GetCount();
    if (start + count > total || count + newIndex > total)
        return false;
    CPointerArray moved;
    for (int i = 0; i < count; ++i)
        moved.Add(m_items.GetAt(start + i));
    m_items.Remove(start, count);
    for (int i = 0; i < moved.GetCount(); ++i)
        if (!m_items.InsertAt(newIndex + i, moved.GetAt(i)))
            return false;
    MarkNeedsLayout();
    return true;
}

int CContainerUI::GetCount() const
{
    return m_items.GetCount();
}

bool CContainerUI::Add(CControlUI *control)
{
    return AddAt(control, m_items.GetCount());
}

// A control held already is refused: held twice, it would be deleted twice.
bool CContainerUI::AddAt(CControlUI *control, int index)
{
    if (control == nullptr || m_items.Find(control) >= 0)
        return false;
    if (m_manager != nullptr)
        m_manager->InitControls(control, this);
    if (IsVisible())
        MarkNeedsLayout();
    else
        control->SetInheritedVisible(false);
    return m_items.InsertAt(index, control);
}

bool CContainerUI::Remove(CControlUI *control, bool doNotDelete)
{
    const int index = control != nullptr ? m_items.Find(control) : -1;
    if (index < 0)
        return false;
    MarkNeedsLayout();
    if (!doNotDelete && m_deleteChildrenOnRemove)
        DeleteChild(control);
    return m_items.Remove(index);
}

bool CContainerUI::RemoveAt(int index, bool doNotDelete)
{
    CControlUI *control = GetItemAt(index);
    return control != nullptr && Remove(control, doNotDelete);
}

void CContainerUI::RemoveAll()
{
    if (m_deleteChildrenOnRemove)
        for (int i = 0; i < m_items.GetCount(); ++i)
            DeleteChild(ChildAt(i));
    m_items.Empty();
    if (IsVisible()) {
        m_needsLayout = true;
        Invalidate();
        if (m_manager != nullptr)
            m_manager->MarkNeedsLayout();
    }
}

// Through the manager's delayed clean-up, a child may remove itself while one of its own
// events is running.
void CContainerUI::DeleteChild(CControlUI *child)
{
    if (m_deferredDelete && m_manager != nullptr)
        m_manager->AddDelayedCleanup(child);
    else
        child->Delete();
}

// ---- Properties ----

RECT CContainerUI::GetInset() const
{
    return m_inset;
}

void CContainerUI::SetInset(RECT inset)
{
    m_inset = inset;
    MarkNeedsLayout();
}

int CContainerUI::GetChildPadding() const
{
    return m_childPadding;
}

void CContainerUI::SetChildPadding(int padding)
{
    m_childPadding = padding < 0 ? 0 : padding;
    MarkNeedsLayout();
}

UINT CContainerUI::GetChildAlign() const
{
    return m_childAlign;
}

void CContainerUI::SetChildAlign(UINT align)
{
    m_childAlign = align;
    MarkNeedsLayout();
}

UINT CContainerUI::GetChildVAlign() const
{
    return m_childVAlign;
}

void CContainerUI::SetChildVAlign(UINT align)
{
    m_childVAlign = align;
    MarkNeedsLayout();
}

bool CContainerUI::IsDeleteChildrenOnRemove() const
{
    return m_deleteChildrenOnRemove;
}

void CContainerUI::SetDeleteChildrenOnRemove(bool deleteChildren)
{
    m_deleteChildrenOnRemove = deleteChildren;
}

bool CContainerUI::IsDeferredDelete() const
{
    return m_deferredDelete;
}

void CContainerUI::SetDeferredDelete(bool deferred)
{
    m_deferredDelete = deferred;
}

bool CContainerUI::IsMouseChildEnabled() const
{
    return m_mouseChildEnabled;
}

void CContainerUI::SetMouseChildEnabled(bool enabled)
{
    m_mouseChildEnabled = enabled;
}

// The nearest visible, enabled list item from the index on; backwards, a search that finds
// nothing starts again forwards from the first child.
int CContainerUI::FindSelectable(int index, bool forward) const
{
    const int count = m_items.GetCount();
    if (count == 0)
        return -1;
    index = Clamp(index, 0, count - 1);
    auto selectable = [this](int i) {
        CControlUI *child = ChildAt(i);
        return child->GetInterface(L"IListItem") != nullptr && child->IsVisible() &&
               child->IsEnabled();
    };
    if (forward) {
        for (int i = index; i < count; ++i)
            if (selectable(i))
                return i;
        return -1;
    }
    for (int i = index; i >= 0; --i)
        if (selectable(i))
            return i;
    return FindSelectable(0, true);
}

// ---- Tree, geometry and visibility ----

// The children are bound one level deeper: a child layout that builds its children while it
// is bound knows how deep in the tree its build starts. The child layouts built while one
// tree is bound count as one build.
void CContainerUI::SetManager(CWindowManagerUI *manager, CControlUI *parent, bool initialise)
{
    {
        CBuildLimits::Session binding;
        CBuildLimits::Level childLevel;
        for (int i = 0; i < m_items.GetCount(); ++i)
            ChildAt(i)->SetManager(manager, this, initialise);
        if (m_verticalScrollBar != nullptr)
            m_verticalScrollBar->SetManager(manager, this, initialise);
        if (m_horizontalScrollBar != nullptr)
            m_horizontalScrollBar->SetManager(manager, this, initialise);
    }
    CControlUI::SetManager(manager, parent, initialise);
}

bool CContainerUI::IsVerticalBarShown() const
{
    return m_verticalScrollBar != nullptr && m_verticalScrollBar->IsVisible();
}

bool CContainerUI::IsHorizontalBarShown() const
{
    return m_horizontalScrollBar != nullptr && m_horizontalScrollBar->IsVisible();
}

RECT CContainerUI::ClientArea() const
{
    RECT area = {m_itemRect.left + m_inset.left, m_itemRect.top + m_inset.top,
                 m_itemRect.right - m_inset.right, m_itemRect.bottom - m_inset.bottom};
    if (IsVerticalBarShown())
        area.right -= m_verticalScrollBar->GetFixedWidth();
    if (IsHorizontalBarShown())
        area.bottom -= m_horizontalScrollBar->GetFixedHeight();
    return area;
}

RECT CContainerUI::GetClientPos() const
{
    return ClientArea();
}

void CContainerUI::SetPos(RECT rect, bool invalidate)
{
    CControlUI::SetPos(rect, invalidate);
    if (m_items.IsEmpty())
        return;
    // The children lie on the scrolled content, which is the client area grown by the
    // ranges and moved back by the positions of the bars.
    RECT area = ClientArea();
    if (IsVerticalBarShown()) {
        area.top -= m_verticalScrollBar->GetScrollPos();
        area.bottom += m_verticalScrollBar->GetScrollRange() - m_verticalScrollBar->GetScrollPos();
    }
    if (IsHorizontalBarShown()) {
        area.left -= m_horizontalScrollBar->GetScrollPos();
        area.right +=
            m_horizontalScrollBar->GetScrollRange() - m_horizontalScrollBar->GetScrollPos();
    }
    PlaceChildrenAt(area);
}

void CContainerUI::PlaceChildrenAt(const RECT &area)
{
    for (int i = 0; i < m_items.GetCount(); ++i) {
        CControlUI *child = ChildToLayOut(i);
        if (child == nullptr)
            continue;
        int width = area.right - area.left;
        int height = area.bottom - area.top;
        width = width < child->GetMinWidth() ? child->GetMinWidth() : width;
        width = width > child->GetMaxWidth() ? child->GetMaxWidth() : width;
        height = height < child->GetMinHeight() ? child->GetMinHeight() : height;
        height = height > child->GetMaxHeight() ? child->GetMaxHeight() : height;
        child->SetPos(RECT{area.left, area.top, area.left + width, area.top + height}, false);
    }
}

void CContainerUI::Move(int dx, int dy, bool invalidate)
{
    CControlUI::Move(dx, dy, invalidate);
    MoveShownScrollBars(dx, dy);
    for (int i = 0; i < m_items.GetCount(); ++i) {
        CControlUI *child = ChildAt(i);
        if (child->IsVisible())
            child->Move(dx, dy, false);
    }
}

void CContainerUI::MoveShownScrollBars(int dx, int dy)
{
    if (IsVerticalBarShown())
        m_verticalScrollBar->Move(dx, dy, false);
    if (IsHorizontalBarShown())
        m_horizontalScrollBar->Move(dx, dy, false);
}

void CContainerUI::SetVisible(bool visible)
{
    if (m_visible == visible)
        return;
    CControlUI::SetVisible(visible);
    for (int i = 0; i < m_items.GetCount(); ++i)
        ChildAt(i)->SetInheritedVisible(IsVisible());
}

void CContainerUI::SetInheritedVisible(bool visible)
{
    CControlUI::SetInheritedVisible(visible);
    for (int i = 0; i < m_items.GetCount(); ++i)
        ChildAt(i)->SetInheritedVisible(IsVisible());
}

void CContainerUI::SetMouseEnabled(bool enabled)
{
    if (m_verticalScrollBar != nullptr)
        m_verticalScrollBar->SetMouseEnabled(enabled);
    if (m_horizontalScrollBar != nullptr)
        m_horizontalScrollBar->SetMouseEnabled(enabled);
    CControlUI::SetMouseEnabled(enabled);
}

CControlUI *CContainerUI::ChildToLayOut(int index)
{
    CControlUI *child = ChildAt(index);
    if (child == nullptr || !child->IsVisible())
        return nullptr;
    if (!child->IsFloat())
        return child;
    PlaceFloatChild(index);
    return nullptr;
}

// Children are placed relative to the container: the product of the container's size and
// the child's ratios, plus the child's offset and fixed size.
void CContainerUI::PlaceFloatChild(int index)
{
    CControlUI *child = ChildAt(index);
    if (child == nullptr || !child->IsVisible() || !child->IsFloat())
        return;
    const int width = m_itemRect.right - m_itemRect.left;
    const int height = m_itemRect.bottom - m_itemRect.top;
    const POINT offset = child->GetFloatOffset();
    const FloatRatios ratios = child->GetFloatRatios();
    const int left = static_cast<int>(width * ratios.left) + offset.x;
    const int top = static_cast<int>(height * ratios.top) + offset.y;
    const int right = static_cast<int>(width * ratios.right) + offset.x + child->GetFixedWidth();
    const int bottom =
        static_cast<int>(height * ratios.bottom) + offset.y + child->GetFixedHeight();
    child->SetPos(RECT{left, top, right, bottom}, false);
}

// ---- Search ----

CControlUI *CContainerUI::FindControl(FindControlProc visitor, void *data, UINT flags)
{
    const bool hitTest = (flags & FindHitTest) != 0;
    if ((flags & FindVisibleOnly) && !IsVisible())
        return nullptr;
    if ((flags & FindEnabledOnly) && !IsEnabled())
        return nullptr;
    if (hitTest && !PtInRect(&m_itemRect, *static_cast<const POINT *>(data)))
        return nullptr;
    if ((flags & FindPrune) && visitor(this, data) != nullptr)
        return nullptr;

    const bool selfFirst = (flags & FindSelfFirst) != 0;
    if (selfFirst && (!hitTest || m_mouseEnabled))
        if (CControlUI *found = visitor(this, data))
            return found;
    if (m_cover != nullptr && (!hitTest || m_mouseChildEnabled))
        if (CControlUI *found = m_cover->FindControl(visitor, data, flags))
            return found;
    for (CScrollBarUI *bar : {m_verticalScrollBar, m_horizontalScrollBar})
        if (bar != nullptr && (!hitTest || m_mouseEnabled))
            if (CControlUI *found = bar->FindControl(visitor, data, flags))
                return found;

    if (!hitTest || m_mouseChildEnabled) {
        const RECT client = ClientArea();
        const int count = m_items.GetCount();
        const bool topFirst = (flags & FindTopFirst) != 0;
        for (int n = 0; n < count; ++n) {
            CControlUI *child = ChildAt(topFirst ? count - 1 - n : n);
            CControlUI *found = child->FindControl(visitor, data, flags);
            if (found == nullptr)
                continue;
            // A hit outside the client area counts only for a floating child: the others
            // are scrolled or clipped out of sight there.
            if (!hitTest || found->IsFloat() ||
                PtInRect(&client, *static_cast<const POINT *>(data)))
                return found;
        }
    }
    if (!selfFirst && (!hitTest || m_mouseEnabled))
        return visitor(this, data);
    return nullptr;
}

// ---- Events ----

void CContainerUI::DoEvent(ControlEvent &event)
{
    if (PassOnMouseWhenDisabled(event))
        return;
    if (event.type == EventSetFocus) {
        m_focused = true;
        return;
    }
    if (event.type == EventKillFocus) {
        m_focused = false;
        return;
    }
    if (event.type == EventKeyDown && IsKeyboardEnabled() && IsEnabled() && ScrollByKey(event.key))
        return;
    if (event.type == EventScrollWheel && ScrollByWheel(event))
        return;
    CControlUI::DoEvent(event);
}

// ---- Attributes ----

void CContainerUI::SetAttribute(const wchar_t *name, const wchar_t *value)
{
    if (name == nullptr || value == nullptr)
        return;
    if (wcscmp(name, L"inset") == 0) {
        int numbers[4];
        ValueText::ReadIntegerList(value, numbers, 4);
        SetInset(RECT{numbers[0], numbers[1], numbers[2], numbers[3]});
    } else if (wcscmp(name, L"mousechild") == 0) {
        SetMouseChildEnabled(ValueText::IsTrue(value));
    } else if (wcscmp(name, L"vscrollbar") == 0) {
        // Through the virtual operations: a subclass may keep its bars on a child.
        EnableScrollBar(ValueText::IsTrue(value), GetHorizontalScrollBar() != nullptr);
    } else if (wcscmp(name, L"hscrollbar") == 0) {
        EnableScrollBar(GetVerticalScrollBar() != nullptr, ValueText::IsTrue(value));
    } else if (wcscmp(name, L"vscrollbarstyle") == 0) {
        EnableScrollBar(true, GetHorizontalScrollBar() != nullptr);
        GetVerticalScrollBar()->SetAttributeList(value);
    } else if (wcscmp(name, L"hscrollbarstyle") == 0) {
        EnableScrollBar(GetVerticalScrollBar() != nullptr, true);
        GetHorizontalScrollBar()->SetAttributeList(value);
    } else if (wcscmp(name, L"childpadding") == 0) {
        SetChildPadding(ValueText::ReadInteger(value));
    } else if (wcscmp(name, L"childalign") == 0) {
        if (wcscmp(value, L"left") == 0)
            m_childAlign = DT_LEFT;
        else if (wcscmp(value, L"center") == 0)
            m_childAlign = DT_CENTER;
        else if (wcscmp(value, L"right") == 0)
            m_childAlign = DT_RIGHT;
    } else if (wcscmp(name, L"childvalign") == 0) {
        if (wcscmp(value, L"top") == 0)
            m_childVAlign = DT_TOP;
        else if (wcscmp(value, L"vcenter") == 0)
            m_childVAlign = DT_VCENTER;
        else if (wcscmp(value, L"bottom") == 0)
            m_childVAlign = DT_BOTTOM;
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

// ---- Painting ----

bool CContainerUI::DoPaint(HDC dc, const RECT &paintArea, CControlUI *stopControl)
{
    RECT visible;
    if (!IntersectRect(&visible, &paintArea, &m_itemRect))
        return true;
    CClipScope clip;
    CClipScope::MakeRectClip(dc, visible, clip);
    CControlUI::DoPaint(dc, paintArea, stopControl);
    if (!m_items.IsEmpty() && !PaintChildren(dc, paintArea, stopControl))
        return false;
    return PaintScrollBars(dc, paintArea, stopControl);
}

bool CContainerUI::PaintScrollBars(HDC dc, const RECT &paintArea, CControlUI *stopControl)
{
    return PaintScrollBar(m_verticalScrollBar, dc, paintArea, stopControl) &&
           PaintScrollBar(m_horizontalScrollBar, dc, paintArea, stopControl);
}

bool CContainerUI::PaintScrollBar(CScrollBarUI *bar, HDC dc, const RECT &paintArea,
                                  CControlUI *stopControl)
{
    if (bar == nullptr)
        return true;
    if (bar == stopControl)
        return false;
    if (!bar->IsVisible() || !Intersects(paintArea, bar->GetPos()))
        return true;
    return bar->Paint(dc, paintArea, stopControl);
}

bool CContainerUI::PaintChildren(HDC dc, const RECT &paintArea, CControlUI *stopControl)
{
    const RECT client = ClientArea();
    RECT clientPaint;
    if (!IntersectRect(&clientPaint, &paintArea, &client)) {
        // Only floating children can reach outside the client area.
        for (int i = 0; i < m_items.GetCount(); ++i) {
            CControlUI *child = ChildAt(i);
            if (child == stopControl)
                return false;
            if (child->IsVisible() && child->IsFloat() && Intersects(paintArea, child->GetPos()) &&
                Intersects(m_itemRect, child->GetPos()) &&
                !child->Paint(dc, paintArea, stopControl))
                return false;
        }
        return true;
    }
    CClipScope childClip;
    CClipScope::MakeRectClip(dc, clientPaint, childClip);
    for (int i = 0; i < m_items.GetCount(); ++i) {
        CControlUI *child = ChildAt(i);
        if (child == stopControl)
            return false;
        if (!child->IsVisible() || !Intersects(paintArea, child->GetPos()))
            continue;
        if (!child->IsFloat()) {
            if (Intersects(client, child->GetPos()) && !child->Paint(dc, paintArea, stopControl))
                return false;
            continue;
        }
        if (!Intersects(m_itemRect, child->GetPos()))
            continue;
        CClipScope::SelectOuterRegion(dc, childClip);
        const bool goOn = child->Paint(dc, paintArea, stopControl);
        CClipScope::SelectOwnRegion(dc, childClip);
        if (!goOn)
            return false;
    }
    return true;
}

} // namespace SkinUI
