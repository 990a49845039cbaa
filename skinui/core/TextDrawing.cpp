#include "GdiPainter.h"

#include "ColorRef.h"
#include "WindowManagerUI.h"

namespace SkinUI {

namespace {

// A wrapped line of no width holds nothing, and ends the text at once: the platform's routine
// would give every word a line of its own.
bool HoldsNothing(const RECT &area, UINT format)
{
    return (format & DT_WORDBREAK) != 0 && (format & DT_SINGLELINE) == 0 && area.right <= area.left;
}

// What measuring such a text gives: the one line that held nothing.
void MeasureEmptyLine(HDC dc, RECT &area, UINT format)
{
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    area.right = area.left;
    area.bottom = area.top + metrics.tmHeight +
                  ((format & DT_EXTERNALLEADING) != 0 ? metrics.tmExternalLeading : 0);
}

void DrawTextIn(HDC dc, CWindowManagerUI *manager, RECT &area, const wchar_t *text, uint32_t color,
                int font, UINT format)
{
    CWideString replaced(text);
    CWindowManagerUI::ReplaceLanguageTokens(replaced);
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColor = SetTextColor(dc, ToColorRef(color));
    HGDIOBJ previousFont = SelectObject(dc, manager->GetFont(font));
    if (replaced.IsEmpty() || !HoldsNothing(area, format))
        ::DrawTextW(dc, replaced.GetData(), -1, &area, format | DT_NOPREFIX);
    else if ((format & DT_CALCRECT) != 0)
        MeasureEmptyLine(dc, area, format);
    SelectObject(dc, previousFont);
    SetTextColor(dc, previousColor);
    SetBkMode(dc, previousMode);
}

} // namespace

void CGdiPainter::DrawText(HDC dc, CWindowManagerUI *manager, const RECT &rect, const wchar_t *text,
                           uint32_t color, int font, UINT format)
{
    if (dc == nullptr || manager == nullptr || text == nullptr)
        return;
    RECT area = rect;
    DrawTextIn(dc, manager, area, text, color, font, format);
}

RECT CGdiPainter::CalcTextRect(HDC dc, CWindowManagerUI *manager, const RECT &rect,
                               const wchar_t *text, int font, UINT format)
{
    RECT area = rect;
    if (dc == nullptr || manager == nullptr || text == nullptr)
        return area;
    DrawTextIn(dc, manager, area, text, 0, font, format | DT_CALCRECT);
    return area;
}

CExtent CGdiPainter::GetTextSize(HDC dc, CWindowManagerUI *manager, const wchar_t *text, int font,
                                 UINT)
{
    if (dc == nullptr || manager == nullptr || text == nullptr)
        return CExtent();
    CWideString replaced(text);
    CWindowManagerUI::ReplaceLanguageTokens(replaced);
    HGDIOBJ previousFont = SelectObject(dc, manager->GetFont(font));
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, replaced.GetData(), replaced.GetLength(), &size);
    SelectObject(dc, previousFont);
    return CExtent(size.cx, size.cy);
}

} // namespace SkinUI
