#pragma once

#include "ShadowParameters.h"

#include <cstdint>
#include <functional>
#include <vector>

// One row of a window's shape: the pixels [left, right) are inside. An empty row is
// written as (width, 0), so that erosion treats it as a row that pushes every
// neighbour inwards.
struct RowSpan
{
    int left;
    int right;
    bool isEmpty() const { return left >= right; }
};

// A picture for the picture mode of the shadow: premultiplied 0xAARRGGBB, top row first.
struct ShadowPicture
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    bool isNull() const { return width <= 0 || height <= 0; }
};

// The shadow as premultiplied 32-bit pixels (0xAARRGGBB, the layout of both a Windows
// 32-bit DIB and QImage::Format_ARGB32_Premultiplied), top row first. No window system
// is involved: the platform layers hand in the parent's shape and copy the pixels out.
class ShadowBitmap
{
public:
    // The parent's shape, row by row: leftmost point inside, then the rightmost one
    // found searching down from the right edge; rows without a point are (width, 0).
    static std::vector<RowSpan> spansOf(int width, int height,
                                        const std::function<bool(int, int)> &inside);
    static std::vector<RowSpan> rectangleSpans(int width, int height);

    // Premultiplies the COLORREF colour with alpha into a 0xAARRGGBB pixel.
    static uint32_t premultiplied(uint32_t colorRef, int alpha);

    // Renders the soft shadow of a parent of the given size and shape. False, leaving
    // the bitmap empty, when the size leaves no area or the pixels cannot be allocated.
    bool render(int parentWidth, int parentHeight, const std::vector<RowSpan> &parentSpans,
                const ShadowParameters &parameters);

    // Renders the picture mode: the picture stretched over width x height with its
    // corners (left, top, right, bottom) kept unscaled, and the hole rectangle cleared.
    bool renderPicture(int width, int height, const ShadowPicture &picture, const int corners[4],
                       int holeLeft, int holeTop, int holeRight, int holeBottom);

    int width() const { return width_; }
    int height() const { return height_; }
    bool isNull() const { return pixels_.empty(); }
    uint32_t pixel(int x, int y) const { return pixels_[index(x, y)]; }
    int alphaAt(int x, int y) const { return int(pixel(x, y) >> 24); }
    const uint32_t *row(int y) const { return pixels_.data() + index(0, y); }
    const std::vector<uint32_t> &pixels() const { return pixels_; }

private:
    bool allocate(int width, int height);
    void reset();
    void drawShadow(int parentWidth, int parentHeight, const std::vector<RowSpan> &parentSpans,
                    const ShadowParameters &parameters);
    size_t index(int x, int y) const { return size_t(y) * size_t(width_) + size_t(x); }
    void stampKernel(int centreX, int centreY, int radius, const std::vector<uint32_t> &kernel);
    void fillRow(int y, int from, int to, uint32_t value);

    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
};
