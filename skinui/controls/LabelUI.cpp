#include "LabelUI.h"

#include "GdiPainter.h"
#include "TextStyleWords.h"
#include "ValueText.h"
#include "WindowManagerUI.h"

#include <gdiplus.h>

#include <cwchar>

namespace SkinUI {

const wchar_t *const CLabelUI::kClassName = L"Label";

namespace {

const UINT kHorizontalAlignment = DT_CENTER | DT_RIGHT;

using ValueText::Is;

int WidthOf(const RECT &rect)
{
    return rect.right - rect.left;
}

int HeightOf(const RECT &rect)
{
    return rect.bottom - rect.top;
}

} // namespace

// Every label starts GDI+ for itself, so that the effect path can draw whenever the skin
// switches it on; GDI+ counts its start-ups.
CLabelUI::CLabelUI()
    : m_textColor(0), m_disabledTextColor(0), m_font(-1),
      m_textStyle(DT_VCENTER | DT_SINGLELINE), m_textPadding{0, 0, 0, 0},
      m_showHtml(false), m_lastAvailable{0, 0}, m_estimatedSize{0, 0}, m_reEstimate(true),
      m_luminousFuzzy(3.0f), m_gradientLength(0), m_gradientAngle(0), m_enabledEffect(false),
      m_enabledLuminous(false), m_enabledStroke(false), m_enabledShadow(false),
      m_textColor1(0xFFFFFFFF), m_textShadowColorA(0xFF000000), m_textShadowColorB(0xFFFFFFFF),
      m_strokeColor(0), m_shadowOffsetX(0.0f), m_shadowOffsetY(0.0f), m_gdiplusToken(0)
{
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&m_gdiplusToken, &input, nullptr) != Gdiplus::Ok)
        m_gdiplusToken = 0;
}

CLabelUI::~CLabelUI()
{
    if (m_gdiplusToken != 0)
        Gdiplus::GdiplusShutdown(m_gdiplusToken);
}

const wchar_t *CLabelUI::GetClass() const
{
    return kClassName;
}

void *CLabelUI::GetInterface(const wchar_t *name)
{
    if (name && wcscmp(name, kClassName) == 0)
        return this;
    return CControlUI::GetInterface(name);
}

void CLabelUI::SetText(const wchar_t *text)
{
    CControlUI::SetText(text);
    m_reEstimate = true;
}

void CLabelUI::SetFixedWidth(int width)
{
    m_reEstimate = true;
    CControlUI::SetFixedWidth(width);
}

void CLabelUI::SetFixedHeight(int height)
{
    m_reEstimate = true;
    CControlUI::SetFixedHeight(height);
}

// A label takes the focus without showing it.
void CLabelUI::DoEvent(ControlEvent &event)
{
    if (event.type == EventSetFocus || event.type == EventKillFocus) {
        m_focused = event.type == EventSetFocus;
        return;
    }
    CControlUI::DoEvent(event);
}

void CLabelUI::SetTextColor(DWORD color)
{
    m_textColor = color;
    Invalidate();
}

void CLabelUI::SetTextPadding(RECT padding)
{
    m_reEstimate = true;
    m_textPadding = padding;
    Invalidate();
}

void CLabelUI::SetShowHtml(bool showHtml)
{
    if (m_showHtml == showHtml)
        return;
    m_showHtml = showHtml;
    m_reEstimate = true;
    Invalidate();
}

void CLabelUI::SetMultiLine(bool multiLine)
{
    m_reEstimate = true;
    TextStyleWords::ApplyMultiLine(m_textStyle, multiLine);
}

void CLabelUI::SetEnabledEffect(bool enabled)
{
    m_enabledEffect = enabled;
    Invalidate();
}

// The vertical displacement goes to X and the horizontal one to Y, as skins written for
// this label expect.
void CLabelUI::SetShadowOffset(int offset, int angle)
{
    if (angle > 180 || angle < -180)
        return;
    int vertical = m_itemRect.top;
    if (angle >= 0)
        vertical = m_itemRect.top - offset;
    else if (angle > -180)
        vertical = m_itemRect.top + offset;
    int horizontal = m_itemRect.left;
    if (angle >= -89 && angle <= 90)
        horizontal = m_itemRect.left - offset;
    else if (angle != -90)
        horizontal = m_itemRect.left + offset;
    m_shadowOffsetX = static_cast<float>(vertical);
    m_shadowOffsetY = static_cast<float>(horizontal);
    Invalidate();
}

