#include "ImageLimits.h"

#include <cstring>

namespace SkinUI {

namespace {

bool StartsWith(const uint8_t *data, size_t size, const char *signature, size_t length)
{
    return size >= length && memcmp(data, signature, length) == 0;
}

// The most pixels one byte of the picture's format holds, with room to spare: a BMP keeps
// at least one bit a pixel; a GIF code of at least 9 bits stands for at most 4096 pixels, and
// real pictures stay far below half of that; deflate packs at most 1032 bytes into one, each
// byte holding up to eight pixels of a PNG. JPEG has no such bound, but no picture of a
// skin comes near that of GIF.
long long MostPixelsPerByte(const uint8_t *data, size_t size)
{
    if (StartsWith(data, size, "BM", 2))
        return 16;
    if (StartsWith(data, size, "GIF8", 4) || StartsWith(data, size, "\xFF\xD8", 2))
        return 2048;
    return 16384;
}

} // namespace

bool IsDecodableImageSize(int width, int height, const uint8_t *data, size_t size)
{
    if (width <= 0 || height <= 0 || width > kLargestImageSide || height > kLargestImageSide)
        return false;
    const long long pixels = static_cast<long long>(width) * height;
    return pixels <= kLargestImagePixels &&
           pixels <= static_cast<long long>(size) * MostPixelsPerByte(data, size);
}

} // namespace SkinUI
