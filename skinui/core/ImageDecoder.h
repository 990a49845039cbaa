#pragma once

#include "ImageEntry.h"

#include <cstddef>
#include <cstdint>

namespace SkinUI {

// Turns encoded image bytes (anything stb_image decodes) or plain RGBA pixels into an
// ImageEntry: a top-down 32-bit DIB section with premultiplied colour.
class ImageDecoder
{
public:
    // Null when the bytes are not an image stb_image can decode.
    static ImageEntry *Decode(const uint8_t *data, size_t size, uint32_t mask);
    // Pixels in R, G, B, A byte order, straight (not premultiplied) alpha. A pixel that
    // comes out as the mask colour (0xAARRGGBB) becomes fully transparent.
    static ImageEntry *FromRgba(const uint8_t *rgba, int width, int height, uint32_t mask);
    // A 1x1 image of one ARGB colour.
    static ImageEntry *SolidColor(uint32_t argb);
};

} // namespace SkinUI
