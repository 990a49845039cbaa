#pragma once

#include <windows.h>

#include <cstdint>

namespace SkinUI {

// The GDI colour of an 0xAARRGGBB colour: its alpha is dropped.
inline COLORREF ToColorRef(uint32_t argb)
{
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

inline uint8_t AlphaOf(uint32_t argb)
{
    return static_cast<uint8_t>(argb >> 24);
}

} // namespace SkinUI
