#pragma once

#include "WideString.h"

#include <windows.h>

namespace SkinUI {

// The largest font height in pixels a window makes. GDI takes minutes to measure text in a
// font of tens of thousands of pixels, so a skin or a markup text that asks for more gets
// this; the sign, which tells cell height from character height, stays.
const int kLargestFontSize = 500;

inline int SaneFontSize(int size)
{
    return size > kLargestFontSize    ? kLargestFontSize
           : size < -kLargestFontSize ? -kLargestFontSize
                                      : size;
}

// A font of a window manager, per window or shared. The metrics are measured on first use
// (a height of 0 means not measured yet).
struct FontEntry
{
    HFONT font = nullptr;
    CWideString faceName;
    int size = 0;
    bool bold = false;
    bool underline = false;
    bool italic = false;
    TEXTMETRICW metrics = {};
};

} // namespace SkinUI
