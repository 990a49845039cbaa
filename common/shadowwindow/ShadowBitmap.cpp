#include "ShadowBitmap.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

// Larger than any Windows or X11 window; keeps width x height far from overflowing.
constexpr int kMaxSide = 32767;

using EdgeTable = std::vector<RowSpan>;

// Table row i + 1 holds shadow row i; rows 0 and shadowHeight + 1 are the empty
// sentinels above and below.
EdgeTable buildEdgeTable(int parentWidth, int parentHeight, const std::vector<RowSpan> &spans,
                         int size, int shadowHeight)
{
    const RowSpan empty{parentWidth, 0};
    EdgeTable table(size_t(shadowHeight) + 2, empty);
    for (int row = 0; row < shadowHeight; ++row) {
        const int parentRow = row - size;
        if (parentRow < 0 || parentRow >= parentHeight || row < size || row >= shadowHeight - size)
            continue;
        const RowSpan &span = spans[size_t(parentRow)];
        table[size_t(row) + 1] = {span.left + size, span.right + size};
    }
    return table;
}

void erode(EdgeTable &table, int passes)
{
    EdgeTable next = table;
    for (int pass = 0; pass < passes; ++pass) {
        for (size_t i = 1; i + 1 < table.size(); ++i) {
            next[i].left = 1 + std::max({table[i - 1].left, table[i].left, table[i + 1].left});
            next[i].right = std::min({table[i - 1].right, table[i].right, table[i + 1].right}) - 1;
        }
        table.swap(next);
    }
}

// The fall-off: full darkness inside the inner radius, then linear to about zero at the
// outer radius. Computed in double exactly so, since the truncation of values such as
// 9.999... is part of the look.
std::vector<uint32_t> buildKernel(int radius, int innerRadius, int sharpness, int darkness,
                                  uint32_t color)
{
    const int side = 2 * radius + 1;
    std::vector<uint32_t> kernel(size_t(side) * size_t(side), 0);
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const double r = std::sqrt(double(dx * dx + dy * dy));
            int alpha = 0;
            if (r < innerRadius)
                alpha = darkness;
            else if (r <= radius)
                alpha = int((1.0 - (r - innerRadius) / (sharpness + 1)) * darkness);
            kernel[size_t(dy + radius) * size_t(side) + size_t(dx + radius)] =
                ShadowBitmap::premultiplied(color, std::max(alpha, 0));
        }
    }
    return kernel;
}

} // namespace

std::vector<RowSpan> ShadowBitmap::spansOf(int width, int height,
                                           const std::function<bool(int, int)> &inside)
{
    std::vector<RowSpan> spans;
    spans.reserve(size_t(std::max(height, 0)));
    for (int y = 0; y < height; ++y) {
        int left = 0;
        while (left < width && !inside(left, y))
            ++left;
        if (left == width) {
            spans.push_back({width, 0});
            continue;
        }
        int right = width - 1;
        while (right > left && !inside(right, y))
            --right;
        spans.push_back({left, right + 1});
    }
    return spans;
}

std::vector<RowSpan> ShadowBitmap::rectangleSpans(int width, int height)
{
    return std::vector<RowSpan>(size_t(std::max(height, 0)), RowSpan{0, width});
}

uint32_t ShadowBitmap::premultiplied(uint32_t colorRef, int alpha)
{
    const uint32_t a = uint32_t(std::clamp(alpha, 0, 255));
    const uint32_t red = (colorRef & 0xFFu) * a / 255;
    const uint32_t green = ((colorRef >> 8) & 0xFFu) * a / 255;
    const uint32_t blue = ((colorRef >> 16) & 0xFFu) * a / 255;
    return (a << 24) | (red << 16) | (green << 8) | blue;
}

void ShadowBitmap::reset()
{
    pixels_.clear();
    pixels_.shrink_to_fit();
    width_ = height_ = 0;
}

bool ShadowBitmap::allocate(int width, int height)
{
    reset();
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return false;
    try {
        pixels_.assign(size_t(width) * size_t(height), 0);
    } catch (const std::bad_alloc &) {
        return false;
    }
    width_ = width;
    height_ = height;
    return true;
}

void ShadowBitmap::stampKernel(int centreX, int centreY, int radius,
                               const std::vector<uint32_t> &kernel)
{
    const int side = 2 * radius + 1;
    for (int dy = -radius; dy <= radius; ++dy) {
        const int y = centreY + dy;
        if (y < 0 || y >= height_)
            continue;
        for (int dx = -radius; dx <= radius; ++dx) {
            const int x = centreX + dx;
            if (x < 0 || x >= width_)
                continue;
            uint32_t &target = pixels_[index(x, y)];
            target =
                std::max(target, kernel[size_t(dy + radius) * size_t(side) + size_t(dx + radius)]);
        }
    }
}

void ShadowBitmap::fillRow(int y, int from, int to, uint32_t value)
{
    from = std::max(from, 0);
    to = std::min(to, width_);
    for (int x = from; x < to; ++x)
        pixels_[index(x, y)] = value;
}

