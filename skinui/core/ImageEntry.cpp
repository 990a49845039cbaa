#include "ImageEntry.h"

#include <cstring>
#include <new>

namespace SkinUI {

bool ImageEntry::KeepPixelCopy()
{
    if (bits == nullptr || width <= 0 || height <= 0)
        return false;
    size_t size = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    uint8_t *copy = new (std::nothrow) uint8_t[size];
    if (copy == nullptr)
        return false;
    memcpy(copy, bits, size);
    delete[] savedBits;
    savedBits = copy;
    keepsCopy = true;
    return true;
}

} // namespace SkinUI
