#pragma once

#include "Extent.h"
#include "ImageEntry.h"
#include "ResourceNameOrId.h"
#include "WideString.h"

#include <windows.h>

#include <cstdint>

namespace SkinUI {

class CControlUI;
class CWindowManagerUI;
struct ImageDescriptor;

// The framework's drawing routines: image loading and nine-grid drawing, colours,
// gradients, lines and frames, plain and marked-up text, and rendering a window's control
// tree into a bitmap. Colours are 0xAARRGGBB throughout. Everything runs on the
// user-interface thread and reports failure by drawing nothing.
class CGdiPainter
{
public:
    // The pseudo resource type of a solid-colour image, whose name is the ARGB colour.
    static const wchar_t *const kColorResourceType;

    // Images. A loaded image is a premultiplied 32-bit DIB section; null when the image
    // cannot be found or decoded.
    static ImageEntry *LoadImage(ResourceNameOrId name, const wchar_t *resourceType, uint32_t mask);
    static void FreeImage(ImageEntry *entry, bool deleteRecord = true);
    // Parses the descriptor once, has the manager load and cache its image, and draws it
    // with a dc (only parses and loads without one). False when there is nothing to draw
    // with: no manager, empty text, or an image that cannot be loaded.
    static bool DrawImageDescriptor(HDC dc, CWindowManagerUI *manager, const RECT &item,
                                    const RECT &paint, ImageDescriptor &descriptor);
    // Nine-grid drawing of a bitmap part: corners unscaled, edges and centre stretched or
    // tiled, every part clipped to the paint rectangle.
    static void DrawImage(HDC dc, HBITMAP bitmap, const RECT &destination, const RECT &paint,
                          const RECT &source, const RECT &corner, bool hasAlpha, uint8_t fade = 255,
                          bool hole = false, bool xTiled = false, bool yTiled = false);
    static uint32_t AdjustColor(uint32_t color, int hue, int saturation, int lightness);
    static void AdjustImage(bool apply, ImageEntry *image, int hue, int saturation, int lightness);

    // Primitives.
    static void DrawColor(HDC dc, const RECT &rect, uint32_t color);
    static void DrawGradient(HDC dc, const RECT &rect, uint32_t first, uint32_t second,
                             bool vertical, int steps);
    static void DrawLine(HDC dc, const RECT &rect, int width, uint32_t color,
                         int penStyle = PS_SOLID);
    static void DrawRect(HDC dc, const RECT &rect, int width, uint32_t color,
                         int penStyle = PS_SOLID);
    static void DrawRoundRect(HDC dc, const RECT &rect, int width, int cornerWidth,
                              int cornerHeight, uint32_t color, int penStyle = PS_SOLID);

    // Text. Language tokens are replaced first.
    static void DrawText(HDC dc, CWindowManagerUI *manager, const RECT &rect, const wchar_t *text,
                         uint32_t color, int font, UINT format);
    // The rectangle that DrawTextW's DT_CALCRECT leaves for the text laid out in rect.
    static RECT CalcTextRect(HDC dc, CWindowManagerUI *manager, const RECT &rect,
                             const wchar_t *text, int font, UINT format);
    static CExtent GetTextSize(HDC dc, CWindowManagerUI *manager, const wchar_t *text, int font,
                               UINT format);
    // Text with inline markup tags. linkCount is the capacity of links and linkNames on the
    // way in and the number of link rectangles written on the way out; with DT_CALCRECT the
    // rectangle receives the measured extent.
    static void DrawHtmlText(HDC dc, CWindowManagerUI *manager, RECT &rect, const wchar_t *text,
                             uint32_t color, RECT *links, CWideString *linkNames, int &linkCount,
                             int font, UINT format);

    // The window's control tree painted into a new 32-bit DIB the caller owns.
    static HBITMAP RenderToBitmap(CWindowManagerUI *manager, const RECT &rect,
                                  CControlUI *stopControl, uint32_t color);
    // A 32-bit bottom-up DIB section.
    static HBITMAP CreateDib32(HDC dc, int width, int height, uint8_t **bits);
};

} // namespace SkinUI
