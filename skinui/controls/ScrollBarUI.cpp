#include "ScrollBarUI.h"

#include "ContainerUI.h"
#include "ControlState.h"
#include "GdiPainter.h"
#include "ValueText.h"
#include "WindowManagerUI.h"

#include <cstdint>
#include <cwchar>

namespace SkinUI {

const wchar_t *const CScrollBarUI::kClassName = L"ScrollBar";

namespace {

// Ticks of the repeat timer that pass before a held button or track starts repeating.
const int kRepeatDelayTicks = 5;
const UINT kRepeatPeriodMs = 50;

// A rectangle from its spans along and across the bar.
RECT PartRect(bool horizontal, int alongStart, int alongEnd, int crossStart, int crossEnd)
{
    return horizontal ? RECT{alongStart, crossStart, alongEnd, crossEnd}
                      : RECT{crossStart, alongStart, crossEnd, alongEnd};
}

bool IsZero(const RECT &rect)
{
    return rect.left == 0 && rect.top == 0 && rect.right == 0 && rect.bottom == 0;
}

// Sets or clears bits; true when the word changed.
bool ChangeBits(UINT &state, UINT bits, bool set)
{
    const UINT before = state;
    state = set ? state | bits : state & ~bits;
    return state != before;
}

} // namespace

CScrollBarUI::CScrollBarUI()
    : m_horizontal(false), m_range(100), m_position(0), m_lineSize(8), m_scrollUnit(1),
      m_owner(nullptr), m_dragStartPoint{0, 0}, m_dragStartPosition(0), m_dragOffset(0),
      m_repeatCount(0), m_thumbRect{0, 0, 0, 0}, m_thumbState(0), m_thumbColor(0)
{
    m_fixedSize.cx = kDefaultThickness;
}

const wchar_t *CScrollBarUI::GetClass() const
{
    return kClassName;
}

void *CScrollBarUI::GetInterface(const wchar_t *name)
{
    if (name != nullptr && wcscmp(name, kClassName) == 0)
        return this;
    return CControlUI::GetInterface(name);
}

// ---- Properties ----

void CScrollBarUI::SetHorizontal(bool horizontal)
{
    if (m_horizontal == horizontal)
        return;
    m_horizontal = horizontal;
    if (horizontal && m_fixedSize.cy == 0)
        m_fixedSize = SIZE{0, kDefaultThickness};
    else if (!horizontal && m_fixedSize.cx == 0)
        m_fixedSize = SIZE{kDefaultThickness, 0};
    if (m_owner != nullptr)
        m_owner->MarkNeedsLayout();
    else
        MarkParentNeedsLayout();
}

void CScrollBarUI::SetScrollRange(int range)
{
    if (m_range == range)
        return;
    m_range = range < 0 ? 0 : range;
    if (m_position > m_range)
        m_position = m_range;
    SetPos(m_itemRect, true);
}

void CScrollBarUI::SetScrollPos(int position, bool notify)
{
    if (m_position == position)
        return;
    const int old = m_position;
    m_position = position < 0 ? 0 : position;
    if (m_scrollUnit > 1) {
        const int rest = m_position % m_scrollUnit;
        if (rest != 0)
            m_position += rest < m_scrollUnit / 2 ? -rest : m_scrollUnit - rest;
    }
    if (m_position > m_range)
        m_position = m_range;
    SetPos(m_itemRect, true);
    if (notify && m_manager != nullptr)
        m_manager->SendNotify(this, L"scroll", static_cast<WPARAM>(m_position),
                              static_cast<LPARAM>(old), true);
}

void CScrollBarUI::SetLineSize(int size)
{
    if (size >= 0)
        m_lineSize = size;
}

void CScrollBarUI::SetScrollUnit(int unit)
{
    if (unit >= 0)
        m_scrollUnit = unit;
}

int CScrollBarUI::GetLineStep() const
{
    return m_scrollUnit > 1 ? m_scrollUnit : m_lineSize;
}

void CScrollBarUI::SetShowButton1(bool show)
{
    m_button1.shown = show;
    SetPos(m_itemRect, true);
}

void CScrollBarUI::SetShowButton2(bool show)
{
    m_button2.shown = show;
    SetPos(m_itemRect, true);
}

// Hiding keeps the layout as it is: the owner decides where its bars go.
void CScrollBarUI::SetVisible(bool visible)
{
    if (m_visible == visible)
        return;
    m_visible = visible;
    m_focused = false;
}

void CScrollBarUI::SetEnabled(bool enabled)
{
    CControlUI::SetEnabled(enabled);
    if (!enabled) {
        m_button1.state = 0;
        m_button2.state = 0;
        m_thumbState = 0;
    }
}

// The owner takes the focus, so that its keys scroll it.
void CScrollBarUI::SetFocus()
{
    if (m_owner != nullptr)
        m_owner->SetFocus();
    else
        CControlUI::SetFocus();
}

// ---- Geometry ----

int CScrollBarUI::Thickness() const
{
    return m_horizontal ? m_fixedSize.cy : m_fixedSize.cx;
}

int CScrollBarUI::Length() const
{
    return m_horizontal ? GetWidth() : GetHeight();
}

int CScrollBarUI::ShownButtonCount() const
{
    return (m_button1.shown ? 1 : 0) + (m_button2.shown ? 1 : 0);
}

int CScrollBarUI::Along(POINT point) const
{
    return m_horizontal ? point.x : point.y;
}

bool CScrollBarUI::HasThumb() const
{
    return !IsZero(m_thumbRect);
}

bool CScrollBarUI::IsBeforeThumb(POINT point) const
{
    return Along(point) < (m_horizontal ? m_thumbRect.left : m_thumbRect.top);
}

bool CScrollBarUI::IsAfterThumb(POINT point) const
{
    return Along(point) >= (m_horizontal ? m_thumbRect.right : m_thumbRect.bottom);
}

void CScrollBarUI::SetPos(RECT rect, bool invalidate)
{
    CControlUI::SetPos(rect, invalidate);
    LayOutParts();
}

// The buttons keep the bar's thickness as their length while the track leaves room for
// more than one thumb's thickness; below that they share the bar and there is no thumb.
// The thumb's length shows how much of the content the owner shows at once.
void CScrollBarUI::LayOutParts()
{
    const int thickness = Thickness();
    const int start = m_horizontal ? m_itemRect.left : m_itemRect.top;
    const int end = m_horizontal ? m_itemRect.right : m_itemRect.bottom;
    const int cross = m_horizontal ? m_itemRect.top : m_itemRect.left;
    const int length = end - start;
    const int free = length - thickness * ShownButtonCount();
    const bool roomForThumb = free > thickness;
    const int button = roomForThumb || length / 2 > thickness ? thickness : length / 2;

    const int button1End = m_button1.shown ? start + button : start;
    const int button2Start = m_button2.shown ? end - button : end;
    m_button1.rect = PartRect(m_horizontal, start, button1End, cross,
                              m_button1.shown ? cross + thickness : cross);
    m_button2.rect = PartRect(m_horizontal, button2Start, end, cross,
                              m_button2.shown ? cross + thickness : cross);
    if (!roomForThumb) {
        m_thumbRect = RECT{0, 0, 0, 0};
        return;
    }
    if (m_range <= 0) {
        m_thumbRect = PartRect(m_horizontal, button1End, button2Start, cross, cross + thickness);
        return;
    }
    int thumb = static_cast<int>(static_cast<int64_t>(length) * free / (length + m_range));
    if (thumb < thickness)
        thumb = thickness;
    int thumbStart =
        static_cast<int>(static_cast<int64_t>(free - thumb) * m_position / m_range) + button1End;
    if (thumbStart + thumb > button2Start)
        thumbStart = button2Start - thumb;
    m_thumbRect = PartRect(m_horizontal, thumbStart, thumbStart + thumb, cross, cross + thickness);
}

// The parts are window coordinates too: they travel with the bar when a scrolling ancestor
// moves it, until the next layout places them anew.
void CScrollBarUI::Move(int dx, int dy, bool invalidate)
{
    CControlUI::Move(dx, dy, invalidate);
    OffsetRect(&m_button1.rect, dx, dy);
    OffsetRect(&m_button2.rect, dx, dy);
    if (HasThumb())
        OffsetRect(&m_thumbRect, dx, dy);
}

// ---- Steps ----

// A line or a page back or forward: the owner's own step, or without an owner the line
// step or the bar's length.
void CScrollBarUI::Scroll(bool forward, bool page)
{
    if (m_owner == nullptr) {
        const int step = page ? Length() : GetLineStep();
        SetScrollPos(m_position + (forward ? step : -step), true);
        return;
    }
    typedef void (CContainerUI::*Operation)();
    static const Operation operations[2][2][2] = {
        {{&CContainerUI::LineUp, &CContainerUI::LineDown},
         {&CContainerUI::PageUp, &CContainerUI::PageDown}},
        {{&CContainerUI::LineLeft, &CContainerUI::LineRight},
         {&CContainerUI::PageLeft, &CContainerUI::PageRight}}};
    (m_owner->*operations[m_horizontal][page][forward])();
}

void CScrollBarUI::MoveThumbToDrag()
{
    const int target = m_dragStartPosition + m_dragOffset;
    if (m_owner != nullptr) {
        SIZE position = m_owner->GetScrollPos();
        if (m_horizontal)
            position.cx = target;
        else
            position.cy = target;
        m_owner->SetScrollPos(position);
    } else {
        SetScrollPos(target, true);
    }
    Invalidate();
}

// A held button or track waits a few ticks, then steps at every tick; a held track pages
// towards the cursor for as long as the cursor stays on one side of the thumb.
void CScrollBarUI::RepeatHeldPart()
{
    if (m_repeatCount <= kRepeatDelayTicks)
        return;
    if (m_button1.state & StatePushed) {
        Scroll(false, false);
    } else if (m_button2.state & StatePushed) {
        Scroll(true, false);
    } else if (m_manager != nullptr) {
        POINT cursor;
        GetCursorPos(&cursor);
        ScreenToClient(m_manager->GetPaintWindow(), &cursor);
        if (IsBeforeThumb(cursor))
            Scroll(false, true);
        else if (IsAfterThumb(cursor))
            Scroll(true, true);
    }
}

// ---- Events ----

void CScrollBarUI::PassOn(ControlEvent &event)
{
    if (m_owner != nullptr)
        m_owner->DoEvent(event);
    else
        CControlUI::DoEvent(event);
}

void CScrollBarUI::HandleButtonDown(const ControlEvent &event)
{
    m_dragOffset = 0;
    m_repeatCount = 0;
    if (m_manager != nullptr)
        m_manager->SetTimer(this, kRepeatTimerId, kRepeatPeriodMs);
    const POINT point = event.mousePoint;
    if (PtInRect(&m_button1.rect, point)) {
        m_button1.state |= StatePushed;
        Scroll(false, false);
    } else if (PtInRect(&m_button2.rect, point)) {
        m_button2.state |= StatePushed;
        Scroll(true, false);
    } else if (PtInRect(&m_thumbRect, point)) {
        m_thumbState |= StateCaptured | StatePushed;
        m_dragStartPoint = point;
        m_dragStartPosition = m_position;
    } else if (IsBeforeThumb(point)) {
        Scroll(false, true);
    } else if (IsAfterThumb(point)) {
        Scroll(true, true);
    }
    Invalidate();
}

void CScrollBarUI::HandleButtonUp()
{
    m_repeatCount = 0;
    m_dragOffset = 0;
    if (m_manager != nullptr)
        m_manager->KillTimer(this, kRepeatTimerId);
    bool released = false;
    if (m_thumbState & StateCaptured)
        released = ChangeBits(m_thumbState, StateCaptured | StatePushed, false);
    else if (m_button1.state & StatePushed)
        released = ChangeBits(m_button1.state, StatePushed, false);
    else if (m_button2.state & StatePushed)
        released = ChangeBits(m_button2.state, StatePushed, false);
    if (released)
        Invalidate();
}

// A drag only computes where the thumb goes; the repeat timer moves it there.
void CScrollBarUI::HandleMouseMove(const ControlEvent &event)
{
    if (m_thumbState & StateCaptured) {
        const int thumb = m_horizontal ? m_thumbRect.right - m_thumbRect.left
                                       : m_thumbRect.bottom - m_thumbRect.top;
        const int slack = Length() - thumb - Thickness() * ShownButtonCount();
        if (slack == 0)
            return;
        const int moved = Along(event.mousePoint) - Along(m_dragStartPoint);
        m_dragOffset = static_cast<int>(static_cast<int64_t>(moved) * m_range / slack);
        return;
    }
    const bool overThumb = PtInRect(&m_thumbRect, event.mousePoint) != FALSE;
    if (overThumb && !IsEnabled())
        return;
    if (ChangeBits(m_thumbState, StateHot, overThumb))
        Invalidate();
}

void CScrollBarUI::HandleMouseEnter(const ControlEvent &event)
{
    if (!IsEnabled() || !PtInRect(&m_itemRect, event.mousePoint))
        return;
    m_button1.state |= StateHot;
    m_button2.state |= StateHot;
    if (PtInRect(&m_thumbRect, event.mousePoint))
        m_thumbState |= StateHot;
    Invalidate();
}

// False when the mouse is still over the bar: the bar then waits for the next leave.
bool CScrollBarUI::HandleMouseLeave(const ControlEvent &event)
{
    if (PtInRect(&m_itemRect, event.mousePoint)) {
        if (m_manager != nullptr)
            m_manager->AddMouseLeaveListener(this);
        return false;
    }
    if (IsEnabled()) {
        m_button1.state &= ~StateHot;
        m_button2.state &= ~StateHot;
        m_thumbState &= ~StateHot;
        Invalidate();
    }
    if (m_manager != nullptr)
        m_manager->RemoveMouseLeaveListener(this);
    return true;
}

void CScrollBarUI::DoEvent(ControlEvent &event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        PassOn(event);
        return;
    }
    switch (event.type) {
    case EventButtonDown:
    case EventDoubleClick:
        // A disabled bar leaves the press to its owner.
        if (!IsEnabled())
            break;
        HandleButtonDown(event);
        return;
    case EventButtonUp:
        HandleButtonUp();
        return;
    case EventMouseMove:
        HandleMouseMove(event);
        return;
    case EventContextMenu:
    case EventKillFocus:
    case EventSetFocus:
        return;
    case EventTimer:
        if (event.wParam != kRepeatTimerId)
            break;
        ++m_repeatCount;
        if (m_thumbState & StateCaptured)
            MoveThumbToDrag();
        else
            RepeatHeldPart();
        return;
    case EventMouseEnter:
        HandleMouseEnter(event);
        break;
    case EventMouseLeave:
        if (!HandleMouseLeave(event))
            return;
        break;
    default:
        break;
    }
    PassOn(event);
}

