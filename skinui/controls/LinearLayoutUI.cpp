#include "LinearLayoutUI.h"

#include "ControlState.h"
#include "GdiPainter.h"
#include "ScrollBarUI.h"
#include "ValueText.h"
#include "WindowManagerUI.h"

#include <algorithm>
#include <cwchar>

namespace SkinUI {

namespace {

// The translucent black that previews where a dragged separator will land.
const DWORD kSeparatorPreviewColor = 0xAA000000;

// Layout coordinates: x runs across the layout and y along it. A vertical layout uses the
// window's coordinates; a horizontal one swaps x and y, so one algorithm serves both.
class Axes
{
public:
    explicit Axes(bool swapped) : m_swapped(swapped) {}

    RECT Rect(const RECT &r) const
    {
        return m_swapped ? RECT{r.top, r.left, r.bottom, r.right} : r;
    }
    SIZE Size(const SIZE &s) const { return m_swapped ? SIZE{s.cy, s.cx} : s; }
    int Along(const POINT &p) const { return m_swapped ? p.x : p.y; }

private:
    bool m_swapped;
};

// Raised to the minimum, then cut to the maximum.
int Bound(int value, int minimum, int maximum)
{
    value = value < minimum ? minimum : value;
    return value > maximum ? maximum : value;
}

// A child's sizes and paddings in layout coordinates.
struct ChildBox
{
    ChildBox(CControlUI &child, const Axes &axes)
        : control(child), axes(axes), padding(axes.Rect(child.GetPadding())),
          fixed(axes.Size(SIZE{child.GetFixedWidth(), child.GetFixedHeight()})),
          minimum(axes.Size(SIZE{child.GetMinWidth(), child.GetMinHeight()})),
          maximum(axes.Size(SIZE{child.GetMaxWidth(), child.GetMaxHeight()}))
    {
    }

    // What the child may ask for: the width across less its side paddings and the length
    // along, each capped by the fixed size, or by the maximum where none is fixed.
    SIZE Limits(SIZE available) const
    {
        const int across = available.cx - padding.left - padding.right;
        const int acrossCap = fixed.cx >= 1 ? fixed.cx : maximum.cx;
        const int alongCap = fixed.cy >= 1 ? fixed.cy : maximum.cy;
        return SIZE{std::min(across, acrossCap), std::min<int>(available.cy, alongCap)};
    }

    SIZE Desired(SIZE limits) const { return axes.Size(control.GetDesiredSize(axes.Size(limits))); }

