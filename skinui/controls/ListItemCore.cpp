#include "ListItemCore.h"

#include "ControlState.h"
#include "ControlUI.h"
#include "GdiPainter.h"
#include "WindowManagerUI.h"

namespace SkinUI {

IListOwnerUI *ListItemCore::OwnerOf(CControlUI *control)
{
    return control != nullptr ? static_cast<IListOwnerUI *>(control->GetInterface(L"IListOwner"))
                              : nullptr;
}

bool ListItemCore::Select(CControlUI &self, bool select, bool takeFocus)
{
    if (!self.IsEnabled())
        return false;
    if (selected == select)
        return true;
    selected = select;
    // The owner sets its selection before it tells the item, so it answers at once then.
    if (select && owner != nullptr)
        owner->SelectItem(index, takeFocus, true);
    InvalidateVisiblePart(self);
    return true;
}

void ListItemCore::ForgetSelectionIfHidden(CControlUI &self)
{
    if (self.IsVisible() || !selected)
        return;
    selected = false;
    if (owner != nullptr)
        owner->SelectItem(-1, false, true);
}

bool ListItemCore::HandleEvent(CControlUI &self, IListItemUI &item, ControlEvent &event)
{
    CWindowManagerUI *manager = self.GetManager();
    const bool inside = PtInRect(&self.GetPos(), event.mousePoint) != FALSE;
    switch (event.type) {
    case EventMouseEnter:
        if (inside && self.IsEnabled()) {
            buttonState |= StateHot;
            InvalidateVisiblePart(self);
        }
        return false;
    case EventButtonDown:
    case EventRightButtonDown:
        if (self.IsEnabled()) {
            if (manager != nullptr)
                manager->SendNotify(&self, L"itemclick");
            item.Select(true, true);
            InvalidateVisiblePart(self);
        }
        return true;
    case EventMouseMove:
    case EventButtonUp:
        return true;
    case EventMouseLeave:
        if (inside) {
            // Over a part of the item: the real leave comes later.
            if (manager != nullptr)
                manager->AddMouseLeaveListener(&self);
            return true;
        }
        if (self.IsEnabled()) {
            buttonState &= ~StateHot;
            InvalidateVisiblePart(self);
        }
        if (manager != nullptr)
            manager->RemoveMouseLeaveListener(&self);
        return false;
    case EventDoubleClick:
        if (!self.IsEnabled())
            return false;
        self.Activate();
        InvalidateVisiblePart(self);
        return true;
    case EventKeyDown:
        if (event.key != VK_RETURN || !self.IsKeyboardEnabled() || !self.IsEnabled())
            return false;
        self.Activate();
        InvalidateVisiblePart(self);
        return true;
    default:
        return false;
    }
}

// The colour by state, later states winning; the first image that draws ends the images.
void ListItemCore::PaintBackground(CControlUI &self, HDC dc, ImageDescriptor &ownBkImage)
{
    ListItemStyle *style = Style();
    if (style == nullptr)
        return;
    const bool bare = style->alternateBk && drawIndex % 2 == 1;
    const bool hot = (buttonState & StateHot) != 0;
    DWORD color = bare ? 0 : style->bkColor;
    if (hot)
        color = style->hotBkColor;
    if (selected)
        color = style->selectedBkColor;
    if (!self.IsEnabled())
        color = style->disabledBkColor;
    if ((color & 0xFF000000) != 0)
        CGdiPainter::DrawColor(dc, self.GetPos(), self.HslAdjustedColor(color));

    if (!self.IsEnabled() && self.DrawImage(dc, style->disabledImage))
        return;
    if (selected && self.DrawImage(dc, style->selectedImage))
        return;
    if (hot && self.DrawImage(dc, style->hotImage))
        return;
    if (self.DrawImage(dc, ownBkImage))
        return;
    if (!bare)
        self.DrawImage(dc, style->bkImage);
}

DWORD ListItemCore::TextColor(const CControlUI &self, const ListItemStyle &style) const
{
    DWORD color = style.textColor;
    if (buttonState & StateHot)
        color = style.hotTextColor;
    if (selected)
        color = style.selectedTextColor;
    if (!self.IsEnabled())
        color = style.disabledTextColor;
    return color;
}

void ListItemCore::DrawStyledText(HDC dc, CWindowManagerUI *manager, RECT rect, const wchar_t *text,
                                  DWORD color, const ListItemStyle &style, RECT *links,
                                  CWideString *linkNames, int *linkCount)
{
    if (!style.showHtml) {
        CGdiPainter::DrawText(dc, manager, rect, text, color, style.font, style.textStyle);
        return;
    }
    int noLinks = 0;
    CGdiPainter::DrawHtmlText(dc, manager, rect, text, color, links, linkNames,
                              linkCount != nullptr ? *linkCount : noLinks, style.font,
                              style.textStyle);
}

RECT ListItemCore::MeasureStyledText(CWindowManagerUI *manager, RECT rect, const wchar_t *text,
                                     const ListItemStyle &style)
{
    const UINT format = style.textStyle & ~(DT_CENTER | DT_RIGHT);
    HDC dc = manager->GetPaintDC();
    if (!style.showHtml)
        return CGdiPainter::CalcTextRect(dc, manager, rect, text, style.font, format);
    int noLinks = 0;
    CGdiPainter::DrawHtmlText(dc, manager, rect, text, 0, nullptr, nullptr, noLinks, style.font,
                              format | DT_CALCRECT);
    return rect;
}

void ListItemCore::InvalidateVisiblePart(CControlUI &self)
{
    CControlUI *parent = self.GetParent();
    if (parent == nullptr || parent->GetInterface(L"Container") == nullptr) {
        self.Invalidate();
        return;
    }
    RECT area = self.GetPos();
    const RECT client = parent->GetClientPos();
    if (!IntersectRect(&area, &area, &client))
        return;
    for (CControlUI *ancestor = parent; ancestor != nullptr; ancestor = ancestor->GetParent())
        if (!IntersectRect(&area, &area, &ancestor->GetPos()))
            return;
    if (self.GetManager() != nullptr)
        self.GetManager()->Invalidate(area);
}

} // namespace SkinUI
