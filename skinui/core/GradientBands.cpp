#include "GradientBands.h"

#include "ColorRef.h"
#include "GdiObjects.h"

namespace SkinUI {

int GradientBands::BandShift(int steps)
{
    static const int limits[] = {4, 8, 16, 32, 64};
    int shift = 1;
    for (int limit : limits) {
        if (steps < limit)
            return shift;
        ++shift;
    }
    return shift;
}

void GradientBands::Fill(HDC dc, const RECT &rect, uint32_t first, uint32_t second, bool vertical,
                         int steps)
{
    const int shift = BandShift(steps);
    const int bands = 1 << shift;
    const int length = vertical ? rect.bottom - rect.top : rect.right - rect.left;
    const int end = vertical ? rect.bottom : rect.right;
    for (int i = 0; i < bands; ++i) {
        uint32_t color = 0;
        for (int channel = 0; channel < 3; ++channel) {
            const uint32_t from = (first >> (8 * channel)) & 0xFF;
            const uint32_t to = (second >> (8 * channel)) & 0xFF;
            color |= ((to * (bands - i) + from * i) >> shift) << (8 * channel);
        }
        // Band 0 lies at the far end, so the first colour ends at the near one.
        const int bandStart = end - (i + 1) * length / bands;
        const int bandEnd = end - i * length / bands;
        if (bandEnd <= bandStart)
            continue;
        RECT band = vertical ? RECT{rect.left, bandStart, rect.right, bandEnd}
                             : RECT{bandStart, rect.top, bandEnd, rect.bottom};
        ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(ToColorRef(color)));
        if (brush)
            FillRect(dc, &band, brush.Get());
    }
}

} // namespace SkinUI
