#include "GdiPainter.h"

#include "BlendRoutines.h"
#include "GdiObjects.h"

namespace SkinUI {

namespace {

// Draws the parts of one image from a memory DC that holds its bitmap, each part clipped
// to the paint rectangle and skipped when it has no area (corners as large as the image or
// the destination leave edges and centre without any).
class NineGridPainter
{
public:
    NineGridPainter(HDC target, HDC image, const RECT &paint, bool blended, uint8_t fade)
        : m_target(target), m_image(image), m_paint(paint), m_blended(blended), m_fade(fade)
    {
    }

    // A part scaled from its source size to its destination.
    void Part(int left, int top, int right, int bottom, int sourceX, int sourceY, int sourceWidth,
              int sourceHeight) const
    {
        RECT destination = {left, top, right, bottom};
        RECT visible;
        if (right <= left || bottom <= top || sourceWidth <= 0 || sourceHeight <= 0 ||
            !IntersectRect(&visible, &destination, &m_paint))
            return;
        if (m_blended) {
            BLENDFUNCTION blend = {AC_SRC_OVER, 0, m_fade, AC_SRC_ALPHA};
            BlendRoutines::AlphaBlend(m_target, left, top, right - left, bottom - top, m_image,
                                      sourceX, sourceY, sourceWidth, sourceHeight, blend);
        } else if (right - left == sourceWidth && bottom - top == sourceHeight) {
            BitBlt(m_target, left, top, sourceWidth, sourceHeight, m_image, sourceX, sourceY,
                   SRCCOPY);
        } else {
            StretchBlt(m_target, left, top, right - left, bottom - top, m_image, sourceX, sourceY,
                       sourceWidth, sourceHeight, SRCCOPY);
        }
    }

    // The centre: stretched, or repeated along x, y or both. Every repeat keeps the source
    // size along its tiled direction; the last one is cut, never squeezed.
    void Centre(const RECT &area, int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                bool xTiled, bool yTiled) const
    {
        if (area.right <= area.left || area.bottom <= area.top || sourceWidth <= 0 ||
            sourceHeight <= 0)
            return;
        if (!xTiled && !yTiled) {
            Part(area.left, area.top, area.right, area.bottom, sourceX, sourceY, sourceWidth,
                 sourceHeight);
            return;
        }
        const int stepX = xTiled ? sourceWidth : area.right - area.left;
        const int stepY = yTiled ? sourceHeight : area.bottom - area.top;
        const int lastX = Min(area.right, m_paint.right);
        const int lastY = Min(area.bottom, m_paint.bottom);
        for (int y = FirstTile(area.top, m_paint.top, stepY); y < lastY; y += stepY) {
            const int height = yTiled ? Min(stepY, area.bottom - y) : stepY;
            for (int x = FirstTile(area.left, m_paint.left, stepX); x < lastX; x += stepX) {
                const int width = xTiled ? Min(stepX, area.right - x) : stepX;
                Part(x, y, x + width, y + height, sourceX, sourceY, xTiled ? width : sourceWidth,
                     yTiled ? height : sourceHeight);
            }
        }
    }

private:
    static int Min(int a, int b) { return a < b ? a : b; }

    // The start of the first repeat that reaches the paint area, so that repeats before it
    // are not even visited.
    static int FirstTile(int start, int paintStart, int step)
    {
        if (paintStart <= start)
            return start;
        return start + (paintStart - start) / step * step;
    }

    HDC m_target;
    HDC m_image;
    RECT m_paint;
    bool m_blended;
    uint8_t m_fade;
};

} // namespace

void CGdiPainter::DrawImage(HDC dc, HBITMAP bitmap, const RECT &d, const RECT &paint, const RECT &s,
                            const RECT &c, bool hasAlpha, uint8_t fade, bool hole, bool xTiled,
                            bool yTiled)
{
    if (dc == nullptr || bitmap == nullptr)
        return;
    ScopedMemoryDC image(dc);
    if (!image)
        return;
    ScopedSelection selection(image.Get(), bitmap);
    SetStretchBltMode(dc, COLORONCOLOR);

    const bool blended = hasAlpha || fade < 255;
    const int sourceWidth = s.right - s.left;
    const int sourceHeight = s.bottom - s.top;
    if (!blended && d.right - d.left == sourceWidth && d.bottom - d.top == sourceHeight &&
        c.left == 0 && c.top == 0 && c.right == 0 && c.bottom == 0) {
        RECT visible;
        if (IntersectRect(&visible, &d, &paint))
            BitBlt(dc, visible.left, visible.top, visible.right - visible.left,
                   visible.bottom - visible.top, image.Get(), s.left + visible.left - d.left,
                   s.top + visible.top - d.top, SRCCOPY);
        return;
    }

    NineGridPainter grid(dc, image.Get(), paint, blended, fade);
    const int middleWidth = sourceWidth - c.left - c.right;
    const int middleHeight = sourceHeight - c.top - c.bottom;
    if (!hole) {
        RECT area = {d.left + c.left, d.top + c.top, d.right - c.right, d.bottom - c.bottom};
        grid.Centre(area, s.left + c.left, s.top + c.top, middleWidth, middleHeight, xTiled,
                    yTiled);
    }
    if (c.left > 0 && c.top > 0)
        grid.Part(d.left, d.top, d.left + c.left, d.top + c.top, s.left, s.top, c.left, c.top);
    if (c.top > 0)
        grid.Part(d.left + c.left, d.top, d.right - c.right, d.top + c.top, s.left + c.left, s.top,
                  middleWidth, c.top);
    if (c.right > 0 && c.top > 0)
        grid.Part(d.right - c.right, d.top, d.right, d.top + c.top, s.right - c.right, s.top,
                  c.right, c.top);
    if (c.left > 0)
        grid.Part(d.left, d.top + c.top, d.left + c.left, d.bottom - c.bottom, s.left,
                  s.top + c.top, c.left, middleHeight);
    if (c.right > 0)
        grid.Part(d.right - c.right, d.top + c.top, d.right, d.bottom - c.bottom, s.right - c.right,
                  s.top + c.top, c.right, middleHeight);
    if (c.left > 0 && c.bottom > 0)
        grid.Part(d.left, d.bottom - c.bottom, d.left + c.left, d.bottom, s.left,
                  s.bottom - c.bottom, c.left, c.bottom);
    if (c.bottom > 0)
        grid.Part(d.left + c.left, d.bottom - c.bottom, d.right - c.right, d.bottom,
                  s.left + c.left, s.bottom - c.bottom, middleWidth, c.bottom);
    if (c.right > 0 && c.bottom > 0)
        grid.Part(d.right - c.right, d.bottom - c.bottom, d.right, d.bottom, s.right - c.right,
                  s.bottom - c.bottom, c.right, c.bottom);
}

} // namespace SkinUI