bool ShadowBitmap::render(int parentWidth, int parentHeight,
                          const std::vector<RowSpan> &parentSpans,
                          const ShadowParameters &parameters)
{
    const int size = parameters.size;
    if (parentWidth <= 0 || parentHeight <= 0 || parentSpans.size() < size_t(parentHeight) ||
        !allocate(parentWidth + 2 * size, parentHeight + 2 * size)) {
        reset();
        return false;
    }
    // The tables and the kernel are allocated too; without them there is no shadow.
    try {
        drawShadow(parentWidth, parentHeight, parentSpans, parameters);
    } catch (const std::bad_alloc &) {
        reset();
        return false;
    }
    return true;
}

void ShadowBitmap::drawShadow(int parentWidth, int parentHeight,
                              const std::vector<RowSpan> &parentSpans,
                              const ShadowParameters &parameters)
{
    const int size = parameters.size;
    const int sharpness = parameters.sharpness;
    const int darkness = parameters.darkness;
    const int xOffset = parameters.xOffset;
    const int yOffset = parameters.yOffset;
    const int shadowHeight = height_;

    EdgeTable table = buildEdgeTable(parentWidth, parentHeight, parentSpans, size, shadowHeight);
    erode(table, std::max(sharpness - size, 0));
    auto spanOf = [&table](int row) -> const RowSpan & { return table[size_t(row) + 1]; };

    const int radius = std::max(sharpness, size);
    const int innerRadius = std::max(size - sharpness, 0);
    const std::vector<uint32_t> kernel =
        buildKernel(radius, innerRadius, sharpness, darkness, parameters.color);

    for (int y = std::max(radius, 0); y < shadowHeight - radius; ++y) {
        const RowSpan &span = spanOf(y);
        if (span.isEmpty())
            continue;
        const RowSpan &above = spanOf(y - 1);
        const RowSpan &below = spanOf(y + 1);
        const int middle =
            std::max(span.left, std::min(span.right, 1 + std::max(above.left, below.left)));
        for (int x = span.left; x < middle; ++x)
            stampKernel(x, y, radius, kernel);
        const int rightEdge = std::max(middle, std::min(above.right, below.right) - 1);
        for (int x = rightEdge; x < span.right; ++x)
            stampKernel(x, y, radius, kernel);
    }

    const uint32_t solid = premultiplied(parameters.color, darkness);
    const int firstRow = std::max(std::min(radius, size - yOffset), 0);
    const int endRow =
        std::max(shadowHeight - radius, std::min(shadowHeight, parentHeight + size - yOffset));
    for (int y = firstRow; y < endRow && y < shadowHeight; ++y) {
        const RowSpan &span = spanOf(y);
        const int parentRow = y + yOffset - size;
        if (parentRow < 0 || parentRow >= parentHeight) {
            if (!span.isEmpty())
                fillRow(y, span.left, span.right, solid);
            continue;
        }
        const RowSpan &parent = parentSpans[size_t(parentRow)];
        const int holeLeft = parent.left + size - xOffset;
        const int holeRight = parent.right + size - xOffset;
        if (!span.isEmpty()) {
            if (parent.isEmpty()) {
                fillRow(y, span.left, span.right, solid);
            } else {
                fillRow(y, span.left, std::min(span.right, holeLeft), solid);
                fillRow(y, std::max(span.left, holeRight), span.right, solid);
            }
        }
        // Cleared even where the eroded shape has no span: the soft edge of the rows
        // around reaches here, and the shadow lies above its parent.
        if (!parent.isEmpty())
            fillRow(y, holeLeft, holeRight, 0);
    }
}

bool ShadowBitmap::renderPicture(int width, int height, const ShadowPicture &picture,
                                 const int corners[4], int holeLeft, int holeTop, int holeRight,
                                 int holeBottom)
{
    if (picture.isNull() ||
        picture.pixels.size() < size_t(picture.width) * size_t(picture.height) ||
        !allocate(width, height))
        return false;

    // Splits one axis into three parts: [0, a) kept, [a, size - b) stretched, the rest kept.
    auto sourceOf = [](int target, int targetSize, int sourceSize, int before, int after) {
        before = std::clamp(before, 0, sourceSize);
        after = std::clamp(after, 0, sourceSize - before);
        if (target < before && target < targetSize - after)
            return target;
        if (target >= targetSize - after)
            return std::clamp(sourceSize - (targetSize - target), 0, sourceSize - 1);
        const int middleTarget = std::max(targetSize - before - after, 1);
        const int middleSource = std::max(sourceSize - before - after, 1);
        return std::clamp(before + (target - before) * middleSource / middleTarget, 0,
                          sourceSize - 1);
    };
    for (int y = 0; y < height; ++y) {
        const int sy = sourceOf(y, height, picture.height, corners[1], corners[3]);
        for (int x = 0; x < width; ++x) {
            const int sx = sourceOf(x, width, picture.width, corners[0], corners[2]);
            pixels_[index(x, y)] = picture.pixels[size_t(sy) * size_t(picture.width) + size_t(sx)];
        }
    }
    for (int y = std::max(holeTop, 0); y < std::min(holeBottom, height); ++y)
        fillRow(y, holeLeft, holeRight, 0);
    return true;
}
