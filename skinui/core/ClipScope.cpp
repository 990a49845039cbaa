#include "ClipScope.h"

#include "ShapeLimits.h"

namespace SkinUI {

CClipScope::~CClipScope()
{
    if (m_dc != nullptr)
        SelectClipRgn(m_dc, m_outerRegion);
    if (m_ownRegion != nullptr)
        DeleteObject(m_ownRegion);
    if (m_outerRegion != nullptr)
        DeleteObject(m_outerRegion);
}

// Keeps the DC's clip as it is now (none: null, restored as no clip) and the rectangle.
void CClipScope::Begin(HDC dc, const RECT &rect)
{
    m_dc = dc;
    m_rect = rect;
    m_outerRegion = CreateRectRgn(0, 0, 0, 0);
    if (m_outerRegion != nullptr && GetClipRgn(dc, m_outerRegion) != 1) {
        DeleteObject(m_outerRegion);
        m_outerRegion = nullptr;
    }
}

void CClipScope::MakeRectClip(HDC dc, const RECT &rect, CClipScope &scope)
{
    scope.Begin(dc, rect);
    scope.m_ownRegion = CreateRectRgnIndirect(&rect);
    ExtSelectClipRgn(dc, scope.m_ownRegion, RGN_AND);
}

void CClipScope::MakeRoundRectClip(HDC dc, const RECT &rect, const RECT &item, int cornerWidth,
                                   int cornerHeight, CClipScope &scope)
{
    scope.Begin(dc, rect);
    scope.m_ownRegion = CreateRectRgnIndirect(&rect);
    // The region takes in the item's right and bottom edges.
    RECT shape = ShapeLimits::Clamped(item);
    ++shape.right;
    ++shape.bottom;
    const SIZE corner = ShapeLimits::Corner(shape, cornerWidth, cornerHeight);
    HRGN rounded =
        CreateRoundRectRgn(shape.left, shape.top, shape.right, shape.bottom, corner.cx, corner.cy);
    if (scope.m_ownRegion != nullptr && rounded != nullptr)
        CombineRgn(scope.m_ownRegion, scope.m_ownRegion, rounded, RGN_AND);
    if (rounded != nullptr)
        DeleteObject(rounded);
    ExtSelectClipRgn(dc, scope.m_ownRegion, RGN_AND);
}

void CClipScope::SelectOuterRegion(HDC dc, CClipScope &scope)
{
    SelectClipRgn(dc, scope.m_outerRegion);
}

void CClipScope::SelectOwnRegion(HDC dc, CClipScope &scope)
{
    // The own region alone would lose the clip it was narrowed from.
    SelectClipRgn(dc, scope.m_outerRegion);
    ExtSelectClipRgn(dc, scope.m_ownRegion, RGN_AND);
}

} // namespace SkinUI
