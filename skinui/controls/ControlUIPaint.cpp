#include "ControlUI.h"

#include "ClipScope.h"
#include "GdiPainter.h"
#include "WindowManagerUI.h"

// Painting of the control base in its fixed order of steps: background colours or
// gradient, background image, state image, text, border. The base draws the first two and
// the border; subclasses fill the state image and the text.

namespace SkinUI {

namespace {

const DWORD kOpaque = 0xFF000000;

bool IsRounded(const SIZE &round)
{
    return round.cx > 0 || round.cy > 0;
}

} // namespace

bool CControlUI::DoPaint(HDC dc, const RECT &, CControlUI *)
{
    CClipScope roundClip;
    if (IsRounded(m_borderRound))
        CClipScope::MakeRoundRectClip(dc, m_paintRect, m_itemRect, m_borderRound.cx,
                                      m_borderRound.cy, roundClip);
    PaintBkColor(dc);
    PaintBkImage(dc);
    PaintStateImage(dc);
    PaintText(dc);
    PaintBorder(dc);
    return true;
}

void CControlUI::PaintBkColor(HDC dc)
{
    if (m_bkColor1 == 0)
        return;
    const DWORD first = HslAdjustedColor(m_bkColor1);
    if (m_bkColor2 != 0 && m_bkColor3 != 0) {
        const DWORD second = HslAdjustedColor(m_bkColor2);
        const DWORD third = HslAdjustedColor(m_bkColor3);
        const int middle = (m_itemRect.top + m_itemRect.bottom) / 2;
        RECT upper = m_itemRect;
        upper.bottom = middle;
        RECT lower = m_itemRect;
        lower.top = middle;
        CGdiPainter::DrawGradient(dc, upper, first, second, true, 8);
        CGdiPainter::DrawGradient(dc, lower, second, third, true, 8);
    } else if (m_bkColor2 != 0) {
        CGdiPainter::DrawGradient(dc, m_itemRect, first, HslAdjustedColor(m_bkColor2), true, 16);
    } else {
        // A translucent colour covers the whole item, so that repainting a part of it
        // blends the same way as painting all of it.
        CGdiPainter::DrawColor(dc, first >= kOpaque ? m_paintRect : m_itemRect, first);
    }
}

DWORD CControlUI::HslAdjustedColor(DWORD color) const
{
    short hue = 180;
    short saturation = 100;
    short lightness = 100;
    if (!m_colorHsl)
        return color;
    CWindowManagerUI::GetHsl(&hue, &saturation, &lightness);
    return CGdiPainter::AdjustColor(color, hue, saturation, lightness);
}

bool CControlUI::DrawImage(HDC dc, ImageDescriptor &descriptor)
{
    return CGdiPainter::DrawImageDescriptor(dc, m_manager, m_itemRect, m_paintRect, descriptor);
}

bool CControlUI::DrawImageAt(HDC dc, ImageDescriptor &descriptor, const RECT &destination)
{
    // Parsed first, so that the descriptor's own "dest" cannot replace this one.
    if (!DrawImage(nullptr, descriptor))
        return false;
    descriptor.destination = destination;
    return DrawImage(dc, descriptor);
}

void CControlUI::PaintBkImage(HDC dc)
{
    CGdiPainter::DrawImageDescriptor(dc, m_manager, m_itemRect, m_paintRect, m_bkImage);
}

void CControlUI::PaintStateImage(HDC) {}

void CControlUI::PaintText(HDC) {}

void CControlUI::PaintBorder(HDC dc)
{
    const RECT &size = m_borderSize;
    if (size.left <= 0 && size.top <= 0 && size.right <= 0 && size.bottom <= 0)
        return;
    if (m_borderColor == 0 && m_focusBorderColor == 0)
        return;
    const DWORD color = HslAdjustedColor(IsFocused() && m_focusBorderColor != 0 ? m_focusBorderColor
                                                                                : m_borderColor);
    const RECT &item = m_itemRect;
    if (IsRounded(m_borderRound)) {
        CGdiPainter::DrawRoundRect(dc, item, size.left, m_borderRound.cx, m_borderRound.cy, color,
                                   m_borderStyle);
    } else if (size.left == size.top && size.left == size.right && size.left == size.bottom) {
        CGdiPainter::DrawRect(dc, item, size.left, color, m_borderStyle);
    } else {
        if (size.left > 0)
            CGdiPainter::DrawLine(dc, RECT{item.left, item.top, item.left, item.bottom}, size.left,
                                  color, m_borderStyle);
        if (size.top > 0)
            CGdiPainter::DrawLine(dc, RECT{item.left, item.top, item.right, item.top}, size.top,
                                  color, m_borderStyle);
        if (size.right > 0)
            CGdiPainter::DrawLine(
                dc, RECT{item.right - size.right, item.top, item.right - size.right, item.bottom},
                size.right, color, m_borderStyle);
        if (size.bottom > 0)
            CGdiPainter::DrawLine(
                dc,
                RECT{item.left, item.bottom - size.bottom, item.right, item.bottom - size.bottom},
                size.bottom, color, m_borderStyle);
    }
}

} // namespace SkinUI
