#pragma once

#include <windows.h>

namespace SkinUI {

// The sizes GDI is asked to draw shapes with. A damaged skin can ask for a corner of
// millions of pixels, a pen as wide as a screen or a control billions of pixels wide; the
// platform's GDI then takes seconds or aborts the process. No control needs more than these,
// and within a window's own area the shapes they cut are drawn as before.
class ShapeLimits
{
public:
    // Farther from the window's origin than any window reaches.
    static const int kFarthestCoordinate = 1 << 16;
    static const int kWidestPen = 256;

    // Every coordinate within the farthest one, either side.
    static RECT Clamped(const RECT &rect);
    // A corner ellipse no larger than the rectangle it rounds.
    static SIZE Corner(const RECT &rect, int cornerWidth, int cornerHeight);
    static int PenWidth(int width) { return width < kWidestPen ? width : kWidestPen; }

private:
    static LONG Within(LONG value, LONG low, LONG high);
};

} // namespace SkinUI
