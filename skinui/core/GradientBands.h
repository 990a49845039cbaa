#pragma once

#include <windows.h>

#include <cstdint>

namespace SkinUI {

// A two-colour gradient drawn as solid bands, for when msimg32.dll offers no GradientFill:
// 2 to 64 bands as the step count asks, the first colour at the top (or left), the second
// at the bottom (or right).
class GradientBands
{
public:
    static void Fill(HDC dc, const RECT &rect, uint32_t first, uint32_t second, bool vertical,
                     int steps);

private:
    static int BandShift(int steps);
};

} // namespace SkinUI
