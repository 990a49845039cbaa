#pragma once

#include <windows.h>

#include <cstdint>

namespace SkinUI {
namespace Testing {

// A memory DC drawing into a top-down 32-bpp DIB section whose pixels a test reads back.
class DibSurface
{
public:
    DibSurface(int width, int height, uint32_t fill = 0xFFFFFFFF);
    DibSurface(const DibSurface &) = delete;
    DibSurface &operator=(const DibSurface &) = delete;
    ~DibSurface();

    HDC Dc() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    RECT Bounds() const { return RECT{0, 0, m_width, m_height}; }

    void Fill(uint32_t argb);
    // The pixel as 0xAARRGGBB, after GDI has finished drawing.
    uint32_t Pixel(int x, int y) const;
    // The colour without the alpha byte (GDI leaves alpha bytes as it likes).
    uint32_t Rgb(int x, int y) const { return Pixel(x, y) & 0xFFFFFF; }
    // How many pixels in the rectangle differ in colour from the given one.
    int CountOtherThan(const RECT &area, uint32_t rgb) const;
    // The smallest rectangle holding every pixel whose colour differs from the given one;
    // empty when there is none.
    RECT BoundsOfOtherThan(uint32_t rgb) const;

private:
    int m_width;
    int m_height;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_previous;
    uint32_t *m_bits;
};

// Colour channels compared with a tolerance for the rounding of blending and gradients.
bool NearColor(uint32_t actual, uint32_t expected, int tolerance = 2);

} // namespace Testing
} // namespace SkinUI
