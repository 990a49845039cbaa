#pragma once

#include <windows.h>

#include <cstdint>

namespace SkinUI {

// AlphaBlend and GradientFill live in msimg32.dll, which is not always there: both are
// looked up by name once per process, and AlphaBlend has a blender of our own behind it.
class BlendRoutines
{
public:
    using GradientFillRoutine = BOOL(WINAPI *)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

    // Blends a premultiplied source part over the target with the looked-up AlphaBlend,
    // or with FallbackAlphaBlend when msimg32.dll offers none.
    static bool AlphaBlend(HDC target, int x, int y, int width, int height, HDC source, int sourceX,
                           int sourceY, int sourceWidth, int sourceHeight, BLENDFUNCTION blend);
    // Source-over blending of a premultiplied source through two temporary DIBs; false when
    // a DC or a DIB cannot be made.
    static bool FallbackAlphaBlend(HDC target, int x, int y, int width, int height, HDC source,
                                   int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                                   BLENDFUNCTION blend);
    // Null when msimg32.dll offers no GradientFill.
    static GradientFillRoutine GradientFill();

private:
    static HMODULE Msimg32();
};

} // namespace SkinUI
