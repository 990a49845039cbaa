#include "ListBodyUI.h"

#include "ClipScope.h"
#include "GdiPainter.h"
#include "ListHeaderUI.h"
#include "ListUI.h"
#include "ScrollBarUI.h"

#include <algorithm>
#include <utility>

namespace SkinUI {

namespace {

bool Intersects(const RECT &a, const RECT &b)
{
    RECT overlap;
    return IntersectRect(&overlap, &a, &b) != FALSE;
}

int Clamp(int value, int low, int high)
{
    return std::max(low, std::min(value, high));
}

// A line of the style's width centred on the band below the item.
void PaintLineBelow(CControlUI &body, const CControlUI &item, const ListItemStyle &style, HDC dc,
                    const RECT &paintArea)
{
    const RECT &pos = item.GetPos();
    const int top = pos.bottom + item.GetPadding().bottom;
    const RECT band = {pos.left, top, pos.right, top + style.hLineSize};
    if (!Intersects(band, paintArea))
        return;
    const int y = top + style.hLineSize / 2;
    CGdiPainter::DrawLine(dc, RECT{pos.left, y, pos.right, y}, style.hLineSize,
                          body.HslAdjustedColor(style.hLineColor));
}

bool SameSize(const RECT &a, const RECT &b)
{
    return a.right - a.left == b.right - b.left && a.bottom - a.top == b.bottom - b.top;
}

// Nothing shown in the control's subtree waits for a layout.
bool NothingWaitsForLayout(CControlUI &control)
{
    return control.FindControl([](CControlUI *visited,
                                  void *) { return visited->NeedsLayout() ? visited : nullptr; },
                               nullptr, FindVisibleOnly) == nullptr;
}

} // namespace

bool CListBodyUI::ColumnLayout::operator==(const ColumnLayout &other) const
{
    return lineSize == other.lineSize &&
           std::equal(columns.begin(), columns.end(), other.columns.begin(), other.columns.end(),
                      [](const RECT &a, const RECT &b) { return EqualRect(&a, &b) != FALSE; });
}

CListBodyUI::CListBodyUI(CListUI *owner) : m_owner(owner) {}

const ListItemStyle *CListBodyUI::OwnerStyle() const
{
    return m_owner != nullptr ? m_owner->GetItemStyle() : nullptr;
}

int CListBodyUI::RequiredWidth(SIZE available) const
{
    int widest = 0;
    for (int i = 0; i < m_items.GetCount(); ++i) {
        CControlUI *child = ChildAt(i);
        if (!child->IsVisible() || child->IsFloat())
            continue;
        const SIZE desired = child->GetDesiredSize(available);
        const int width = std::max<int>(desired.cx, 0);
        widest = std::max(widest, Clamp(width, child->GetMinWidth(), child->GetMaxWidth()));
    }
    CListHeaderUI *header = m_owner != nullptr ? m_owner->GetHeader() : nullptr;
    if (header != nullptr && header->GetCount() > 0)
        return std::max<int>(header->GetDesiredSize(available).cx, 0);
    return widest;
}

RECT CListBodyUI::ViewArea() const
{
    return RECT{m_itemRect.left + m_inset.left, m_itemRect.top + m_inset.top,
                m_itemRect.right - m_inset.right, m_itemRect.bottom - m_inset.bottom};
}

CListBodyUI::ColumnLayout CListBodyUI::CurrentColumns() const
{
    ColumnLayout layout;
    const ListItemStyle *style = OwnerStyle();
    if (style == nullptr)
        return layout;
    const int scrolledBy = CContainerUI::GetScrollPos().cx;
    for (int i = 0; i < style->columnCount; ++i) {
        RECT column = style->columns[i];
        OffsetRect(&column, scrolledBy, 0);
        layout.columns.push_back(column);
    }
    layout.lineSize = style->vLineSize;
    return layout;
}

// Listeners expect the item's layout, and a cover is placed with it, at every layout.
bool CListBodyUI::MayWaitOutOfView(CControlUI &item)
{
    return (item.GetBehaviorFlags() & BehaviorListItem) != 0 && !item.SizeListeners &&
           item.GetCover() == nullptr;
}

bool CListBodyUI::IsLaidOutWhole(CControlUI &item) const
{
    return m_inView.count(&item) != 0 && NothingWaitsForLayout(item);
}

// An item out of view gets its rectangle only; one in view is laid out inside, or only
// moved there when its inside is laid out already and keeps its size and columns.
void CListBodyUI::PlaceItem(CControlUI &item, const RECT &place, const RECT &view,
                            bool columnsChanged, std::unordered_set<CControlUI *> &inView)
{
    if (!MayWaitOutOfView(item)) {
        item.SetPos(place, false);
        return;
    }
    if (!Intersects(place, view)) {
        item.CControlUI::SetPos(place, false);
        return;
    }
    const RECT old = item.GetPos();
    if (!columnsChanged && SameSize(old, place) && IsLaidOutWhole(item)) {
        if (old.left != place.left || old.top != place.top)
            item.Move(place.left - old.left, place.top - old.top, false);
    } else {
        item.SetPos(place, false);
    }
    inView.insert(&item);
}

// Items follow one another from the scrolled top-left, each measured at the width the
// columns (or the client) give and as high as it asks within its limits; the bottom
// padding lies inside an item's rectangle.
void CListBodyUI::SetPos(RECT rect, bool invalidate)
{
    CControlUI::SetPos(rect, invalidate);
    const RECT client = ClientArea();
    const RECT view = ViewArea();
    const SIZE position = CContainerUI::GetScrollPos();
    const ListItemStyle *style = OwnerStyle();

    int availableWidth = client.right - client.left + CContainerUI::GetScrollRange().cx;
    const int availableHeight = client.bottom - client.top;
    const int gap = m_childPadding + (style != nullptr ? style->hLineSize : 0);
    if (style != nullptr && style->columnCount > 0)
        availableWidth = style->columns[style->columnCount - 1].right - style->columns[0].left;
    const int requiredWidth = RequiredWidth(SIZE{availableWidth, availableHeight});
    ColumnLayout columns = CurrentColumns();
    const bool columnsChanged = !(columns == m_laidOutColumns);
    m_laidOutColumns = std::move(columns);
    std::unordered_set<CControlUI *> inView;

    const int left = client.left - position.cx;
    int top = client.top - position.cy;
    int remaining = availableHeight;
    int neededHeight = 0;
    int placed = 0;
    for (int i = 0; i < m_items.GetCount(); ++i) {
        CControlUI *child = ChildToLayOut(i);
        if (child == nullptr)
            continue;
        const RECT padding = child->GetPadding();
        remaining -= padding.top;
        const int across = availableWidth - padding.left - padding.right;
        const int fixedWidth = child->GetFixedWidth();
        const int fixedHeight = child->GetFixedHeight();
        const int widthLimit = std::min(fixedWidth > 0 ? fixedWidth : child->GetMaxWidth(), across);
        const int heightLimit =
            std::min(fixedHeight > 0 ? fixedHeight : child->GetMaxHeight(), remaining);
        const SIZE desired = child->GetDesiredSize(SIZE{widthLimit, heightLimit});
        const int height = Clamp(desired.cy, child->GetMinHeight(), child->GetMaxHeight());
        int width = std::max(std::min(widthLimit, child->GetMaxWidth()), 0);
        width = std::max(width, child->GetMinWidth());
        PlaceItem(*child,
                  RECT{left + padding.left, top + padding.top, left + padding.left + width,
                       top + padding.top + height + padding.bottom},
                  view, columnsChanged, inView);
        const int step = height + padding.top + padding.bottom;
        top += step + gap;
        remaining -= height + padding.bottom + gap;
        neededHeight += step;
        ++placed;
    }
    if (placed > 1)
        neededHeight += (placed - 1) * gap;
    // A bar shown or hidden lays the body out again at once, from what is in view now.
    m_inView.swap(inView);
    UpdateScrollBars(client, SIZE{requiredWidth, neededHeight});
}

// The items move with the body; those in view stay in view.
void CListBodyUI::Move(int dx, int dy, bool invalidate)
{
    CControlUI::Move(dx, dy, invalidate);
    MoveShownScrollBars(dx, dy);
    MoveItems(dx, dy, true);
}

// Items staying in view move whole, those coming into view are laid out there, and the
// others only change their rectangle.
void CListBodyUI::MoveItems(int dx, int dy, bool floatingToo)
{
    const RECT view = ViewArea();
    const bool columnsMoved = m_owner != nullptr && !(CurrentColumns() == m_laidOutColumns);
    std::unordered_set<CControlUI *> inView;
    for (int i = 0; i < m_items.GetCount(); ++i) {
        CControlUI *item = ChildAt(i);
        if (!item->IsVisible() || (item->IsFloat() && !floatingToo))
            continue;
        if (item->IsFloat() || !MayWaitOutOfView(*item)) {
            item->Move(dx, dy, false);
            continue;
        }
        RECT place = item->GetPos();
        OffsetRect(&place, dx, dy);
        if (!Intersects(place, view)) {
            item->CControlUI::Move(dx, dy, false);
            continue;
        }
        if (m_inView.count(item) != 0)
            item->Move(dx, dy, false);
        else if (columnsMoved)
            LayOutInLaidOutColumns(*item, place);
        else
            item->SetPos(place, false);
        inView.insert(item);
    }
    m_inView.swap(inView);
}

// An item that comes into view is laid out as if the last layout had laid it out and it had
// moved since, as the items in view did: in the columns of that layout, which the header may
// have changed since without a new layout of the items.
void CListBodyUI::LayOutInLaidOutColumns(CControlUI &item, const RECT &place)
{
    ListItemStyle &style = *m_owner->GetItemStyle();
    const int count = style.columnCount;
    const int lineSize = style.vLineSize;
    RECT columns[ListItemStyle::kMaxColumns];
    std::copy(style.columns, style.columns + count, columns);

    const int scrolledBy = CContainerUI::GetScrollPos().cx;
    style.columnCount = static_cast<int>(m_laidOutColumns.columns.size());
    style.vLineSize = m_laidOutColumns.lineSize;
    for (int i = 0; i < style.columnCount; ++i) {
        style.columns[i] = m_laidOutColumns.columns[static_cast<size_t>(i)];
        OffsetRect(&style.columns[i], -scrolledBy, 0);
    }
    item.SetPos(place, false);

    style.columnCount = count;
    style.vLineSize = lineSize;
    std::copy(columns, columns + count, style.columns);
}

bool CListBodyUI::Remove(CControlUI *control, bool doNotDelete)
{
    m_inView.erase(control);
    return CVerticalLayoutUI::Remove(control, doNotDelete);
}

void CListBodyUI::RemoveAll()
{
    m_inView.clear();
    CVerticalLayoutUI::RemoveAll();
}

void CListBodyUI::DoEvent(ControlEvent &event)
{
    if (m_owner == nullptr) {
        CControlUI::DoEvent(event);
        return;
    }
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        m_owner->DoEvent(event);
        return;
    }
    // Only the two wheel directions scroll sideways; any other wheel value is the list's.
    if (event.type == EventScrollWheel && (event.wParam == 0 || event.wParam == 1) &&
        m_horizontalScrollBar != nullptr && m_horizontalScrollBar->IsVisible() &&
        m_horizontalScrollBar->IsEnabled() &&
        PtInRect(&m_horizontalScrollBar->GetPos(), event.mousePoint)) {
        if (event.wParam == 0)
            LineLeft();
        else
            LineRight();
        return;
    }
    m_owner->DoEvent(event);
}

