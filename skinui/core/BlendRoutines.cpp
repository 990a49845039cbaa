#include "BlendRoutines.h"

#include "GdiObjects.h"

namespace SkinUI {

namespace {

using AlphaBlendRoutine = BOOL(WINAPI *)(HDC, int, int, int, int, HDC, int, int, int, int,
                                         BLENDFUNCTION);

template <typename Routine> Routine LookUp(HMODULE module, const char *name)
{
    if (module == nullptr)
        return nullptr;
    return reinterpret_cast<Routine>(reinterpret_cast<void *>(GetProcAddress(module, name)));
}

// A top-down 32-bit DIB section selected into its own memory DC.
class PixelSurface
{
public:
    PixelSurface(HDC compatibleWith, int width, int height) : m_dc(compatibleWith)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void *bits = nullptr;
        m_bitmap.Reset(CreateDIBSection(compatibleWith, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_bits = static_cast<uint8_t *>(bits);
        if (m_dc && m_bitmap)
            m_previous = SelectObject(m_dc.Get(), m_bitmap.Get());
    }
    PixelSurface(const PixelSurface &) = delete;
    PixelSurface &operator=(const PixelSurface &) = delete;
    ~PixelSurface()
    {
        if (m_previous != nullptr)
            SelectObject(m_dc.Get(), m_previous);
    }

    bool IsValid() const { return m_dc && m_bitmap && m_bits != nullptr; }
    HDC Dc() const { return m_dc.Get(); }
    uint8_t *Bits() const { return m_bits; }

private:
    ScopedMemoryDC m_dc;
    ScopedGdiObject<HBITMAP> m_bitmap;
    uint8_t *m_bits = nullptr;
    HGDIOBJ m_previous = nullptr;
};

} // namespace

HMODULE BlendRoutines::Msimg32()
{
    static HMODULE module = [] {
        HMODULE loaded = GetModuleHandleW(L"msimg32.dll");
        return loaded != nullptr ? loaded : LoadLibraryW(L"msimg32.dll");
    }();
    return module;
}

bool BlendRoutines::AlphaBlend(HDC target, int x, int y, int width, int height, HDC source,
                               int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                               BLENDFUNCTION blend)
{
    static AlphaBlendRoutine routine = LookUp<AlphaBlendRoutine>(Msimg32(), "AlphaBlend");
    if (routine != nullptr)
        return routine(target, x, y, width, height, source, sourceX, sourceY, sourceWidth,
                       sourceHeight, blend) != FALSE;
    return FallbackAlphaBlend(target, x, y, width, height, source, sourceX, sourceY, sourceWidth,
                              sourceHeight, blend);
}

bool BlendRoutines::FallbackAlphaBlend(HDC target, int x, int y, int width, int height, HDC source,
                                       int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                                       BLENDFUNCTION blend)
{
    if (width <= 0 || height <= 0)
        return true;
    PixelSurface from(source, width, height);
    PixelSurface onto(target, width, height);
    if (!from.IsValid() || !onto.IsValid())
        return false;
    SetStretchBltMode(from.Dc(), COLORONCOLOR);
    StretchBlt(from.Dc(), 0, 0, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight,
               SRCCOPY);
    BitBlt(onto.Dc(), 0, 0, width, height, target, x, y, SRCCOPY);
    GdiFlush();

    // The source is premultiplied: its colour already carries its own alpha, so it is
    // scaled by the constant alpha only, while the destination keeps what the combined
    // alpha leaves of it.
    const int constant = blend.SourceConstantAlpha;
    const uint8_t *src = from.Bits();
    uint8_t *dst = onto.Bits();
    for (size_t i = 0, n = static_cast<size_t>(width) * static_cast<size_t>(height); i < n;
         ++i, src += 4, dst += 4) {
        int sourceAlpha = (blend.AlphaFormat & AC_SRC_ALPHA) ? src[3] : 255;
        int coverage = sourceAlpha * constant / 255;
        for (int c = 0; c < 3; ++c) {
            int value = (src[c] * constant + dst[c] * (255 - coverage) + 127) / 255;
            dst[c] = static_cast<uint8_t>(value > 255 ? 255 : value);
        }
        dst[3] = 0;
    }
    return BitBlt(target, x, y, width, height, onto.Dc(), 0, 0, SRCCOPY) != FALSE;
}

BlendRoutines::GradientFillRoutine BlendRoutines::GradientFill()
{
    static GradientFillRoutine routine = LookUp<GradientFillRoutine>(Msimg32(), "GradientFill");
    return routine;
}

} // namespace SkinUI
