#include "ListHeaderItemUI.h"

#include "ControlState.h"
#include "GdiPainter.h"
#include "TextStyleWords.h"
#include "ValueText.h"
#include "WindowManagerUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t *const CListHeaderItemUI::kClassName = L"ListHeaderItem";

namespace {

using ValueText::Is;

} // namespace

CListHeaderItemUI::CListHeaderItemUI()
    : m_lastMousePoint{0, 0}, m_dragable(true), m_buttonState(0), m_sepWidth(4), m_textColor(0),
      m_sepColor(0), m_font(-1), m_textStyle(DT_CENTER | DT_VCENTER | DT_SINGLELINE),
      m_showHtml(false), m_textPadding{2, 0, 2, 0}
{
    SetMinWidth(kDefaultMinWidth);
}

const wchar_t *CListHeaderItemUI::GetClass() const
{
    return kClassName;
}

void *CListHeaderItemUI::GetInterface(const wchar_t *name)
{
    if (name != nullptr && wcscmp(name, kClassName) == 0)
        return this;
    return CControlUI::GetInterface(name);
}

UINT CListHeaderItemUI::GetBehaviorFlags() const
{
    return IsEnabled() && m_sepWidth != 0 ? static_cast<UINT>(BehaviorSetCursor) : 0u;
}

void CListHeaderItemUI::SetEnabled(bool enabled)
{
    CControlUI::SetEnabled(enabled);
    if (!IsEnabled())
        m_buttonState = 0;
}

void CListHeaderItemUI::SetDragable(bool dragable)
{
    m_dragable = dragable;
    if (!dragable)
        m_buttonState &= ~StateCaptured;
}

bool CListHeaderItemUI::IsDragging() const
{
    return (m_buttonState & StateCaptured) != 0;
}

RECT CListHeaderItemUI::GetThumbRect() const
{
    if (m_sepWidth >= 0)
        return RECT{m_itemRect.right - m_sepWidth, m_itemRect.top, m_itemRect.right,
                    m_itemRect.bottom};
    return RECT{m_itemRect.left, m_itemRect.top, m_itemRect.left - m_sepWidth, m_itemRect.bottom};
}

// The new width is laid out by the list, which copies the header's columns to its items.
void CListHeaderItemUI::AskForLayout()
{
    if (m_parent != nullptr)
        m_parent->MarkParentNeedsLayout();
}

void CListHeaderItemUI::HandleButtonDown(const POINT &point)
{
    const RECT thumb = GetThumbRect();
    if (PtInRect(&thumb, point)) {
        if (m_dragable) {
            m_buttonState |= StateCaptured;
            m_lastMousePoint = point;
        }
        return;
    }
    m_buttonState |= StatePushed;
    if (m_manager != nullptr)
        m_manager->SendNotify(this, L"headerclick");
    Invalidate();
}

void CListHeaderItemUI::HandleButtonUp()
{
    if (IsDragging()) {
        m_buttonState &= ~StateCaptured;
        AskForLayout();
    } else if (m_buttonState & StatePushed) {
        m_buttonState &= ~StatePushed;
        Invalidate();
    }
}

// The width grows with the mouse towards the separator's side; a width at or below the
// minimum is refused and the anchor stays where it was. Several moves may come before the
// next layout, so the width they change is the one the last move fixed.
void CListHeaderItemUI::Drag(const POINT &point)
{
    const int dx = point.x - m_lastMousePoint.x;
    const int current = m_fixedSize.cx > 0 ? m_fixedSize.cx : GetWidth();
    const int width = m_sepWidth >= 0 ? current + dx : current - dx;
    if (GetMinWidth() >= width)
        return;
    m_fixedSize.cx = width;
    m_lastMousePoint = point;
    AskForLayout();
}

void CListHeaderItemUI::DoEvent(ControlEvent &event)
{
    if (PassOnMouseWhenDisabled(event))
        return;
    switch (event.type) {
    case EventSetFocus:
    case EventKillFocus:
        Invalidate();
        break;
    case EventMouseMove:
        if (IsDragging())
            Drag(event.mousePoint);
        return;
    case EventButtonDown:
    case EventDoubleClick:
        if (IsEnabled())
            HandleButtonDown(event.mousePoint);
        return;
    case EventButtonUp:
        HandleButtonUp();
        return;
    case EventSetCursor: {
        const RECT thumb = GetThumbRect();
        if (IsEnabled() && m_dragable && PtInRect(&thumb, event.mousePoint)) {
            ::SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
            return;
        }
        break;
    }
    case EventMouseEnter:
    case EventMouseLeave:
        if (TrackHotState(event, m_buttonState))
            return;
        break;
    default:
        break;
    }
    CControlUI::DoEvent(event);
}

