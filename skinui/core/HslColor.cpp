#include "GdiPainter.h"

#include <cmath>
#include <cstring>

namespace SkinUI {

namespace {

struct Hsl
{
    double hue; // degrees
    double saturation;
    double lightness;
};

bool IsNeutral(int hue, int saturation, int lightness)
{
    return hue == 180 && saturation == 100 && lightness == 100;
}

Hsl ToHsl(uint32_t rgb)
{
    const double r = ((rgb >> 16) & 0xFF) / 255.0;
    const double g = ((rgb >> 8) & 0xFF) / 255.0;
    const double b = (rgb & 0xFF) / 255.0;
    const double high = std::fmax(r, std::fmax(g, b));
    const double low = std::fmin(r, std::fmin(g, b));
    Hsl hsl = {0.0, 0.0, (high + low) / 2.0};
    const double range = high - low;
    if (range <= 0.0)
        return hsl;
    hsl.saturation = hsl.lightness > 0.5 ? range / (2.0 - high - low) : range / (high + low);
    if (high == r)
        hsl.hue = (g - b) / range + (g < b ? 6.0 : 0.0);
    else if (high == g)
        hsl.hue = (b - r) / range + 2.0;
    else
        hsl.hue = (r - g) / range + 4.0;
    hsl.hue *= 60.0;
    return hsl;
}

double HueToChannel(double p, double q, double t)
{
    if (t < 0.0)
        t += 1.0;
    if (t > 1.0)
        t -= 1.0;
    if (t < 1.0 / 6.0)
        return p + (q - p) * 6.0 * t;
    if (t < 0.5)
        return q;
    if (t < 2.0 / 3.0)
        return p + (q - p) * (2.0 / 3.0 - t) * 6.0;
    return p;
}

uint32_t ToByte(double value)
{
    long rounded = std::lround(value * 255.0);
    return static_cast<uint32_t>(rounded < 0 ? 0 : rounded > 255 ? 255 : rounded);
}

uint32_t ToRgb(const Hsl &hsl)
{
    if (hsl.saturation <= 0.0) {
        uint32_t grey = ToByte(hsl.lightness);
        return grey << 16 | grey << 8 | grey;
    }
    const double q = hsl.lightness < 0.5
                         ? hsl.lightness * (1.0 + hsl.saturation)
                         : hsl.lightness + hsl.saturation - hsl.lightness * hsl.saturation;
    const double p = 2.0 * hsl.lightness - q;
    const double h = std::fmod(hsl.hue, 360.0) / 360.0;
    return ToByte(HueToChannel(p, q, h + 1.0 / 3.0)) << 16 | ToByte(HueToChannel(p, q, h)) << 8 |
           ToByte(HueToChannel(p, q, h - 1.0 / 3.0));
}

double Clamp01(double value)
{
    return value < 0.0 ? 0.0 : value > 1.0 ? 1.0 : value;
}

} // namespace

uint32_t CGdiPainter::AdjustColor(uint32_t color, int hue, int saturation, int lightness)
{
    if (IsNeutral(hue, saturation, lightness))
        return color;
    Hsl hsl = ToHsl(color);
    hsl.hue += hue - 180;
    if (hsl.hue <= 0.0)
        hsl.hue += 360.0;
    hsl.saturation = Clamp01(hsl.saturation * saturation / 100.0);
    hsl.lightness = Clamp01(hsl.lightness * lightness / 100.0);
    return (color & 0xFF000000u) | ToRgb(hsl);
}

void CGdiPainter::AdjustImage(bool apply, ImageEntry *image, int hue, int saturation, int lightness)
{
    if (image == nullptr || !image->keepsCopy || image->savedBits == nullptr ||
        image->bitmap == nullptr || image->bits == nullptr)
        return;
    const size_t pixelCount = static_cast<size_t>(image->width) * image->height;
    if (!apply || IsNeutral(hue, saturation, lightness)) {
        memcpy(image->bits, image->savedBits, pixelCount * 4);
        return;
    }
    // Pixels are premultiplied: the colour is recoloured at full strength and scaled back
    // by the pixel's own alpha, which the bits keep.
    for (size_t i = 0; i < pixelCount; ++i) {
        const uint8_t *from = image->savedBits + i * 4;
        uint8_t *to = image->bits + i * 4;
        const uint32_t alpha = to[3];
        if (alpha == 0)
            continue;
        uint32_t straight = 0;
        for (int c = 0; c < 3; ++c) {
            uint32_t value = alpha == 255 ? from[c] : from[c] * 255u / alpha;
            straight |= (value > 255 ? 255 : value) << (8 * c);
        }
        const uint32_t adjusted = AdjustColor(straight, hue, saturation, lightness);
        for (int c = 0; c < 3; ++c)
            to[c] = static_cast<uint8_t>(((adjusted >> (8 * c)) & 0xFF) * alpha / 255);
    }
}

} // namespace SkinUI
