#include "ShapeLimits.h"

namespace SkinUI {

LONG ShapeLimits::Within(LONG value, LONG low, LONG high)
{
    return value < low ? low : value > high ? high : value;
}

RECT ShapeLimits::Clamped(const RECT &rect)
{
    return RECT{Within(rect.left, -kFarthestCoordinate, kFarthestCoordinate),
                Within(rect.top, -kFarthestCoordinate, kFarthestCoordinate),
                Within(rect.right, -kFarthestCoordinate, kFarthestCoordinate),
                Within(rect.bottom, -kFarthestCoordinate, kFarthestCoordinate)};
}

SIZE ShapeLimits::Corner(const RECT &rect, int cornerWidth, int cornerHeight)
{
    const LONG width = rect.right > rect.left ? rect.right - rect.left : 0;
    const LONG height = rect.bottom > rect.top ? rect.bottom - rect.top : 0;
    return SIZE{Within(cornerWidth, 0, width), Within(cornerHeight, 0, height)};
}

} // namespace SkinUI
