#pragma once

#include "ImageDescriptor.h"

#include <windows.h>

namespace SkinUI {

// The drawing settings that a list or a combo box holds once and all its items read when
// they measure and paint themselves, so that an owner attribute restyles every item at once.
// Colours are 0xAARRGGBB; an alpha of 0 means no colour.
struct ListItemStyle
{
    static const int kMaxColumns = 64;

    int columnCount = 0;
    // Window coordinates of the header items, copied by the list's layout and scrolling.
    RECT columns[kMaxColumns] = {};
    int itemHeight = 0; // 0: items measure their own height
    int font = -1;      // -1: the manager's default font
    UINT textStyle = DT_VCENTER | DT_SINGLELINE;
    RECT textPadding = {0, 0, 0, 0};
    DWORD textColor = 0xFF000000;
    DWORD bkColor = 0;
    ImageDescriptor bkImage;
    // Items with an odd draw index get neither the background colour nor the image.
    bool alternateBk = false;
    DWORD selectedTextColor = 0xFF000000;
    DWORD selectedBkColor = 0xFFC1E3FF;
    ImageDescriptor selectedImage;
    DWORD hotTextColor = 0xFF000000;
    DWORD hotBkColor = 0xFFE9F5FF;
    ImageDescriptor hotImage;
    DWORD disabledTextColor = 0xFFCCCCCC;
    DWORD disabledBkColor = 0xFFFFFFFF;
    ImageDescriptor disabledImage;
    int hLineSize = 0;
    DWORD hLineColor = 0xFF3C3C3C;
    int vLineSize = 0;
    DWORD vLineColor = 0xFF3C3C3C;
    bool showHtml = false;
    bool multiExpanding = false;
};

// What setting an item-style attribute asks of its owner.
enum class ItemStyleChange
{
    NotStyle, // not an item-style attribute
    Stored,   // nothing to do
    Look,     // the items look different: repaint
    Layout,   // the items measure differently: lay out again
};

// Reads one "item..." attribute into the style. The list takes every one; a combo box
// leaves out the vertical alignment, the ellipsis, the multi-line switch and
// "multiexpanding", which are list attributes only.
ItemStyleChange SetItemStyleAttribute(ListItemStyle &style, const wchar_t *name,
                                      const wchar_t *value, bool listAttributes);

} // namespace SkinUI
