#pragma once

#include "ListInterfaces.h"

#include <windows.h>

namespace SkinUI {

class CControlUI;
class CWindowManagerUI;
struct ImageDescriptor;

// What every list element keeps and does alike, whether it is a plain control or a
// container: its place among the owner's items, the selected and hot states, the element
// event rules, the background and text colour from the owner's style, and the repaint of
// the part of it that can be seen.
struct ListItemCore
{
    int index = -1;
    int drawIndex = 0;
    bool selected = false;
    UINT buttonState = 0; // hot bit only
    IListOwnerUI *owner = nullptr;

    ListItemStyle *Style() const { return owner != nullptr ? owner->GetItemStyle() : nullptr; }
    // The owner interface of a control; null for null or for a control that is no owner.
    static IListOwnerUI *OwnerOf(CControlUI *control);

    // Selecting an unselected item asks the owner to make it its selection.
    bool Select(CControlUI &self, bool select, bool takeFocus);
    // A hidden item gives up its selection, and so the owner's.
    void ForgetSelectionIfHidden(CControlUI &self);
    // The hot state, clicks, double clicks and Return; true when the event ends here,
    // false when it goes on to the owner.
    bool HandleEvent(CControlUI &self, IListItemUI &item, ControlEvent &event);

    void PaintBackground(CControlUI &self, HDC dc, ImageDescriptor &ownBkImage);
    DWORD TextColor(const CControlUI &self, const ListItemStyle &style) const;

    // Text in the style's font and format, through the markup painter when the style shows
    // html; links are collected into the given slots (linkCount: their number in, the links
    // written out), none without slots.
    static void DrawStyledText(HDC dc, CWindowManagerUI *manager, RECT rect, const wchar_t *text,
                               DWORD color, const ListItemStyle &style, RECT *links = nullptr,
                               CWideString *linkNames = nullptr, int *linkCount = nullptr);
    // The rectangle the text takes when laid out in rect, horizontal alignment left out.
    static RECT MeasureStyledText(CWindowManagerUI *manager, RECT rect, const wchar_t *text,
                                  const ListItemStyle &style);

    // Invalidates only what shows of the item: its rectangle within the parent's client
    // area and every ancestor.
    static void InvalidateVisiblePart(CControlUI &self);
};

} // namespace SkinUI
