#include "GdiPainter.h"

#include "BlendRoutines.h"
#include "ColorRef.h"
#include "GdiObjects.h"
#include "GradientBands.h"
#include "ShapeLimits.h"

namespace SkinUI {

namespace {

void SetOpaqueAlpha(uint8_t *bits, int width, int height)
{
    for (size_t i = 0, n = static_cast<size_t>(width) * static_cast<size_t>(height); i < n; ++i)
        bits[i * 4 + 3] = 0xFF;
}

void FillGradient(HDC dc, const RECT &rect, uint32_t first, uint32_t second, bool vertical,
                  int steps)
{
    BlendRoutines::GradientFillRoutine gradientFill = BlendRoutines::GradientFill();
    if (gradientFill == nullptr) {
        GradientBands::Fill(dc, rect, first, second, vertical, steps);
        return;
    }
    auto channel = [](uint32_t color, int shift) {
        return static_cast<COLOR16>(((color >> shift) & 0xFF) << 8);
    };
    TRIVERTEX corners[2] = {
        {rect.left, rect.top, channel(first, 16), channel(first, 8), channel(first, 0), 0xFF00},
        {rect.right, rect.bottom, channel(second, 16), channel(second, 8), channel(second, 0),
         0xFF00}};
    GRADIENT_RECT span = {0, 1};
    gradientFill(dc, corners, 2, &span, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

// Draws with a pen of the given kind and the null brush, restoring the DC's objects.
template <typename Draw> void WithPen(HDC dc, int style, int width, uint32_t color, Draw draw)
{
    ScopedGdiObject<HPEN> pen(CreatePen(style, ShapeLimits::PenWidth(width), ToColorRef(color)));
    if (!pen)
        return;
    ScopedSelection penSelection(dc, pen.Get());
    ScopedSelection brushSelection(dc, GetStockObject(NULL_BRUSH));
    draw();
}

} // namespace

void CGdiPainter::DrawColor(HDC dc, const RECT &rect, uint32_t color)
{
    const uint8_t alpha = AlphaOf(color);
    if (dc == nullptr || alpha == 0)
        return;
    if (alpha == 255) {
        COLORREF previous = SetBkColor(dc, ToColorRef(color));
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
        SetBkColor(dc, previous);
        return;
    }
    // Blending expects premultiplied pixels: the colour is scaled by its alpha, so that a
    // translucent colour mixes with what lies below instead of brightening it.
    uint8_t *bits = nullptr;
    ScopedGdiObject<HBITMAP> pixel(CreateDib32(dc, 1, 1, &bits));
    if (!pixel || bits == nullptr)
        return;
    bits[0] = static_cast<uint8_t>((color & 0xFF) * alpha / 255);
    bits[1] = static_cast<uint8_t>(((color >> 8) & 0xFF) * alpha / 255);
    bits[2] = static_cast<uint8_t>(((color >> 16) & 0xFF) * alpha / 255);
    bits[3] = alpha;
    const RECT whole = {0, 0, 1, 1};
    const RECT noCorner = {0, 0, 0, 0};
    DrawImage(dc, pixel.Get(), rect, rect, whole, noCorner, true, 255);
}

void CGdiPainter::DrawGradient(HDC dc, const RECT &rect, uint32_t first, uint32_t second,
                               bool vertical, int steps)
{
    const int alpha = (AlphaOf(first) + AlphaOf(second)) / 2;
    if (dc == nullptr || alpha == 0)
        return;
    const RECT span = ShapeLimits::Clamped(rect);
    if (alpha == 255) {
        FillGradient(dc, span, first, second, vertical, steps);
        return;
    }
    // Only the part that can be seen goes through the offscreen bitmap: the gradient is laid
    // over the whole rectangle, but a huge control needs no bitmap of its own size.
    RECT clip;
    RECT visible;
    if (GetClipBox(dc, &clip) == ERROR || !IntersectRect(&visible, &span, &clip))
        return;
    const int width = visible.right - visible.left;
    const int height = visible.bottom - visible.top;
    ScopedMemoryDC offscreen(dc);
    uint8_t *bits = nullptr;
    ScopedGdiObject<HBITMAP> bitmap(CreateDib32(dc, width, height, &bits));
    if (!offscreen || !bitmap || bits == nullptr)
        return;
    ScopedSelection selection(offscreen.Get(), bitmap.Get());
    const RECT local = {span.left - visible.left, span.top - visible.top, span.right - visible.left,
                        span.bottom - visible.top};
    FillGradient(offscreen.Get(), local, first, second, vertical, steps);
    GdiFlush();
    // Band filling leaves the alpha bytes at 0; the gradient itself is opaque and only the
    // constant alpha makes it translucent.
    SetOpaqueAlpha(bits, width, height);
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(alpha), AC_SRC_ALPHA};
    BlendRoutines::AlphaBlend(dc, visible.left, visible.top, width, height, offscreen.Get(), 0, 0,
                              width, height, blend);
}

void CGdiPainter::DrawLine(HDC dc, const RECT &rect, int width, uint32_t color, int penStyle)
{
    if (dc == nullptr)
        return;
    const RECT line = ShapeLimits::Clamped(rect);
    WithPen(dc, penStyle, width, color, [&] {
        POINT previous;
        MoveToEx(dc, line.left, line.top, &previous);
        LineTo(dc, line.right, line.bottom);
        MoveToEx(dc, previous.x, previous.y, nullptr);
    });
}

void CGdiPainter::DrawRect(HDC dc, const RECT &rect, int width, uint32_t color, int penStyle)
{
    if (dc == nullptr)
        return;
    const RECT frame = ShapeLimits::Clamped(rect);
    WithPen(dc, penStyle | PS_INSIDEFRAME, width, color,
            [&] { Rectangle(dc, frame.left, frame.top, frame.right, frame.bottom); });
}

void CGdiPainter::DrawRoundRect(HDC dc, const RECT &rect, int width, int cornerWidth,
                                int cornerHeight, uint32_t color, int penStyle)
{
    if (dc == nullptr)
        return;
    const RECT frame = ShapeLimits::Clamped(rect);
    const SIZE corner = ShapeLimits::Corner(frame, cornerWidth, cornerHeight);
    WithPen(dc, penStyle | PS_INSIDEFRAME, width, color, [&] {
        RoundRect(dc, frame.left, frame.top, frame.right, frame.bottom, corner.cx, corner.cy);
    });
}

HBITMAP CGdiPainter::CreateDib32(HDC dc, int width, int height, uint8_t **bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bits != nullptr)
        *bits = static_cast<uint8_t *>(pixels);
    return bitmap;
}

} // namespace SkinUI
