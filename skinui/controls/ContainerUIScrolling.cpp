#include "ContainerUI.h"

#include "ScrollBarUI.h"
#include "WindowManagerUI.h"

#include <cstdlib>

// Scrolling of a container: its two optional bars, the scroll position and range, the line,
// page and end steps, keys and wheel, and fitting the bars to the extent the children need.

namespace SkinUI {

namespace {

const int kDefaultLineStep = 8;

bool IsUsable(const CScrollBarUI *bar)
{
    return bar != nullptr && bar->IsVisible() && bar->IsEnabled();
}

int StepOf(const CScrollBarUI *bar, int fallback)
{
    return bar != nullptr && bar->GetScrollUnit() > 1 ? bar->GetScrollUnit() : fallback;
}

} // namespace

// ---- Position and range ----

SIZE CContainerUI::GetScrollPos() const
{
    return SIZE{IsHorizontalBarShown() ? m_horizontalScrollBar->GetScrollPos() : 0,
                IsVerticalBarShown() ? m_verticalScrollBar->GetScrollPos() : 0};
}

SIZE CContainerUI::GetScrollRange() const
{
    return SIZE{IsHorizontalBarShown() ? m_horizontalScrollBar->GetScrollRange() : 0,
                IsVerticalBarShown() ? m_verticalScrollBar->GetScrollRange() : 0};
}

// The children move by what the bars really moved (they clamp and snap); the next layout
// places them from the bars' positions.
void CContainerUI::SetScrollPos(SIZE position)
{
    const SIZE moved = MoveScrollBarsTo(position);
    if (moved.cx == 0 && moved.cy == 0)
        return;
    for (int i = 0; i < m_items.GetCount(); ++i) {
        CControlUI *child = ChildAt(i);
        if (child->IsVisible() && !child->IsFloat())
            child->Move(-moved.cx, -moved.cy, false);
    }
    Invalidate();
}

SIZE CContainerUI::MoveScrollBarsTo(SIZE position)
{
    SIZE moved = {0, 0};
    if (IsVerticalBarShown()) {
        const int old = m_verticalScrollBar->GetScrollPos();
        m_verticalScrollBar->SetScrollPos(position.cy, true);
        moved.cy = m_verticalScrollBar->GetScrollPos() - old;
    }
    if (IsHorizontalBarShown()) {
        const int old = m_horizontalScrollBar->GetScrollPos();
        m_horizontalScrollBar->SetScrollPos(position.cx, true);
        moved.cx = m_horizontalScrollBar->GetScrollPos() - old;
    }
    return moved;
}

// ---- Steps ----

// A vertical line is a line of the window's default font plus some air; a bar's scroll
// unit takes its place.
int CContainerUI::VerticalLineStep() const
{
    int step = kDefaultLineStep;
    if (m_manager != nullptr)
        step += m_manager->GetDefaultFontInfo()->metrics.tmHeight;
    return StepOf(m_verticalScrollBar, step);
}

int CContainerUI::HorizontalLineStep() const
{
    return StepOf(m_horizontalScrollBar, kDefaultLineStep);
}

void CContainerUI::LineUp()
{
    const SIZE position = GetScrollPos();
    SetScrollPos(SIZE{position.cx, position.cy - VerticalLineStep()});
}

void CContainerUI::LineDown()
{
    const SIZE position = GetScrollPos();
    SetScrollPos(SIZE{position.cx, position.cy + VerticalLineStep()});
}

void CContainerUI::LineLeft()
{
    const SIZE position = GetScrollPos();
    SetScrollPos(SIZE{position.cx - HorizontalLineStep(), position.cy});
}

void CContainerUI::LineRight()
{
    const SIZE position = GetScrollPos();
    SetScrollPos(SIZE{position.cx + HorizontalLineStep(), position.cy});
}

void CContainerUI::PageUp()
{
    const SIZE position = GetScrollPos();
    SetScrollPos(SIZE{position.cx, position.cy - (ClientArea().bottom - ClientArea().top)});
}

void CContainerUI::PageDown()
{
    const SIZE position = GetScrollPos();
    SetScrollPos(SIZE{position.cx, position.cy + (ClientArea().bottom - ClientArea().top)});
}

void CContainerUI::PageLeft()
{
    const SIZE position = GetScrollPos();
    SetScrollPos(SIZE{position.cx - (ClientArea().right - ClientArea().left), position.cy});
}

void CContainerUI::PageRight()
{
    const SIZE position = GetScrollPos();
    SetScrollPos(SIZE{position.cx + (ClientArea().right - ClientArea().left), position.cy});
}

void CContainerUI::ScrollToTop()
{
    SetScrollPos(SIZE{GetScrollPos().cx, 0});
}

void CContainerUI::ScrollToBottom()
{
    SetScrollPos(SIZE{GetScrollPos().cx, GetScrollRange().cy});
}

void CContainerUI::ScrollToLeftEdge()
{
    SetScrollPos(SIZE{0, GetScrollPos().cy});
}

void CContainerUI::ScrollToRightEdge()
{
    SetScrollPos(SIZE{GetScrollRange().cx, GetScrollPos().cy});
}

// ---- Keys and wheel ----

// The vertical bar takes the keys when it can; otherwise they scroll sideways, Up and Down
// among them.
bool CContainerUI::ScrollByKey(wchar_t key)
{
    typedef void (CContainerUI::*Operation)();
    static const struct
    {
        wchar_t key;
        Operation vertical;
        Operation horizontal;
    } keys[] = {
        {VK_PRIOR, &CContainerUI::PageUp, &CContainerUI::PageLeft},
        {VK_NEXT, &CContainerUI::PageDown, &CContainerUI::PageRight},
        {VK_END, &CContainerUI::ScrollToBottom, &CContainerUI::ScrollToRightEdge},
        {VK_HOME, &CContainerUI::ScrollToTop, &CContainerUI::ScrollToLeftEdge},
        {VK_UP, &CContainerUI::LineUp, &CContainerUI::LineLeft},
        {VK_DOWN, &CContainerUI::LineDown, &CContainerUI::LineRight},
    };
    const bool vertical = IsUsable(m_verticalScrollBar);
    if (!vertical && !IsUsable(m_horizontalScrollBar))
        return false;
    for (const auto &entry : keys) {
        if (entry.key == key) {
            (this->*(vertical ? entry.vertical : entry.horizontal))();
            return true;
        }
    }
    return false;
}

// The wheel scrolls sideways over the horizontal bar, or when there is no vertical bar to
// scroll. Its wParam is 0 for up, 1 for down.
bool CContainerUI::ScrollByWheel(const ControlEvent &event)
{
    const bool down = event.wParam != 0;
    const bool overHorizontal = IsUsable(m_horizontalScrollBar) &&
                                PtInRect(&m_horizontalScrollBar->GetPos(), event.mousePoint);
    if (!overHorizontal && IsUsable(m_verticalScrollBar)) {
        down ? LineDown() : LineUp();
        return true;
    }
    if (IsUsable(m_horizontalScrollBar)) {
        down ? LineRight() : LineLeft();
        return true;
    }
    return false;
}

// ---- The bars ----

CScrollBarUI *CContainerUI::MakeScrollBar(bool horizontal)
{
    auto *bar = new CScrollBarUI;
    bar->SetScrollRange(0);
    if (horizontal)
        bar->SetHorizontal(true);
    bar->SetOwner(this);
    bar->SetManager(m_manager, nullptr, false);
    if (m_manager != nullptr) {
        const wchar_t *style =
            m_manager->GetDefaultAttributeList(horizontal ? L"HScrollBar" : L"VScrollBar");
        if (style != nullptr)
            bar->SetAttributeList(style);
    }
    return bar;
}

void CContainerUI::EnableScrollBar(bool vertical, bool horizontal)
{
    if (vertical && m_verticalScrollBar == nullptr) {
        m_verticalScrollBar = MakeScrollBar(false);
    } else if (!vertical && m_verticalScrollBar != nullptr) {
        delete m_verticalScrollBar;
        m_verticalScrollBar = nullptr;
    }
    if (horizontal && m_horizontalScrollBar == nullptr) {
        m_horizontalScrollBar = MakeScrollBar(true);
    } else if (!horizontal && m_horizontalScrollBar != nullptr) {
        delete m_horizontalScrollBar;
        m_horizontalScrollBar = nullptr;
    }
    MarkNeedsLayout();
}

CScrollBarUI *CContainerUI::GetVerticalScrollBar() const
{
    return m_verticalScrollBar;
}

CScrollBarUI *CContainerUI::GetHorizontalScrollBar() const
{
    return m_horizontalScrollBar;
}

// ---- Fitting the bars to the content ----

void CContainerUI::Relayout(bool invalidate, bool flagged)
{
    const RECT rect = IsFloat() ? GetRelativePos() : GetPos();
    if (flagged)
        m_scrollProcessing = true;
    SetPos(rect, invalidate);
    if (flagged)
        m_scrollProcessing = false;
}

bool CContainerUI::ChangeBarRange(CScrollBarUI &bar, int range)
{
    const int old = bar.GetScrollPos();
    bar.SetScrollRange(std::abs(range));
    if (bar.GetScrollRange() == 0) {
        bar.SetVisible(false);
        bar.SetScrollPos(0, false);
    }
    return old > bar.GetScrollPos();
}

void CContainerUI::HideBar(CScrollBarUI &bar)
{
    bar.SetVisible(false);
    bar.SetScrollPos(0, false);
    bar.SetScrollRange(0);
}

void CContainerUI::UpdateScrollBars(RECT area, SIZE needed)
{
    if (m_verticalScrollBar != nullptr && m_horizontalScrollBar != nullptr) {
        UpdateBothBars(area, needed);
    } else if (m_verticalScrollBar != nullptr) {
        UpdateSingleBar(*m_verticalScrollBar, area.bottom - area.top, needed.cy,
                        RECT{area.right, area.top,
                             area.right + m_verticalScrollBar->GetFixedWidth(), area.bottom});
    } else if (m_horizontalScrollBar != nullptr) {
        UpdateSingleBar(*m_horizontalScrollBar, area.right - area.left, needed.cx,
                        RECT{area.left, area.bottom, area.right,
                             area.bottom + m_horizontalScrollBar->GetFixedHeight()});
    }
}

// One bar: shown (with a fresh layout in the smaller area) when the content outgrows the
// area, re-ranged while it overflows, hidden when it fits.
void CContainerUI::UpdateSingleBar(CScrollBarUI &bar, int available, int needed, const RECT &place)
{
    const int overflow = needed - available;
    if (!bar.IsVisible()) {
        if (overflow <= 0)
            return;
        bar.SetVisible(true);
        bar.SetScrollRange(overflow);
        bar.SetScrollPos(0, false);
        Relayout(true, true);
        return;
    }
    if (overflow > 0 || m_scrollProcessing) {
        bar.SetPos(place, false);
        if (bar.GetScrollRange() == overflow)
            return;
        if (ChangeBarRange(bar, overflow))
            Relayout(false, false);
        return;
    }
    HideBar(bar);
    Relayout(true, false);
}

// The horizontal bar first, as its height decides the height the vertical bar compares.
// Hiding the horizontal bar counts as a change: the children still stand where its position
// put them and need a layout without it.
void CContainerUI::UpdateBothBars(RECT area, SIZE needed)
{
    CScrollBarUI &vertical = *m_verticalScrollBar;
    CScrollBarUI &horizontal = *m_horizontalScrollBar;
    const int barWidth = vertical.GetFixedWidth();
    const int barHeight = horizontal.GetFixedHeight();
    bool horizontalChanged = false;
    if (needed.cx > area.right - area.left) {
        if (!horizontal.IsVisible()) {
            horizontal.SetVisible(true);
            horizontal.SetScrollPos(0, false);
            area.bottom -= barHeight;
        }
        horizontal.SetPos(RECT{area.left, area.bottom, area.right, area.bottom + barHeight}, false);
        const int range = needed.cx - (area.right - area.left);
        if (horizontal.GetScrollRange() != range) {
            horizontal.SetScrollRange(std::abs(range));
            horizontalChanged = true;
        }
    } else if (horizontal.IsVisible()) {
        horizontal.SetVisible(false);
        area.bottom += barHeight;
        horizontalChanged = true;
    }

    const int overflow = needed.cy - (area.bottom - area.top);
    if (overflow > 0 && !vertical.IsVisible()) {
        vertical.SetVisible(true);
        vertical.SetScrollRange(overflow);
        vertical.SetScrollPos(0, false);
        if (horizontal.IsVisible()) {
            horizontal.SetPos(
                RECT{area.left, area.bottom, area.right - barWidth, area.bottom + barHeight},
                false);
            horizontal.SetScrollRange(std::abs(needed.cx - (area.right - barWidth - area.left)));
        }
        Relayout(true, true);
        return;
    }
    if (!vertical.IsVisible()) {
        if (horizontalChanged)
            Relayout(true, false);
        return;
    }
    if (overflow > 0 || m_scrollProcessing) {
        vertical.SetPos(RECT{area.right, area.top, area.right + barWidth, area.bottom}, false);
        if (vertical.GetScrollRange() == overflow)
            return;
        if (ChangeBarRange(vertical, overflow) || horizontalChanged)
            Relayout(false, false);
        return;
    }
    HideBar(vertical);
    if (horizontal.IsVisible()) {
        horizontal.SetPos(
            RECT{area.left, area.bottom, area.right + barWidth, area.bottom + barHeight}, false);
        horizontal.SetScrollRange(std::abs(needed.cx - (area.right + barWidth - area.left)));
    }
    Relayout(true, false);
}

} // namespace SkinUI
