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
