#pragma once

#include "ControlUI.h"

#include <windows.h>

namespace SkinUI {

// The text control of the framework and the base of every control that shows text: a text
// colour pair, a font of the window's font table, DrawText format bits, a text padding,
// optional inline markup, a cached size estimate for the layouts, and an optional GDI+
// rendering path with gradient text, glow, outline and drop shadow.
class CLabelUI : public CControlUI
{
public:
    static const wchar_t *const kClassName;

    CLabelUI();
    ~CLabelUI() override;

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
    void SetText(const wchar_t *text) override;
    void SetFixedWidth(int width) override;
    void SetFixedHeight(int height) override;
    void DoEvent(ControlEvent &event) override;
    void SetAttribute(const wchar_t *name, const wchar_t *value) override;
    SIZE GetDesiredSize(SIZE available) override;
    void PaintText(HDC dc) override;

    int GetFont() const { return m_font; }
    UINT GetTextStyle() const { return m_textStyle; }
    RECT GetTextPadding() const { return m_textPadding; }
    DWORD GetTextColor() const { return m_textColor; }
    DWORD GetDisabledTextColor() const { return m_disabledTextColor; }
    void SetTextColor(DWORD color);
    void SetTextPadding(RECT padding);
    void SetShowHtml(bool showHtml);
    void SetMultiLine(bool multiLine);
    void SetEnabledEffect(bool enabled);
    // Places the shadow and glow passes offset pixels away in the direction of the angle
    // (-180 to 180 degrees); other angles are ignored.
    void SetShadowOffset(int offset, int angle);
    // The rectangle the text takes when laid out in the given width minus the padding.
    RECT MeasureText(int width);

protected:
    // Text colour 0 takes the window's default colours, once.
    void TakeDefaultColors();
    RECT TextRect() const;
    void MeasureEstimate();
    // The text measured in rect on the window's paint DC, with or without markup.
    RECT CalcTextRect(RECT rect, UINT style);
    void PaintTextEffect(HDC dc, const RECT &textRect);
    // The text in the label's font and style, with or without markup.
    void DrawPlainOrHtml(HDC dc, RECT rect, DWORD color);

    DWORD m_textColor;
    DWORD m_disabledTextColor;
    int m_font;
    UINT m_textStyle;
    RECT m_textPadding;
    bool m_showHtml;
    SIZE m_lastAvailable;
    SIZE m_estimatedSize;
    bool m_reEstimate;
    float m_luminousFuzzy;
    int m_gradientLength;
    int m_gradientAngle;
    bool m_enabledEffect;
    bool m_enabledLuminous;
    bool m_enabledStroke;
    bool m_enabledShadow;
    DWORD m_textColor1;
    DWORD m_textShadowColorA;
    DWORD m_textShadowColorB;
    DWORD m_strokeColor;
    float m_shadowOffsetX;
    float m_shadowOffsetY;
    ULONG_PTR m_gdiplusToken;
};

} // namespace SkinUI
