#pragma once

#include <cstdint>

// What a shadow looks like. The colour is laid out as a Windows COLORREF (0x00BBGGRR) in
// both builds, so the same numbers configure the shadow everywhere.
struct ShadowParameters
{
    uint8_t darkness = 150; // alpha of the solid part
    uint8_t sharpness = 5;  // width of the soft fall-off in pixels
    int8_t size = 0;        // reach beyond the parent's outline; negative shrinks it
    int8_t xOffset = 5;
    int8_t yOffset = 5;
    uint32_t color = 0;
};

// The range checks of the setters. Quorvane takes any byte for the size and the
// sharpness; uninst's skins are held to the ranges its skin attributes document.
namespace ShadowLimits {
constexpr int kMaxOffset = 20;
constexpr int kMaxDarkness = 255;
constexpr int kMaxRestrictedSize = 20;
constexpr int kMaxRestrictedSharpness = 20;

inline bool offsetAccepted(int x, int y)
{
    return x >= -kMaxOffset && x <= kMaxOffset && y >= -kMaxOffset && y <= kMaxOffset;
}
inline bool darknessAccepted(unsigned value)
{
    return value <= kMaxDarkness;
}
inline bool restrictedSizeAccepted(int value)
{
    return value >= -kMaxRestrictedSize && value <= kMaxRestrictedSize;
}
inline bool restrictedSharpnessAccepted(unsigned value)
{
    return value <= kMaxRestrictedSharpness;
}
} // namespace ShadowLimits