void CLabelUI::SetAttribute(const wchar_t *name, const wchar_t *value)
{
    if (name == nullptr || value == nullptr)
        return;
    if (Is(name, L"align")) {
        TextStyleWords::ApplyHorizontal(m_textStyle, value);
    } else if (Is(name, L"valign")) {
        TextStyleWords::ApplyVertical(m_textStyle, value);
    } else if (Is(name, L"endellipsis")) {
        TextStyleWords::ApplyEndEllipsis(m_textStyle, ValueText::IsTrue(value));
    } else if (Is(name, L"font")) {
        m_font = ValueText::ReadInteger(value);
        m_reEstimate = true;
        Invalidate();
    } else if (Is(name, L"textcolor")) {
        SetTextColor(ValueText::ReadHexColor(value));
    } else if (Is(name, L"disabledtextcolor")) {
        m_disabledTextColor = ValueText::ReadHexColor(value);
        Invalidate();
    } else if (Is(name, L"textpadding")) {
        int numbers[4];
        ValueText::ReadIntegerList(value, numbers, 4);
        SetTextPadding(RECT{numbers[0], numbers[1], numbers[2], numbers[3]});
    } else if (Is(name, L"multiline")) {
        SetMultiLine(ValueText::IsTrue(value));
    } else if (Is(name, L"showhtml")) {
        SetShowHtml(ValueText::IsTrue(value));
    } else if (Is(name, L"enabledeffect")) {
        SetEnabledEffect(ValueText::IsTrue(value));
    } else if (Is(name, L"enabledluminous")) {
        m_enabledLuminous = ValueText::IsTrue(value);
        Invalidate();
    } else if (Is(name, L"luminousfuzzy")) {
        double fuzzy = 0.0;
        ValueText::ReadDecimalList(value, &fuzzy, 1);
        if (fuzzy >= 0.0001) {
            m_luminousFuzzy = static_cast<float>(fuzzy);
            Invalidate();
        }
    } else if (Is(name, L"gradientangle")) {
        m_gradientAngle = ValueText::ReadInteger(value);
        Invalidate();
    } else if (Is(name, L"enabledstroke")) {
        m_enabledStroke = ValueText::IsTrue(value);
        Invalidate();
    } else if (Is(name, L"enabledshadow")) {
        m_enabledShadow = ValueText::IsTrue(value);
        Invalidate();
    } else if (Is(name, L"gradientlength")) {
        m_gradientLength = ValueText::ReadInteger(value);
        Invalidate();
    } else if (Is(name, L"shadowoffset")) {
        int numbers[2];
        ValueText::ReadIntegerList(value, numbers, 2);
        SetShadowOffset(numbers[0], numbers[1]);
    } else if (Is(name, L"textcolor1")) {
        m_textColor1 = ValueText::ReadHexColor(value);
        Invalidate();
    } else if (Is(name, L"textshadowcolora")) {
        m_textShadowColorA = ValueText::ReadHexColor(value);
        Invalidate();
    } else if (Is(name, L"textshadowcolorb")) {
        m_textShadowColorB = ValueText::ReadHexColor(value);
        Invalidate();
    } else if (Is(name, L"strokecolor")) {
        m_strokeColor = ValueText::ReadHexColor(value);
        Invalidate();
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

RECT CLabelUI::CalcTextRect(RECT rect, UINT style)
{
    if (m_manager == nullptr)
        return rect;
    HDC dc = m_manager->GetPaintDC();
    if (m_showHtml) {
        int noLinks = 0;
        CGdiPainter::DrawHtmlText(dc, m_manager, rect, m_text.GetData(), 0, nullptr, nullptr,
                                  noLinks, m_font, style | DT_CALCRECT);
        return rect;
    }
    return CGdiPainter::CalcTextRect(dc, m_manager, rect, m_text.GetData(), m_font, style);
}

RECT CLabelUI::MeasureText(int width)
{
    const int right = (width > m_fixedSize.cx ? width : m_fixedSize.cx) - m_textPadding.right;
    return CalcTextRect(RECT{m_textPadding.left, 0, right, 9999},
                        m_showHtml ? m_textStyle & ~kHorizontalAlignment : m_textStyle);
}

SIZE CLabelUI::GetDesiredSize(SIZE available)
{
    if (m_fixedSize.cx > 0 && m_fixedSize.cy > 0)
        return m_fixedSize;
    if (m_manager == nullptr)
        return m_fixedSize;
    if ((m_textStyle & DT_SINGLELINE) == 0 &&
        (available.cx != m_lastAvailable.cx || available.cy != m_lastAvailable.cy))
        m_reEstimate = true;
    if (m_reEstimate) {
        m_lastAvailable = available;
        m_estimatedSize = m_fixedSize;
        m_reEstimate = false;
        MeasureEstimate();
    }
    return m_estimatedSize;
}

void CLabelUI::MeasureEstimate()
{
    const RECT &padding = m_textPadding;
    SIZE &size = m_estimatedSize;
    RECT area;
    if (m_textStyle & DT_SINGLELINE) {
        if (size.cy == 0)
            size.cy =
                padding.top + padding.bottom + m_manager->GetFontInfo(m_font)->metrics.tmHeight + 8;
        if (size.cx != 0)
            return;
        area = RECT{0, 0, 9999, size.cy};
    } else {
        if (size.cx == 0)
            size.cx = m_lastAvailable.cx;
        area = RECT{padding.left, 0, size.cx - padding.right, 9999};
    }
    const RECT measured = CalcTextRect(area, m_textStyle & ~kHorizontalAlignment);
    if (m_textStyle & DT_SINGLELINE)
        size.cx = padding.left + padding.right + WidthOf(measured);
    else
        size.cy = padding.top + padding.bottom + HeightOf(measured);
}

void CLabelUI::TakeDefaultColors()
{
    if (m_manager == nullptr)
        return;
    if (m_textColor == 0)
        m_textColor = m_manager->GetDefaultFontColor();
    if (m_disabledTextColor == 0)
        m_disabledTextColor = m_manager->GetDefaultDisabledColor();
}

RECT CLabelUI::TextRect() const
{
    return RECT{m_itemRect.left + m_textPadding.left, m_itemRect.top + m_textPadding.top,
                m_itemRect.right - m_textPadding.right, m_itemRect.bottom - m_textPadding.bottom};
}

void CLabelUI::PaintText(HDC dc)
{
    if (m_manager == nullptr)
        return;
    TakeDefaultColors();
    RECT rect = TextRect();

    // DrawTextW places only single lines vertically and the markup routine places its text
    // itself; wrapped plain text is measured and lowered here.
    const bool wrappedPlain = !m_showHtml && (m_textStyle & DT_SINGLELINE) == 0;
    if (wrappedPlain && (m_textStyle & (DT_VCENTER | DT_BOTTOM)) != 0) {
        // MeasureText takes the padding off the width it is given.
        const int freeHeight = HeightOf(rect) - HeightOf(MeasureText(WidthOf(m_itemRect)));
        if (freeHeight > 0)
            rect.top += (m_textStyle & DT_VCENTER) ? freeHeight / 2 : freeHeight;
    }

    if (m_text.IsEmpty())
        return;
    if (m_enabledEffect) {
        PaintTextEffect(dc, rect);
        return;
    }
    DrawPlainOrHtml(dc, rect, IsEnabled() ? m_textColor : m_disabledTextColor);
}

void CLabelUI::DrawPlainOrHtml(HDC dc, RECT rect, DWORD color)
{
    if (m_showHtml) {
        int noLinks = 0;
        CGdiPainter::DrawHtmlText(dc, m_manager, rect, m_text.GetData(), color, nullptr, nullptr,
                                  noLinks, m_font, m_textStyle);
    } else {
        CGdiPainter::DrawText(dc, m_manager, rect, m_text.GetData(), color, m_font, m_textStyle);
    }
}

} // namespace SkinUI
