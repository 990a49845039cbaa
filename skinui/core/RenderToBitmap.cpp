#include "GdiPainter.h"

#include "ColorRef.h"
#include "ControlUI.h"
#include "GdiObjects.h"
#include "WindowManagerUI.h"

namespace SkinUI {

namespace {

// Paints the tree into a new bitmap of the size up to the rectangle's far corner.
HBITMAP PaintTree(CWindowManagerUI *manager, HDC memory, const RECT &rect, CControlUI *stop)
{
    HBITMAP painted = CreateCompatibleBitmap(manager->GetPaintDC(), rect.right, rect.bottom);
    if (painted == nullptr)
        return nullptr;
    ScopedSelection selection(memory, painted);
    if (CControlUI *root = manager->GetRoot())
        root->Paint(memory, rect, stop);
    return painted;
}

} // namespace

HBITMAP CGdiPainter::RenderToBitmap(CWindowManagerUI *manager, const RECT &rect,
                                    CControlUI *stopControl, uint32_t color)
{
    if (manager == nullptr)
        return nullptr;
    ScopedMemoryDC memory(manager->GetPaintDC());
    if (!memory)
        return nullptr;
    // The last painting is reused when it can be: no stop control, a plain window, and an
    // offscreen bitmap that no other DC holds.
    ScopedGdiObject<HBITMAP> painted;
    HGDIOBJ previous = nullptr;
    if (stopControl == nullptr && !manager->IsLayered() && manager->GetOffscreenBitmap() != nullptr)
        previous = SelectObject(memory.Get(), manager->GetOffscreenBitmap());
    if (previous == nullptr) {
        painted.Reset(PaintTree(manager, memory.Get(), rect, stopControl));
        if (!painted)
            return nullptr;
        previous = SelectObject(memory.Get(), painted.Get());
    }

    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    uint8_t *bits = nullptr;
    ScopedGdiObject<HBITMAP> result(CreateDib32(manager->GetPaintDC(), width, height, &bits));
    ScopedMemoryDC target(manager->GetPaintDC());
    if (result && target) {
        ScopedSelection selection(target.Get(), result.Get());
        BitBlt(target.Get(), 0, 0, width, height, memory.Get(), rect.left, rect.top, SRCCOPY);
        if (AlphaOf(color) != 0)
            DrawColor(target.Get(), RECT{0, 0, width, height}, color);
        GdiFlush();
    }
    SelectObject(memory.Get(), previous);
    return result.Release();
}

} // namespace SkinUI
