#include "ListBodyUI.h"

#include "ClipScope.h"
#include "GdiPainter.h"
#include "ListHeaderUI.h"
#include "ListUI.h"
#include "ScrollBarUI.h"

#include <algorithm>

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

} // namespace

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

// Items follow one another from the scrolled top-left, each measured at the width the
// columns (or the client) give and as high as it asks within its limits; the bottom
// padding lies inside an item's rectangle.
void CListBodyUI::SetPos(RECT rect, bool invalidate)
{
    CControlUI::SetPos(rect, invalidate);
    const RECT client = ClientArea();
    const SIZE position = CContainerUI::GetScrollPos();
    const ListItemStyle *style = OwnerStyle();

    int availableWidth = client.right - client.left + CContainerUI::GetScrollRange().cx;
    const int availableHeight = client.bottom - client.top;
    const int gap = m_childPadding + (style != nullptr ? style->hLineSize : 0);
    if (style != nullptr && style->columnCount > 0)
        availableWidth = style->columns[style->columnCount - 1].right - style->columns[0].left;
    const int requiredWidth = RequiredWidth(SIZE{availableWidth, availableHeight});

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
        child->SetPos(RECT{left + padding.left, top + padding.top, left + padding.left + width,
                           top + padding.top + height + padding.bottom},
                      false);
        const int step = height + padding.top + padding.bottom;
        top += step + gap;
        remaining -= height + padding.bottom + gap;
        neededHeight += step;
        ++placed;
    }
    if (placed > 1)
        neededHeight += (placed - 1) * gap;
    UpdateScrollBars(client, SIZE{requiredWidth, neededHeight});
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

// The header's columns follow what the rows really moved sideways.
void CListBodyUI::SetScrollPos(SIZE position)
{
    const int oldX = GetScrollPos().cx;
    CVerticalLayoutUI::SetScrollPos(position);
    const int dx = GetScrollPos().cx - oldX;
    if (dx != 0)
        MoveHeaderColumns(dx);
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
