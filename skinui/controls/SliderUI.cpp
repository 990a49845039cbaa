#include "SliderUI.h"

#include "ValueText.h"
#include "WindowManagerUI.h"

#include <climits>
#include <cwchar>

namespace SkinUI {

const wchar_t *const CSliderUI::kClassName = L"Slider";

namespace {

using ValueText::Is;

int Saturated(long long value)
{
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

// A track shorter than the thumb counts as one pixel long.
long long TrackLength(long long length)
{
    return length > 0 ? length : 1;
}

} // namespace

CSliderUI::CSliderUI()
    : m_thumbWidth(10), m_thumbHeight(10), m_sliderState(0), m_step(1), m_immediate(false)
{
    m_textStyle = DT_CENTER | DT_SINGLELINE;
}

const wchar_t *CSliderUI::GetClass() const
{
    return kClassName;
}

void *CSliderUI::GetInterface(const wchar_t *name)
{
    if (name && wcscmp(name, kClassName) == 0)
        return this;
    return CProgressUI::GetInterface(name);
}

UINT CSliderUI::GetBehaviorFlags() const
{
    return IsEnabled() ? UINT{BehaviorTabStop | BehaviorSetCursor} : 0u;
}

void CSliderUI::SetEnabled(bool enabled)
{
    CControlUI::SetEnabled(enabled);
    if (!IsEnabled())
        m_sliderState = 0;
}

// Geometry runs in 64 bits and takes an empty range as one unit (Range), as the cursor
// may ask for the thumb before the first paint has repaired the range.
RECT CSliderUI::GetThumbRect() const
{
    const RECT &item = m_itemRect;
    const long long offset = static_cast<long long>(m_value) - m_min;
    if (m_horizontal) {
        const long long track = static_cast<long long>(item.right) - item.left - m_thumbWidth;
        const LONG x = static_cast<LONG>(item.left + offset * track / Range());
        const LONG y = (item.bottom + item.top - m_thumbHeight) / 2;
        return RECT{x, y, x + m_thumbWidth, y + m_thumbHeight};
    }
    const long long track = static_cast<long long>(item.bottom) - item.top - m_thumbHeight;
    const LONG x = (item.right + item.left - m_thumbWidth) / 2;
    const LONG bottom = static_cast<LONG>(item.bottom - track * offset / Range());
    return RECT{x, bottom - m_thumbHeight, x + m_thumbWidth, bottom};
}

int CSliderUI::ValueAtPoint(POINT point) const
{
    const RECT &item = m_itemRect;
    if (m_horizontal) {
        const int halfThumb = m_thumbWidth / 2;
        if (point.x >= item.right - halfThumb)
            return m_max;
        if (point.x <= item.left + halfThumb)
            return m_min;
        const long long track =
            TrackLength(static_cast<long long>(item.right) - item.left - m_thumbWidth);
        return Saturated(m_min + Range() * (point.x - halfThumb - item.left) / track);
    }
    const int halfThumb = m_thumbHeight / 2;
    if (point.y >= item.bottom - halfThumb)
        return m_min;
    if (point.y <= item.top + halfThumb)
        return m_max;
    const long long track =
        TrackLength(static_cast<long long>(item.bottom) - item.top - m_thumbHeight);
    return Saturated(m_min +
                     (static_cast<long long>(item.bottom) - halfThumb - point.y) * Range() / track);
}

void CSliderUI::SetHot(bool hot)
{
    const UINT state = hot ? m_sliderState | StateHot : m_sliderState & ~StateHot;
    if (state == m_sliderState)
        return;
    m_sliderState = state;
    Invalidate();
}

void CSliderUI::SendValueChanged()
{
    if (m_manager)
        m_manager->SendNotify(this, L"valuechanged");
}

void CSliderUI::DoEvent(ControlEvent &event)
{
    if (PassOnMouseWhenDisabled(event))
        return;
    const bool captured = (m_sliderState & StateCaptured) != 0;
    const bool inside = PtInRect(&m_itemRect, event.mousePoint) != FALSE;
    switch (event.type) {
    case EventButtonDown:
    case EventDoubleClick:
        if (!IsEnabled())
            break;
        m_sliderState |= StateCaptured;
        {
            const int value = ValueAtPoint(event.mousePoint);
            if (value != m_value && value >= m_min && value <= m_max) {
                m_value = value;
                Invalidate();
            }
        }
        return;
    case EventButtonUp:
        // A release the slider did not capture is not its own: the control rules pass it on.
        if (!captured)
            break;
        m_value = ValueAtPoint(event.mousePoint);
        m_sliderState &= ~StateCaptured;
        Invalidate();
        SendValueChanged();
        return;
    case EventContextMenu:
        return;
    case EventScrollWheel:
        if (event.wParam == 0 || event.wParam == 1) {
            const long long step = event.wParam == 0 ? m_step : -static_cast<long long>(m_step);
            SetValue(Saturated(m_value + step));
            SendValueChanged();
            return;
        }
        break;
    case EventMouseMove:
        if (captured) {
            m_value = ValueAtPoint(event.mousePoint);
            if (m_immediate)
                SendValueChanged();
            Invalidate();
        }
        return;
    case EventSetCursor: {
        const RECT thumb = GetThumbRect();
        if (IsEnabled() && PtInRect(&thumb, event.mousePoint)) {
            ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return;
        }
        break;
    }
    case EventMouseEnter:
        if (inside && IsEnabled())
            SetHot(true);
        break;
    case EventMouseLeave:
        if (inside) {
            if (m_manager)
                m_manager->AddMouseLeaveListener(this);
            return;
        }
        if (IsEnabled())
            SetHot(false);
        if (m_manager)
            m_manager->RemoveMouseLeaveListener(this);
        break;
    default:
        break;
    }
    CControlUI::DoEvent(event);
}

void CSliderUI::SetAttribute(const wchar_t *name, const wchar_t *value)
{
    if (name == nullptr || value == nullptr)
        return;
    if (Is(name, L"thumbimage")) {
        SetImageText(m_thumbImage, value);
    } else if (Is(name, L"thumbhotimage")) {
        SetImageText(m_thumbHotImage, value);
    } else if (Is(name, L"thumbpushedimage")) {
        SetImageText(m_thumbPushedImage, value);
    } else if (Is(name, L"thumbsize")) {
        int size[2];
        ValueText::ReadIntegerList(value, size, 2);
        m_thumbWidth = size[0];
        m_thumbHeight = size[1];
    } else if (Is(name, L"step")) {
        m_step = ValueText::ReadInteger(value);
    } else if (Is(name, L"imm")) {
        m_immediate = ValueText::IsTrue(value);
    } else {
        CProgressUI::SetAttribute(name, value);
    }
}

void CSliderUI::PaintStateImage(HDC dc)
{
    CProgressUI::PaintStateImage(dc);
    RECT thumb = GetThumbRect();
    OffsetRect(&thumb, -m_itemRect.left, -m_itemRect.top);
    if ((m_sliderState & StateCaptured) && DrawImageAt(dc, m_thumbPushedImage, thumb))
        return;
    if ((m_sliderState & StateHot) && !(m_sliderState & StateCaptured) &&
        DrawImageAt(dc, m_thumbHotImage, thumb))
        return;
    DrawImageAt(dc, m_thumbImage, thumb);
}

} // namespace SkinUI