// ---- Attributes ----

void CScrollBarUI::StoreColor(DWORD &field, const wchar_t *text)
{
    const DWORD color = ValueText::ReadHexColor(text);
    if (field == color)
        return;
    field = color;
    Invalidate();
}

// The image attributes are a part's prefix followed by a state: "thumbhotimage".
bool CScrollBarUI::SetImageAttribute(const wchar_t *name, const wchar_t *value)
{
    struct Part
    {
        const wchar_t *prefix;
        StateImages *images;
    };
    const Part parts[] = {{L"bk", &m_trackImages},
                          {L"button1", &m_button1.images},
                          {L"button2", &m_button2.images},
                          {L"thumb", &m_thumbImages},
                          {L"rail", &m_railImages}};
    for (const Part &part : parts) {
        const size_t length = wcslen(part.prefix);
        if (wcsncmp(name, part.prefix, length) != 0)
            continue;
        const wchar_t *state = name + length;
        ImageDescriptor *descriptor = wcscmp(state, L"normalimage") == 0   ? &part.images->normal
                                      : wcscmp(state, L"hotimage") == 0    ? &part.images->hot
                                      : wcscmp(state, L"pushedimage") == 0 ? &part.images->pushed
                                      : wcscmp(state, L"disabledimage") == 0
                                          ? &part.images->disabled
                                          : nullptr;
        if (descriptor == nullptr)
            return false;
        SetImageText(*descriptor, value);
        return true;
    }
    return false;
}