    CControlUI &control;
    const Axes &axes;
    RECT padding;
    SIZE fixed;
    SIZE minimum;
    SIZE maximum;
};

} // namespace

// The first pass: how much length the children with a length of their own take, how many
// share the rest, and the widest child across.
struct CLinearLayoutUI::Measure
{
    int fixedTotal = 0;
    int adjustable = 0;
    int count = 0;
    int share = 0;
    int neededAcross = 0;
};

CLinearLayoutUI::CLinearLayoutUI(bool horizontal)
    : m_separatorSize(0), m_buttonState(0), m_lastMousePoint{0, 0}, m_dragRect{0, 0, 0, 0},
      m_immediate(false), m_horizontal(horizontal)
{
}

UINT CLinearLayoutUI::GetBehaviorFlags() const
{
    return IsEnabled() && m_separatorSize != 0 ? static_cast<UINT>(BehaviorSetCursor) : 0;
}

// ---- Layout ----

void CLinearLayoutUI::SetPos(RECT rect, bool invalidate)
{
    CControlUI::SetPos(rect, invalidate);
    const RECT client = ClientArea();
    if (m_items.IsEmpty()) {
        UpdateScrollBars(client, SIZE{0, 0});
        return;
    }
    const Axes axes(m_horizontal);
    const RECT area = axes.Rect(client);
    // The content is as large as the area plus what the layout's own bars scroll (a subclass
    // may hand its scrolling operations to a child, as a list does to its body).
    const SIZE range = axes.Size(CContainerUI::GetScrollRange());
    const SIZE available = {area.right - area.left + range.cx, area.bottom - area.top + range.cy};
    PlaceChildren(area, available, MeasureChildren(available));
}

// A horizontal layout shares the rest with every child without a fixed width, whatever it
// desires; a vertical one with the children that desire no height.
CLinearLayoutUI::Measure CLinearLayoutUI::MeasureChildren(SIZE available) const
{
    const Axes axes(m_horizontal);
    Measure measure;
    for (int i = 0; i < m_items.GetCount(); ++i) {
        CControlUI *child = ChildAt(i);
        if (!child->IsVisible() || child->IsFloat())
            continue;
        const ChildBox box(*child, axes);
        SIZE desired;
        if (m_horizontal && box.fixed.cy == 0)
            desired = SIZE{box.fixed.cx, 0};
        else
            desired = box.Desired(box.Limits(available));
        if (desired.cy == 0)
            ++measure.adjustable;
        else
            measure.fixedTotal += Bound(desired.cy, box.minimum.cy, box.maximum.cy);
        measure.fixedTotal += box.padding.top + box.padding.bottom;
        const int across = Bound(std::max<int>(desired.cx, 0), box.minimum.cx, box.maximum.cx) +
                           box.padding.left + box.padding.right;
        measure.neededAcross = std::max(measure.neededAcross, across);
        ++measure.count;
    }
    if (measure.count > 1)
        measure.fixedTotal += m_childPadding * (measure.count - 1);
    if (measure.adjustable > 0)
        measure.share = std::max<int>((available.cy - measure.fixedTotal) / measure.adjustable, 0);
    return measure;
}

// The second pass: the children one after the other from the scrolled start, the last
// sharing child taking what is left; across by the child alignment.
void CLinearLayoutUI::PlaceChildren(const RECT &area, SIZE available, const Measure &measure)
{
    const Axes axes(m_horizontal);
    const SIZE position = axes.Size(CContainerUI::GetScrollPos());
    const SIZE range = axes.Size(CContainerUI::GetScrollRange());
    const UINT align = m_horizontal ? m_childVAlign : m_childAlign;
    const bool centred = align == (m_horizontal ? DT_VCENTER : DT_CENTER);
    const bool atEnd = align == (m_horizontal ? DT_BOTTOM : DT_RIGHT);

    int along = area.top - position.cy;
    int remaining = available.cy;
    int remainingFixed = measure.fixedTotal;
    int adjustableSeen = 0;
    int placed = 0;
    int neededAlong = 0;
    for (int i = 0; i < m_items.GetCount(); ++i) {
        CControlUI *child = ChildToLayOut(i);
        if (child == nullptr)
            continue;
        const ChildBox box(*child, axes);
        const RECT &pad = box.padding;
        remaining -= pad.top;
        const SIZE limits = box.Limits(SIZE{available.cx, remaining});
        remainingFixed -= pad.top + pad.bottom + (placed > 0 ? m_childPadding : 0);
        const SIZE desired = box.Desired(limits);

        int length;
        if (desired.cy == 0 || (m_horizontal && box.fixed.cy == 0)) {
            ++adjustableSeen;
            length = adjustableSeen == measure.adjustable
                         ? std::max<int>(remaining - pad.bottom - remainingFixed, 0)
                         : measure.share;
            length = Bound(length, box.minimum.cy, box.maximum.cy);
        } else {
            length = Bound(desired.cy, box.minimum.cy, box.maximum.cy);
            remainingFixed -= length;
        }

        int width = box.maximum.cx != 0 ? box.maximum.cx : available.cx - pad.left - pad.right;
        width = std::max<int>(std::min<int>(std::max(width, 0), limits.cx), box.minimum.cx);
        int start;
        if (centred)
            start = (area.left + area.right) / 2 + range.cx / 2 - position.cx - width / 2;
        else if (atEnd)
            start = area.right + range.cx - position.cx - width - pad.right;
        else
            start = area.left - position.cx + pad.left;
        child->SetPos(
            axes.Rect(RECT{start, along + pad.top, start + width, along + pad.top + length}),
            false);

        along += length + pad.top + pad.bottom + m_childPadding;
        neededAlong += length + pad.top + pad.bottom;
        remaining -= length + pad.bottom + m_childPadding;
        ++placed;
    }
    if (measure.count > 1)
        neededAlong += m_childPadding * (measure.count - 1);
    UpdateScrollBars(axes.Rect(area), axes.Size(SIZE{measure.neededAcross, neededAlong}));
}

// ---- Separator ----

bool CLinearLayoutUI::IsDragging() const
{
    return (m_buttonState & StateCaptured) != 0;
}

void CLinearLayoutUI::SetImmediate(bool immediate)
{
    if (immediate && !m_immediate && IsDragging() && m_manager != nullptr)
        m_manager->RemovePostPaint(this);
    m_immediate = immediate;
}

// A vertical layout's band stays within the layout; a horizontal one's may reach beyond
// its left edge, where nothing hits it.
RECT CLinearLayoutUI::GetSeparatorRect(bool useDragRect) const
{
    const Axes axes(m_horizontal);
    const RECT base = axes.Rect(useDragRect && IsDragging() ? m_dragRect : m_itemRect);
    RECT band = base;
    if (m_separatorSize >= 0) {
        band.top = base.bottom - m_separatorSize;
        if (!m_horizontal)
            band.top = std::max(band.top, base.top);
    } else {
        band.bottom = base.top - m_separatorSize;
        if (!m_horizontal)
            band.bottom = std::min(band.bottom, base.bottom);
    }
    return axes.Rect(band);
}

bool CLinearLayoutUI::StartDrag(const POINT &point)
{
    const RECT band = GetSeparatorRect(false);
    if (!IsEnabled() || !PtInRect(&band, point))
        return false;
    m_buttonState |= StateCaptured;
    m_lastMousePoint = point;
    m_dragRect = m_itemRect;
    if (!m_immediate && m_manager != nullptr)
        m_manager->AddPostPaint(this);
    return true;
}

void CLinearLayoutUI::EndDrag()
{
    m_buttonState &= ~StateCaptured;
    m_itemRect = m_dragRect;
    if (!m_immediate && m_manager != nullptr)
        m_manager->RemovePostPaint(this);
    MarkParentNeedsLayout();
}

// The dragged edge follows the mouse only while the mouse is on the side it moves to, so
// that the edge never runs ahead of the pointer; the length stays within its limits.
void CLinearLayoutUI::Drag(const POINT &point)
{
    const Axes axes(m_horizontal);
    const int at = axes.Along(point);
    const int delta = at - axes.Along(m_lastMousePoint);
    m_lastMousePoint = point;
    const RECT drag = axes.Rect(m_dragRect);
    RECT moved = drag;
    const int s = m_separatorSize;
    if (s > 0) {
        if ((delta > 0 && at < drag.bottom - s) || (delta < 0 && at > drag.bottom))
            return;
        moved.bottom += delta;
    } else {
        if ((delta > 0 && at < drag.top) || (delta < 0 && at > drag.top - s))
            return;
        moved.top += delta;
    }
    const int minimum = m_horizontal ? GetMinWidth() : GetMinHeight();
    const int maximum = m_horizontal ? GetMaxWidth() : GetMaxHeight();
    const int before = drag.bottom - drag.top;
    int length = moved.bottom - moved.top;
    if (length <= minimum) {
        if (before <= minimum)
            return;
        length = minimum;
    } else if (length >= maximum) {
        if (before >= maximum)
            return;
        length = maximum;
    }
    if (s > 0)
        moved.bottom = moved.top + length;
    else
        moved.top = moved.bottom - length;

    const RECT oldBand = GetSeparatorRect(true);
    m_dragRect = axes.Rect(moved);
    (m_horizontal ? m_fixedSize.cx : m_fixedSize.cy) = length;
    if (m_immediate) {
        m_itemRect = m_dragRect;
        MarkParentNeedsLayout();
    } else if (m_manager != nullptr) {
        const RECT newBand = GetSeparatorRect(true);
        const RECT itemBand = GetSeparatorRect(false);
        RECT dirty;
        UnionRect(&dirty, &oldBand, &newBand);
        UnionRect(&dirty, &dirty, &itemBand);
        m_manager->Invalidate(dirty);
    }
}

void CLinearLayoutUI::DoEvent(ControlEvent &event)
{
    if (m_separatorSize == 0) {
        CContainerUI::DoEvent(event);
        return;
    }
    switch (event.type) {
    case EventButtonDown:
        if (StartDrag(event.mousePoint))
            return;
        break;
    case EventButtonUp:
        if (IsDragging()) {
            EndDrag();
            return;
        }
        break;
    case EventMouseMove:
        if (IsDragging()) {
            Drag(event.mousePoint);
            return;
        }
        break;
    case EventSetCursor: {
        const RECT band = GetSeparatorRect(false);
        if (IsEnabled() && PtInRect(&band, event.mousePoint)) {
            ::SetCursor(LoadCursorW(nullptr, m_horizontal ? IDC_SIZEWE : IDC_SIZENS));
            return;
        }
        break;
    }
    default:
        break;
    }
    CContainerUI::DoEvent(event);
}

void CLinearLayoutUI::PostPaint(HDC dc, const RECT &paintArea)
{
    if (IsDragging() && !m_immediate)
        CGdiPainter::DrawColor(dc, GetSeparatorRect(true), kSeparatorPreviewColor);
    CContainerUI::PostPaint(dc, paintArea);
}

void CLinearLayoutUI::SetAttribute(const wchar_t *name, const wchar_t *value)
{
    if (name == nullptr || value == nullptr)
        return;
    if (wcscmp(name, m_horizontal ? L"sepwidth" : L"sepheight") == 0)
        SetSeparatorSize(ValueText::ReadInteger(value));
    else if (wcscmp(name, L"sepimm") == 0)
        SetImmediate(ValueText::IsTrue(value));
    else
        CContainerUI::SetAttribute(name, value);
}

} // namespace SkinUI
