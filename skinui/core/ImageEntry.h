#pragma once

#include "WideString.h"

#include <windows.h>

#include <cstdint>

namespace SkinUI {

// One loaded image: a 32-bit top-down DIB section whose pixels (B, G, R, A bytes; read as
// uint32 a pixel is 0xAARRGGBB) carry colour premultiplied by alpha, ready for AlphaBlend.
// The window manager's image maps own these records and free them with
// CGdiPainter::FreeImage.
struct ImageEntry
{
    HBITMAP bitmap = nullptr;
    uint8_t *bits = nullptr;      // the DIB's pixels, owned by the bitmap
    uint8_t *savedBits = nullptr; // owned copy for HSL recolouring, null unless keepsCopy
    int width = 0;
    int height = 0;
    bool hasAlpha = false; // some pixel is not fully opaque or matched the mask
    bool keepsCopy = false;
    CWideString resourceType; // empty for files
    uint32_t mask = 0;        // ARGB colour made transparent while loading, 0 = none

    // Copies the current pixels into savedBits so that the HSL adjustment can recolour the
    // image from its original colours; false when the copy cannot be made.
    bool KeepPixelCopy();
};

} // namespace SkinUI
