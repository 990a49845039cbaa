#pragma once

#include <windows.h>

namespace SkinUI {

// A size laid out as the Windows SIZE.
class CExtent : public SIZE
{
public:
    CExtent() : SIZE{0, 0} {}
    CExtent(int width, int height) : SIZE{width, height} {}
};

} // namespace SkinUI
