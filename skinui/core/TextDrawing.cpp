#include "GdiPainter.h"

#include "ColorRef.h"
#include "WindowManagerUI.h"

namespace SkinUI {

void CGdiPainter::DrawText(HDC dc, CWindowManagerUI *manager, const RECT &rect, const wchar_t *text,
                           uint32_t color, int font, UINT format)
{
    if (dc == nullptr || manager == nullptr || text == nullptr)
        return;
    CWideString replaced(text);
    CWindowManagerUI::ReplaceLanguageTokens(replaced);
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColor = SetTextColor(dc, ToColorRef(color));
    HGDIOBJ previousFont = SelectObject(dc, manager->GetFont(font));
    RECT area = rect;
    ::DrawTextW(dc, replaced.GetData(), -1, &area, format | DT_NOPREFIX);
    SelectObject(dc, previousFont);
    SetTextColor(dc, previousColor);
    SetBkMode(dc, previousMode);
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
