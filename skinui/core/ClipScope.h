#pragma once

#include <windows.h>

namespace SkinUI {

// The clip of one control while it paints: the DC's clip is narrowed to the control's
// rectangle (or rounded rectangle) and put back as it was when the scope ends.
class CClipScope
{
public:
    CClipScope() = default;
    CClipScope(const CClipScope &) = delete;
    CClipScope &operator=(const CClipScope &) = delete;
    ~CClipScope();

    static void MakeRectClip(HDC dc, const RECT &rect, CClipScope &scope);
    static void MakeRoundRectClip(HDC dc, const RECT &rect, const RECT &item, int cornerWidth,
                                  int cornerHeight, CClipScope &scope);
    // The clip as it was before the scope, to paint outside the control (a focus frame)...
    static void SelectOuterRegion(HDC dc, CClipScope &scope);
    // ...and the control's own clip again.
    static void SelectOwnRegion(HDC dc, CClipScope &scope);

private:
    void Begin(HDC dc, const RECT &rect);

    RECT m_rect = {0, 0, 0, 0};
    HDC m_dc = nullptr;
    HRGN m_ownRegion = nullptr;
    HRGN m_outerRegion = nullptr;
};

} // namespace SkinUI
