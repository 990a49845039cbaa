#include "LabelUI.h"

#include "WindowManagerUI.h"

#include <gdiplus.h>

// The label's GDI+ text path: gradient text with an optional glow, outline and drop
// shadow, drawn through the flat GDI+ interface.

namespace SkinUI {

namespace {

namespace Gp = Gdiplus::DllExports;
using Gdiplus::ARGB;
using Gdiplus::GpStatus;

// One GDI+ object, released by its own release function.
template <typename T, typename Base, GpStatus(WINGDIPAPI *Release)(Base *)> class GdipObject
{
public:
    GdipObject() = default;
    GdipObject(const GdipObject &) = delete;
    GdipObject &operator=(const GdipObject &) = delete;
    ~GdipObject()
    {
        if (m_object)
            Release(m_object);
    }

    T **Out() { return &m_object; }
    T *Get() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

private:
    T *m_object = nullptr;
};

using Graphics = GdipObject<Gdiplus::GpGraphics, Gdiplus::GpGraphics, &Gp::GdipDeleteGraphics>;
using GradientBrush = GdipObject<Gdiplus::GpLineGradient, Gdiplus::GpBrush, &Gp::GdipDeleteBrush>;
using Bitmap = GdipObject<Gdiplus::GpBitmap, Gdiplus::GpImage, &Gp::GdipDisposeImage>;
using Font = GdipObject<Gdiplus::GpFont, Gdiplus::GpFont, &Gp::GdipDeleteFont>;
using StringFormat =
    GdipObject<Gdiplus::GpStringFormat, Gdiplus::GpStringFormat, &Gp::GdipDeleteStringFormat>;

const ARGB kNoSecondColor = 0xFFFFFFFF;

// A brush from (angle, 0) to (0, length), repeated beyond its ends. Both ends on one point
// make no gradient, and no brush.
void CreateGradient(GradientBrush &brush, int angle, int length, ARGB first, ARGB second)
{
    const Gdiplus::PointF from(static_cast<float>(angle), 0.0f);
    const Gdiplus::PointF to(0.0f, static_cast<float>(length));
    Gp::GdipCreateLineBrush(&from, &to, first, second, Gdiplus::WrapModeTile, brush.Out());
}

void MakeFont(Font &font, HDC dc, HFONT windowFont)
{
    LOGFONTA logFont = {};
    if (windowFont && GetObjectA(windowFont, sizeof(logFont), &logFont) == sizeof(logFont) &&
        Gp::GdipCreateFontFromLogfontA(dc, &logFont, font.Out()) == Gdiplus::Ok)
        return;
    Gp::GdipCreateFontFromDC(dc, font.Out());
}

void CreateFormat(StringFormat &format, UINT style)
{
    if (Gp::GdipCreateStringFormat(0, LANG_NEUTRAL, format.Out()) != Gdiplus::Ok)
        return;
    Gdiplus::StringAlignment line = Gdiplus::StringAlignmentNear;
    if (style & DT_VCENTER)
        line = Gdiplus::StringAlignmentCenter;
    else if (style & DT_BOTTOM)
        line = Gdiplus::StringAlignmentFar;
    Gdiplus::StringAlignment alignment = Gdiplus::StringAlignmentNear;
    if (style & DT_CENTER)
        alignment = Gdiplus::StringAlignmentCenter;
    else if (style & DT_RIGHT)
        alignment = Gdiplus::StringAlignmentFar;
    Gp::GdipSetStringFormatLineAlign(format.Get(), line);
    Gp::GdipSetStringFormatAlign(format.Get(), alignment);
}

// What every pass of one paint shares.
struct TextPass
{
    Gdiplus::GpGraphics *graphics;
    const wchar_t *text;
    const Font &font;
    const StringFormat &format;
};

void DrawString(const TextPass &pass, const Gdiplus::RectF &layout, const GradientBrush &brush)
{
    if (!brush)
        return;
    Gp::GdipDrawString(pass.graphics, pass.text, -1, pass.font.Get(), &layout, pass.format.Get(),
                       brush.Get());
}

// The glow: the text drawn at full size, shrunk by the fuzzy factor and stretched back, so
// that it comes out blurred, then laid under the text at the shadow offset.
void DrawGlow(const TextPass &pass, const Gdiplus::RectF &layout, const GradientBrush &brush,
              float fuzzy, POINT offset)
{
    const int width = static_cast<int>(layout.Width);
    const int height = static_cast<int>(layout.Height);
    if (width <= 0 || height <= 0 || !brush)
        return;
    int smallWidth = static_cast<int>(width / fuzzy);
    int smallHeight = static_cast<int>(height / fuzzy);
    smallWidth = smallWidth < 1 ? 1 : smallWidth;
    smallHeight = smallHeight < 1 ? 1 : smallHeight;

    Bitmap full;
    Bitmap reduced;
    Graphics fullGraphics;
    Graphics reducedGraphics;
    if (Gp::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr,
                                      full.Out()) != Gdiplus::Ok ||
        Gp::GdipCreateBitmapFromScan0(smallWidth, smallHeight, 0, PixelFormat32bppARGB, nullptr,
                                      reduced.Out()) != Gdiplus::Ok ||
        Gp::GdipGetImageGraphicsContext(full.Get(), fullGraphics.Out()) != Gdiplus::Ok ||
        Gp::GdipGetImageGraphicsContext(reduced.Get(), reducedGraphics.Out()) != Gdiplus::Ok)
        return;
    Gp::GdipSetSmoothingMode(fullGraphics.Get(), Gdiplus::SmoothingModeAntiAlias);
    Gp::GdipSetTextRenderingHint(fullGraphics.Get(), Gdiplus::TextRenderingHintAntiAlias);
    Gp::GdipSetCompositingQuality(fullGraphics.Get(), Gdiplus::CompositingQualityAssumeLinear);
    Gp::GdipSetInterpolationMode(reducedGraphics.Get(),
                                 Gdiplus::InterpolationModeHighQualityBicubic);
    Gp::GdipSetPixelOffsetMode(reducedGraphics.Get(), Gdiplus::PixelOffsetModeNone);