void CScrollBarUI::SetAttribute(const wchar_t *name, const wchar_t *value)
{
    if (name == nullptr || value == nullptr)
        return;
    if (SetImageAttribute(name, value))
        return;
    if (wcscmp(name, L"button1color") == 0)
        StoreColor(m_button1.color, value);
    else if (wcscmp(name, L"button2color") == 0)
        StoreColor(m_button2.color, value);
    else if (wcscmp(name, L"thumbcolor") == 0)
        StoreColor(m_thumbColor, value);
    else if (wcscmp(name, L"hor") == 0)
        SetHorizontal(ValueText::IsTrue(value));
    else if (wcscmp(name, L"linesize") == 0)
        SetLineSize(ValueText::ReadInteger(value));
    else if (wcscmp(name, L"range") == 0)
        SetScrollRange(ValueText::ReadInteger(value));
    else if (wcscmp(name, L"value") == 0)
        SetScrollPos(ValueText::ReadInteger(value), true);
    else if (wcscmp(name, L"scrollunit") == 0)
        SetScrollUnit(ValueText::ReadInteger(value));
    else if (wcscmp(name, L"showbutton1") == 0)
        SetShowButton1(ValueText::IsTrue(value));
    else if (wcscmp(name, L"showbutton2") == 0)
        SetShowButton2(ValueText::IsTrue(value));
    else
        CControlUI::SetAttribute(name, value);
}