void CListHeaderItemUI::SetAttribute(const wchar_t *name, const wchar_t *value)
{
    if (name == nullptr || value == nullptr)
        return;
    if (Is(name, L"dragable")) {
        SetDragable(ValueText::IsTrue(value));
    } else if (Is(name, L"align")) {
        TextStyleWords::ApplyHorizontal(m_textStyle, value);
    } else if (Is(name, L"valign")) {
        TextStyleWords::ApplyVertical(m_textStyle, value);
    } else if (Is(name, L"endellipsis")) {
        TextStyleWords::ApplyEndEllipsis(m_textStyle, ValueText::IsTrue(value));
    } else if (Is(name, L"multiline")) {
        TextStyleWords::ApplyMultiLine(m_textStyle, ValueText::IsTrue(value));
    } else if (Is(name, L"font")) {
        m_font = ValueText::ReadInteger(value);
    } else if (Is(name, L"textcolor")) {
        m_textColor = ValueText::ReadHexColor(value);
        Invalidate();
    } else if (Is(name, L"textpadding")) {
        int numbers[4];
        ValueText::ReadIntegerList(value, numbers, 4);
        m_textPadding = RECT{numbers[0], numbers[1], numbers[2], numbers[3]};
        Invalidate();
    } else if (Is(name, L"showhtml")) {
        const bool showHtml = ValueText::IsTrue(value);
        if (showHtml != m_showHtml) {
            m_showHtml = showHtml;
            Invalidate();
        }
    } else if (Is(name, L"normalimage")) {
        SetImageText(m_normalImage, value);
    } else if (Is(name, L"hotimage")) {
        SetImageText(m_hotImage, value);
    } else if (Is(name, L"pushedimage")) {
        SetImageText(m_pushedImage, value);
    } else if (Is(name, L"focusedimage")) {
        SetImageText(m_focusedImage, value);
    } else if (Is(name, L"sepwidth")) {
        SetSepWidth(ValueText::ReadInteger(value));
    } else if (Is(name, L"sepcolor")) {
        m_sepColor = ValueText::ReadHexColor(value);
        Invalidate();
    } else if (Is(name, L"sepimage")) {
        SetImageText(m_sepImage, value);
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

SIZE CListHeaderItemUI::GetDesiredSize(SIZE available)
{
    if (m_fixedSize.cy != 0 || m_manager == nullptr)
        return CControlUI::GetDesiredSize(available);
    return SIZE{m_fixedSize.cx, m_manager->GetDefaultFontInfo()->metrics.tmHeight + 8};
}

void CListHeaderItemUI::PaintStateImage(HDC dc)
{
    if (IsFocused())
        m_buttonState |= StateFocused;
    else
        m_buttonState &= ~StateFocused;
    ImageDescriptor *state = nullptr;
    if (m_buttonState & StatePushed)
        state = &m_pushedImage;
    else if (m_buttonState & StateHot)
        state = &m_hotImage;
    else if (m_buttonState & StateFocused)
        state = &m_focusedImage;
    if (state == nullptr || !DrawImage(dc, *state))
        DrawImage(dc, m_normalImage);
    if (m_sepWidth <= 0)
        return;
    const RECT thumb = GetThumbRect();
    const RECT relative = {thumb.left - m_itemRect.left, thumb.top - m_itemRect.top,
                           thumb.right - m_itemRect.left, thumb.bottom - m_itemRect.top};
    if (DrawImageAt(dc, m_sepImage, relative) || m_sepColor == 0)
        return;
    const int x = (thumb.left + thumb.right) / 2;
    CGdiPainter::DrawLine(dc, RECT{x, thumb.top, x, thumb.bottom}, m_sepWidth,
                          HslAdjustedColor(m_sepColor));
}

void CListHeaderItemUI::PaintText(HDC dc)
{
    if (m_manager == nullptr)
        return;
    if (m_textColor == 0)
        m_textColor = m_manager->GetDefaultFontColor();
    if (m_text.IsEmpty())
        return;
    RECT rect = {m_itemRect.left + m_textPadding.left, m_itemRect.top + m_textPadding.top,
                 m_itemRect.right - m_textPadding.right, m_itemRect.bottom - m_textPadding.bottom};
    if (m_showHtml) {
        int noLinks = 0;
        CGdiPainter::DrawHtmlText(dc, m_manager, rect, m_text.GetData(), m_textColor, nullptr,
                                  nullptr, noLinks, m_font, m_textStyle);
    } else {
        CGdiPainter::DrawText(dc, m_manager, rect, m_text.GetData(), m_textColor, m_font,
                              m_textStyle);
    }
}

} // namespace SkinUI