    const TextPass inBitmap = {fullGraphics.Get(), pass.text, pass.font, pass.format};
    DrawString(inBitmap,
               Gdiplus::RectF(0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height)),
               brush);
    Gp::GdipDrawImageRectI(reducedGraphics.Get(), full.Get(), 0, 0, smallWidth, smallHeight);
    Gp::GdipGraphicsClear(fullGraphics.Get(), 0);
    Gp::GdipDrawImageRectI(fullGraphics.Get(), reduced.Get(), offset.x, offset.y, width, height);
    Gp::GdipDrawImageRectI(pass.graphics, full.Get(), static_cast<int>(layout.X),
                           static_cast<int>(layout.Y), width, height);
}

} // namespace

void CLabelUI::PaintTextEffect(HDC dc, const RECT &textRect)
{
    if (m_gdiplusToken == 0 || m_manager == nullptr)
        return;
    CWideString text(m_text);
    CWindowManagerUI::ReplaceLanguageTokens(text);

    Font font;
    MakeFont(font, dc, m_manager->GetFont(m_font));
    Graphics graphics;
    if (!font || Gp::GdipCreateFromHDC(dc, graphics.Out()) != Gdiplus::Ok)
        return;
    Gp::GdipSetTextRenderingHint(graphics.Get(), Gdiplus::TextRenderingHintAntiAlias);
    StringFormat format;
    CreateFormat(format, m_textStyle);
    if (!format)
        return;

    const Gdiplus::RectF layout(static_cast<float>(textRect.left), static_cast<float>(textRect.top),
                                static_cast<float>(textRect.right - textRect.left),
                                static_cast<float>(textRect.bottom - textRect.top));
    const int textHeight = textRect.bottom - textRect.top;
    const int length = m_gradientLength != 0 ? m_gradientLength : textHeight;
    GradientBrush textBrush;
    CreateGradient(textBrush, m_gradientAngle, length, m_textColor,
                   m_textColor1 == kNoSecondColor ? m_textColor : m_textColor1);
    const TextPass pass = {graphics.Get(), text.GetData(), font, format};

    if (m_enabledLuminous)
        DrawGlow(pass, layout, textBrush, m_luminousFuzzy,
                 POINT{static_cast<int>(m_shadowOffsetX), static_cast<int>(m_shadowOffsetY)});

    if (m_enabledStroke && m_strokeColor != 0) {
        GradientBrush strokeBrush;
        CreateGradient(strokeBrush, m_gradientAngle, textHeight + 2, m_strokeColor, m_strokeColor);
        const POINT offsets[] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
        for (const POINT &offset : offsets) {
            Gdiplus::RectF moved = layout;
            moved.X += static_cast<float>(offset.x);
            moved.Y += static_cast<float>(offset.y);
            DrawString(pass, moved, strokeBrush);
        }
    }

    if (m_enabledShadow && (m_textShadowColorA != 0 || m_textShadowColorB != 0)) {
        GradientBrush shadowBrush;
        CreateGradient(shadowBrush, m_gradientAngle, length, m_textShadowColorA,
                       m_textShadowColorB == kNoSecondColor ? m_textShadowColorA
                                                            : m_textShadowColorB);
        Gdiplus::RectF shadow = layout;
        shadow.X += m_shadowOffsetX;
        shadow.Y += m_shadowOffsetY;
        DrawString(pass, shadow, shadowBrush);
    }

    DrawString(pass, layout, textBrush);
}

} // namespace SkinUI
