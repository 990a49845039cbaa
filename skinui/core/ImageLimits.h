#pragma once

#include <cstddef>
#include <cstdint>

namespace SkinUI {

// The largest picture the framework decodes. Pictures have no size limit of their own, but
// a few damaged bytes can declare a picture of gigabytes, which the decoder spends minutes
// filling; no skin needs one beyond these.
const int kLargestImageSide = 16384;
const long long kLargestImagePixels = 64LL * 1024 * 1024;

// Whether a picture of the declared size is decoded from data of that many bytes: within
// the largest size, and within the pixels its data can hold. The decoder's work grows with
// the declared size, not with the data, so a damaged file of a few hundred bytes must not
// declare millions of pixels.
bool IsDecodableImageSize(int width, int height, const uint8_t *data, size_t size);

} // namespace SkinUI