// The header's columns move sideways with the items; they stay in the header when the
// items also move up or down.
void CListBodyUI::MoveHeaderColumns(int dx)
{
    CListHeaderUI *header = m_owner != nullptr ? m_owner->GetHeader() : nullptr;
    if (header == nullptr)
        return;
    ListItemStyle &style = *m_owner->GetItemStyle();
    style.columnCount = std::min(header->GetCount(), ListItemStyle::kMaxColumns);
    for (int i = 0; i < style.columnCount; ++i) {
        CControlUI *item = header->GetItemAt(i);
        if (!item->IsVisible() || item->IsFloat())
            continue;
        item->Move(-dx, 0, false);
        style.columns[i] = item->GetPos();
    }
    header->Invalidate();
}

// The header's columns follow what the rows really moved sideways; they move first, so
// that rows coming into view are laid out in the columns the rows in view move to.
void CListBodyUI::SetScrollPos(SIZE position)
{
    const SIZE moved = MoveScrollBarsTo(position);
    if (moved.cx == 0 && moved.cy == 0)
        return;
    if (moved.cx != 0)
        MoveHeaderColumns(moved.cx);
    MoveItems(-moved.cx, -moved.cy, false);
    Invalidate();
}

void CListBodyUI::ScrollIntoView(CContainerUI &body, const CControlUI &item)
{
    const RECT &pos = body.GetPos();
    const RECT inset = body.GetInset();
    RECT view = {pos.left + inset.left, pos.top + inset.top, pos.right - inset.right,
                 pos.bottom - inset.bottom};
    const CScrollBarUI *horizontal = body.GetHorizontalScrollBar();
    if (horizontal != nullptr && horizontal->IsVisible())
        view.bottom -= horizontal->GetFixedHeight();
    const RECT &rect = item.GetPos();
    if (rect.top >= view.top && rect.bottom < view.bottom)
        return;
    int dy = 0;
    if (rect.bottom > view.bottom)
        dy = rect.bottom - view.bottom;
    else if (rect.top < view.top)
        dy = rect.top - view.top;
    if (dy == 0)
        return;
    const SIZE position = body.GetScrollPos();
    body.SetScrollPos(SIZE{position.cx, position.cy + dy});
}

