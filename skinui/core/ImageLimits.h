#pragma once

namespace SkinUI {

// The largest picture the framework decodes. Pictures have no size limit of their own, but a
// few damaged bytes can declare one of gigabytes that takes minutes to fill; no skin needs
// one beyond these.
const int kLargestImageSide = 16384;
const long long kLargestImagePixels = 64LL * 1024 * 1024;

inline bool IsDecodableImageSize(int width, int height)
{
    return width > 0 && height > 0 && width <= kLargestImageSide && height <= kLargestImageSide &&
           static_cast<long long>(width) * height <= kLargestImagePixels;
}

} // namespace SkinUI