// ---- Painting ----

bool CScrollBarUI::DoPaint(HDC dc, const RECT &, CControlUI *)
{
    PaintBkColor(dc);
    PaintBkImage(dc);
    // The track follows the thumb's state: it is pushed while the thumb is dragged.
    PaintPart(dc, m_itemRect, m_thumbState, 0, m_trackImages);
    if (m_button1.shown)
        PaintPart(dc, m_button1.rect, m_button1.state, m_button1.color, m_button1.images);
    if (m_button2.shown)
        PaintPart(dc, m_button2.rect, m_button2.state, m_button2.color, m_button2.images);
    if (HasThumb()) {
        PaintPart(dc, m_thumbRect, m_thumbState, m_thumbColor, m_thumbImages);
        const int thickness = Thickness();
        RECT rail = m_thumbRect;
        if (m_horizontal) {
            rail.left = (m_thumbRect.left + m_thumbRect.right) / 2 - thickness / 2;
            rail.right = rail.left + thickness;
        } else {
            rail.top = (m_thumbRect.top + m_thumbRect.bottom) / 2 - thickness / 2;
            rail.bottom = rail.top + thickness;
        }
        PaintPart(dc, rail, m_thumbState, 0, m_railImages);
    }
    PaintBorder(dc);
    return true;
}

// The colour first, then the image of the part's state, or the normal image where the
// state has none.
void CScrollBarUI::PaintPart(HDC dc, const RECT &part, UINT &state, DWORD color,
                             StateImages &images)
{
    ChangeBits(state, StateDisabled, !IsEnabled());
    RECT fill;
    if (color != 0 && IntersectRect(&fill, &part, &m_paintRect))
        CGdiPainter::DrawColor(dc, fill, HslAdjustedColor(color));
    ImageDescriptor *stateImage = (state & StateDisabled) ? &images.disabled
                                  : (state & StatePushed) ? &images.pushed
                                  : (state & StateHot)    ? &images.hot
                                                          : nullptr;
    if (stateImage != nullptr && DrawPartImage(dc, *stateImage, part))
        return;
    DrawPartImage(dc, images.normal, part);
}

bool CScrollBarUI::DrawPartImage(HDC dc, ImageDescriptor &descriptor, const RECT &part)
{
    if (IsRectEmpty(&part))
        return false;
    return DrawImageAt(dc, descriptor,
                       RECT{part.left - m_itemRect.left, part.top - m_itemRect.top,
                            part.right - m_itemRect.left, part.bottom - m_itemRect.top});
}

} // namespace SkinUI