bool CListBodyUI::DoPaint(HDC dc, const RECT &paintArea, CControlUI *stopControl)
{
    return PaintItems(*this, OwnerStyle(), dc, paintArea, stopControl);
}

bool CListBodyUI::PaintItems(CContainerUI &body, const ListItemStyle *style, HDC dc,
                             const RECT &paintArea, CControlUI *stopControl)
{
    RECT visible;
    if (!IntersectRect(&visible, &paintArea, &body.GetPos()))
        return true;
    CClipScope clip;
    CClipScope::MakeRectClip(dc, visible, clip);
    body.CControlUI::DoPaint(dc, paintArea, stopControl);

    const RECT client = body.GetClientPos();
    RECT clientPaint;
    if (IntersectRect(&clientPaint, &paintArea, &client)) {
        CClipScope childClip;
        CClipScope::MakeRectClip(dc, clientPaint, childClip);
        int drawIndex = 0;
        for (int i = 0; i < body.GetCount(); ++i) {
            CControlUI *child = body.GetItemAt(i);
            if (child == stopControl)
                return false;
            if (!child->IsVisible())
                continue;
            if (child->IsFloat()) {
                if (!Intersects(body.GetPos(), child->GetPos()) ||
                    !Intersects(paintArea, child->GetPos()))
                    continue;
                CClipScope::SelectOuterRegion(dc, childClip);
                const bool goOn = child->Paint(dc, paintArea, stopControl);
                CClipScope::SelectOwnRegion(dc, childClip);
                if (!goOn)
                    return false;
                continue;
            }
            if (auto *item = static_cast<IListItemUI *>(child->GetInterface(L"IListItem")))
                item->SetDrawIndex(drawIndex++);
            if (style != nullptr && style->hLineSize > 0)
                PaintLineBelow(body, *child, *style, dc, paintArea);
            if (Intersects(client, child->GetPos()) && !child->Paint(dc, paintArea, stopControl))
                return false;
        }
    }
    return body.PaintScrollBars(dc, paintArea, stopControl);
}

} // namespace SkinUI
