#pragma once

#include <windows.h>

namespace SkinUI {

// A rectangle laid out as the Windows RECT, so that it goes wherever a RECT is expected.
class CRectangle : public RECT
{
public:
    CRectangle() : RECT{0, 0, 0, 0} {}
    CRectangle(const RECT &rc) : RECT(rc) {}
    CRectangle(int l, int t, int r, int b) : RECT{l, t, r, b} {}

    int GetWidth() const { return right - left; }
    int GetHeight() const { return bottom - top; }

    void Offset(int dx, int dy)
    {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }

    void MoveToOrigin() { Offset(-left, -top); }

    // Plain edge union: an empty rectangle takes part like any other.
    void Union(const RECT &other)
    {
        left = other.left < left ? other.left : left;
        top = other.top < top ? other.top : top;
        right = other.right > right ? other.right : right;
        bottom = other.bottom > bottom ? other.bottom : bottom;
    }
};

} // namespace SkinUI
