#pragma once

#include "ImageEntry.h"

#include <cstddef>
#include <cstdint>

namespace SkinUI {

// Turns encoded image bytes (PNG, JPEG, BMP or GIF, decoded by stb_image) or plain RGBA
// pixels into an ImageEntry: a top-down 32-bit DIB section with premultiplied colour.
class ImageDecoder
{
public:
    // Null when the bytes are not such a picture, or one larger than the framework decodes.
    static ImageEntry *Decode(const uint8_t *data, size_t size, uint32_t mask);
    // Whether Decode would give an image: the check a picture passes before it goes to a
    // decoder that damaged bytes may crash.
    static bool Decodes(const uint8_t *data, size_t size);
    // Pixels in R, G, B, A byte order, straight (not premultiplied) alpha. A pixel that
    // comes out as the mask colour (0xAARRGGBB) becomes fully transparent.
    static ImageEntry *FromRgba(const uint8_t *rgba, int width, int height, uint32_t mask);
    // A 1x1 image of one ARGB colour.
    static ImageEntry *SolidColor(uint32_t argb);
};

} // namespace SkinUI
