#pragma once

#include "WideString.h"

#include <windows.h>

namespace SkinUI {

struct ImageEntry;

// The image reference held by every image property of a control: the descriptor text as
// the skin writes it and what parsing it gave. The image entry belongs to a manager's image
// map, never to the descriptor.
struct ImageDescriptor
{
    ImageDescriptor() { Clear(); }

    void Clear()
    {
        text.Empty();
        imageName.Empty();
        parsed = false;
        image = nullptr;
        destination = RECT{0, 0, 0, 0};
        source = RECT{0, 0, 0, 0};
        corner = RECT{0, 0, 0, 0};
        fade = 255;
        hole = false;
        xTiled = false;
        yTiled = false;
    }

    // Takes a new descriptor text; the same text again while its image is loaded keeps the
    // image. False when nothing changed.
    bool SetText(const wchar_t *newText)
    {
        if (image != nullptr && text == newText)
            return false;
        Clear();
        text = newText;
        return true;
    }

    CWideString text;
    CWideString imageName;
    bool parsed;       // parsing and loading were tried
    ImageEntry *image; // not owned
    RECT destination;  // relative to the item's top-left corner; all 0: the whole item
    RECT source;       // all 0: the whole image
    RECT corner;       // left, top, right, bottom widths kept unscaled
    BYTE fade;
    bool hole;
    bool xTiled;
    bool yTiled;
};

} // namespace SkinUI
