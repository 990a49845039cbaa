#include "ListLabelElementUI.h"

#include "WindowManagerUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t *const CListLabelElementUI::kClassName = L"ListLabelElement";

namespace {

bool SameRect(const RECT &a, const RECT &b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace

const wchar_t *CListLabelElementUI::GetClass() const
{
    return kClassName;
}

void *CListLabelElementUI::GetInterface(const wchar_t *name)
{
    if (name != nullptr && wcscmp(name, kClassName) == 0)
        return this;
    return CListElementUI::GetInterface(name);
}

void CListLabelElementUI::SetText(const wchar_t *text)
{
    m_needsMeasure = true;
    CControlUI::SetText(text);
}

void CListLabelElementUI::SetFixedWidth(int width)
{
    m_needsMeasure = true;
    CControlUI::SetFixedWidth(width);
}

void CListLabelElementUI::SetFixedHeight(int height)
{
    m_needsMeasure = true;
    CControlUI::SetFixedHeight(height);
}

void CListLabelElementUI::SetOwner(CControlUI *owner)
{
    if (owner == nullptr)
        return;
    m_needsMeasure = true;
    CListElementUI::SetOwner(owner);
}

SIZE CListLabelElementUI::GetDesiredSize(SIZE available)
{
    const ListItemStyle *style = m_core.Style();
    if (style == nullptr)
        return SIZE{0, 0};
    if (m_fixedSize.cx > 0) {
        if (m_fixedSize.cy > 0)
            return m_fixedSize;
        if (style->itemHeight > 0)
            return SIZE{m_fixedSize.cx, style->itemHeight};
    }
    return MeasureDesiredSize(*style, available);
}

SIZE CListLabelElementUI::MeasureDesiredSize(const ListItemStyle &style, SIZE available)
{
    return MeasuredSize(style, available, m_text.GetData(), m_fixedSize.cx, false);
}

bool CListLabelElementUI::IsStale(const ListItemStyle &style, SIZE available) const
{
    const bool multiLine = (style.textStyle & DT_SINGLELINE) == 0;
    return m_needsMeasure ||
           (multiLine &&
            (available.cx != m_lastAvailable.cx || available.cy != m_lastAvailable.cy)) ||
           style.itemHeight != m_measuredItemHeight || style.font != m_measuredFont ||
           style.textStyle != m_measuredTextStyle ||
           !SameRect(style.textPadding, m_measuredTextPadding);
}

SIZE CListLabelElementUI::MeasuredSize(const ListItemStyle &style, SIZE available,
                                       const wchar_t *text, int presetWidth, bool force)
{
    int height = m_fixedSize.cy > 0 ? m_fixedSize.cy : style.itemHeight;
    if (!force && !IsStale(style, available))
        return m_measured;
    // Text is measured on the window's paint DC: without a window, only what is fixed.
    if (m_manager == nullptr)
        return SIZE{presetWidth, height};
    m_needsMeasure = false;
    m_lastAvailable = available;
    m_measuredItemHeight = style.itemHeight;
    m_measuredFont = style.font;
    m_measuredTextStyle = style.textStyle;
    m_measuredTextPadding = style.textPadding;
    ++m_measureCount;

    const RECT &padding = style.textPadding;
    int width = presetWidth;
    if (style.textStyle & DT_SINGLELINE) {
        if (height == 0)
            height = m_manager->GetFontInfo(style.font)->metrics.tmHeight + 8 + padding.top +
                     padding.bottom;
        if (width == 0) {
            const RECT measured =
                ListItemCore::MeasureStyledText(m_manager, RECT{0, 0, 9999, height}, text, style);
            width = measured.right - measured.left + padding.left + padding.right;
        }
    } else {
        if (width == 0)
            width = available.cx;
        const RECT measured = ListItemCore::MeasureStyledText(
            m_manager, RECT{padding.left, 0, width - padding.right, 9999}, text, style);
        height = measured.bottom - measured.top + padding.top + padding.bottom;
    }
    m_measured = SIZE{width, height};
    return m_measured;
}

RECT CListLabelElementUI::TextRect(const RECT &rect, const ListItemStyle &style) const
{
    const RECT &padding = style.textPadding;
    return RECT{rect.left + padding.left, rect.top + padding.top, rect.right - padding.right,
                rect.bottom - padding.bottom};
}

void CListLabelElementUI::DrawItemText(HDC dc, const RECT &rect)
{
    const ListItemStyle *style = m_core.Style();
    if (m_text.IsEmpty() || style == nullptr || m_manager == nullptr)
        return;
    ListItemCore::DrawStyledText(dc, m_manager, TextRect(rect, *style), m_text.GetData(),
                                 m_core.TextColor(*this, *style), *style);
}

} // namespace SkinUI
