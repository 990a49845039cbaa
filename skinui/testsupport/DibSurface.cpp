#include "DibSurface.h"

#include <cstdlib>

namespace SkinUI {
namespace Testing {

DibSurface::DibSurface(int width, int height, uint32_t fill)
    : m_width(width), m_height(height), m_dc(CreateCompatibleDC(nullptr)), m_bitmap(nullptr),
      m_previous(nullptr), m_bits(nullptr)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<uint32_t *>(bits);
    m_previous = SelectObject(m_dc, m_bitmap);
    Fill(fill);
}

DibSurface::~DibSurface()
{
    SelectObject(m_dc, m_previous);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

void DibSurface::Fill(uint32_t argb)
{
    GdiFlush();
    for (int i = 0; i < m_width * m_height; ++i)
        m_bits[i] = argb;
}

uint32_t DibSurface::Pixel(int x, int y) const
{
    GdiFlush();
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    return m_bits[y * m_width + x];
}

int DibSurface::CountOtherThan(const RECT &area, uint32_t rgb) const
{
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += Rgb(x, y) != (rgb & 0xFFFFFF) ? 1 : 0;
    return count;
}

RECT DibSurface::BoundsOfOtherThan(uint32_t rgb) const
{
    RECT bounds = {m_width, m_height, 0, 0};
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            if (Rgb(x, y) != (rgb & 0xFFFFFF)) {
                bounds.left = x < bounds.left ? x : bounds.left;
                bounds.top = y < bounds.top ? y : bounds.top;
                bounds.right = x + 1 > bounds.right ? x + 1 : bounds.right;
                bounds.bottom = y + 1 > bounds.bottom ? y + 1 : bounds.bottom;
            }
    if (bounds.right == 0)
        bounds = RECT{0, 0, 0, 0};
    return bounds;
}

bool NearColor(uint32_t actual, uint32_t expected, int tolerance)
{
    for (int shift = 0; shift < 24; shift += 8) {
        int a = (actual >> shift) & 0xFF;
        int e = (expected >> shift) & 0xFF;
        if (std::abs(a - e) > tolerance)
            return false;
    }
    return true;
}

} // namespace Testing
} // namespace SkinUI
