#include "ImageDecoder.h"

#include "GdiObjects.h"
#include "GdiPainter.h"
#include "ImageLimits.h"

#include <stb_image.h>

#include <climits>
#include <memory>
#include <new>

namespace SkinUI {

namespace {

struct StbPixelsDeleter
{
    void operator()(stbi_uc *pixels) const { stbi_image_free(pixels); }
};

HBITMAP CreateTopDownDib(int width, int height, uint8_t **bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    *bits = static_cast<uint8_t *>(pixels);
    return bitmap;
}

using StbPixels = std::unique_ptr<stbi_uc, StbPixelsDeleter>;

// The picture's pixels in R, G, B, A order; null when it does not decode. The size the
// picture declares is checked before anything is decoded.
StbPixels DecodeRgba(const uint8_t *data, size_t size, int &width, int &height)
{
    int channels = 0;
    if (data == nullptr || size == 0 || size > INT_MAX ||
        !stbi_info_from_memory(data, static_cast<int>(size), &width, &height, &channels) ||
        !IsDecodableImageSize(width, height, data, size))
        return nullptr;
    return StbPixels(stbi_load_from_memory(data, static_cast<int>(size), &width, &height, &channels,
                                           STBI_rgb_alpha));
}

} // namespace

ImageEntry *ImageDecoder::Decode(const uint8_t *data, size_t size, uint32_t mask)
{
    int width = 0;
    int height = 0;
    StbPixels rgba = DecodeRgba(data, size, width, height);
    if (rgba == nullptr)
        return nullptr;
    return FromRgba(rgba.get(), width, height, mask);
}

bool ImageDecoder::Decodes(const uint8_t *data, size_t size)
{
    int width = 0;
    int height = 0;
    return DecodeRgba(data, size, width, height) != nullptr;
}

ImageEntry *ImageDecoder::FromRgba(const uint8_t *rgba, int width, int height, uint32_t mask)
{
    if (rgba == nullptr || width <= 0 || height <= 0)
        return nullptr;
    uint8_t *bits = nullptr;
    ScopedGdiObject<HBITMAP> bitmap(CreateTopDownDib(width, height, &bits));
    if (!bitmap || bits == nullptr)
        return nullptr;
    std::unique_ptr<ImageEntry> entry(new (std::nothrow) ImageEntry);
    if (entry == nullptr)
        return nullptr;

    bool hasAlpha = false;
    const size_t pixelCount = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < pixelCount; ++i, rgba += 4) {
        uint8_t *pixel = bits + i * 4;
        const uint32_t alpha = rgba[3];
        if (alpha == 255) {
            pixel[0] = rgba[2];
            pixel[1] = rgba[1];
            pixel[2] = rgba[0];
        } else {
            pixel[0] = static_cast<uint8_t>(rgba[2] * alpha / 255);
            pixel[1] = static_cast<uint8_t>(rgba[1] * alpha / 255);
            pixel[2] = static_cast<uint8_t>(rgba[0] * alpha / 255);
            hasAlpha = true;
        }
        pixel[3] = static_cast<uint8_t>(alpha);
        const uint32_t argb =
            alpha << 24 | uint32_t(pixel[2]) << 16 | uint32_t(pixel[1]) << 8 | pixel[0];
        if (argb == mask) {
            pixel[0] = pixel[1] = pixel[2] = pixel[3] = 0;
            hasAlpha = true;
        }
    }

    entry->bitmap = bitmap.Release();
    entry->bits = bits;
    entry->width = width;
    entry->height = height;
    entry->hasAlpha = hasAlpha;
    return entry.release();
}

ImageEntry *ImageDecoder::SolidColor(uint32_t argb)
{
    const uint8_t rgba[4] = {static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8),
                             static_cast<uint8_t>(argb), static_cast<uint8_t>(argb >> 24)};
    return FromRgba(rgba, 1, 1, 0);
}

void CGdiPainter::FreeImage(ImageEntry *entry, bool deleteRecord)
{
    if (entry == nullptr)
        return;
    if (entry->bitmap != nullptr)
        DeleteObject(entry->bitmap);
    entry->bitmap = nullptr;
    entry->bits = nullptr;
    delete[] entry->savedBits;
    entry->savedBits = nullptr;
    entry->keepsCopy = false;
    if (deleteRecord)
        delete entry;
}

} // namespace SkinUI
