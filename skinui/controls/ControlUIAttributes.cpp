#include "ControlUI.h"

#include "ValueText.h"
#include "GdiPainter.h"

#include <cwchar>

// Skin attributes of the control base: the vocabulary every control shares, and the colour,
// border and background-image setters behind it.

namespace SkinUI {

namespace {

RECT ReadRect(const wchar_t *text)
{
    int numbers[4];
    ValueText::ReadIntegerList(text, numbers, 4);
    return RECT{numbers[0], numbers[1], numbers[2], numbers[3]};
}

// "bkcolor" skips leading blanks (codes 1 to 32) before the optional "#".
DWORD ReadBackgroundColor(const wchar_t *text)
{
    while (*text != L'\0' && *text <= L' ')
        ++text;
    return ValueText::ReadHexColor(text);
}

bool StoreColor(DWORD &field, DWORD color)
{
    if (field == color)
        return false;
    field = color;
    return true;
}

using ValueText::Is;

} // namespace

void CControlUI::SetAttribute(const wchar_t *name, const wchar_t *value)
{
    if (name == nullptr || value == nullptr)
        return;
    if (Is(name, L"pos")) {
        int numbers[4];
        ValueText::ReadIntegerList(value, numbers, 4);
        SetFloatOffset(POINT{numbers[0], numbers[1]});
        SetFixedWidth(numbers[2] - numbers[0]);
        SetFixedHeight(numbers[3] - numbers[1]);
    } else if (Is(name, L"padding")) {
        SetPadding(ReadRect(value));
    } else if (Is(name, L"bkcolor") || Is(name, L"bkcolor1")) {
        SetBkColor(ReadBackgroundColor(value));
    } else if (Is(name, L"bkcolor2")) {
        SetBkColor2(ReadBackgroundColor(value));
    } else if (Is(name, L"bkcolor3")) {
        SetBkColor3(ReadBackgroundColor(value));
    } else if (Is(name, L"bordercolor")) {
        SetBorderColor(ValueText::ReadHexColor(value));
    } else if (Is(name, L"focusbordercolor")) {
        SetFocusBorderColor(ValueText::ReadHexColor(value));
    } else if (Is(name, L"colorhsl")) {
        SetColorHsl(ValueText::IsTrue(value));
    } else if (Is(name, L"bordersize")) {
        if (wcschr(value, L',') != nullptr)
            SetBorderSize(ReadRect(value));
        else
            SetBorderSize(ValueText::ReadInteger(value));
    } else if (Is(name, L"borderstyle")) {
        SetBorderStyle(ValueText::ReadInteger(value));
    } else if (Is(name, L"borderround")) {
        int round[2];
        ValueText::ReadIntegerList(value, round, 2);
        SetBorderRound(SIZE{round[0], round[1]});
    } else if (Is(name, L"bkimage")) {
        SetBkImage(value);
    } else if (Is(name, L"width")) {
        SetFixedWidth(ValueText::ReadInteger(value));
    } else if (Is(name, L"height")) {
        SetFixedHeight(ValueText::ReadInteger(value));
    } else if (Is(name, L"minwidth")) {
        SetMinWidth(ValueText::ReadInteger(value));
    } else if (Is(name, L"minheight")) {
        SetMinHeight(ValueText::ReadInteger(value));
    } else if (Is(name, L"maxwidth")) {
        SetMaxWidth(ValueText::ReadInteger(value));
    } else if (Is(name, L"maxheight")) {
        SetMaxHeight(ValueText::ReadInteger(value));
    } else if (Is(name, L"name")) {
        SetName(value);
    } else if (Is(name, L"text")) {
        SetText(value);
    } else if (Is(name, L"tooltip")) {
        SetToolTip(value);
    } else if (Is(name, L"userdata")) {
        SetUserData(value);
    } else if (Is(name, L"tag")) {
        SetTag(static_cast<UINT_PTR>(ValueText::ReadInteger(value)));
    } else if (Is(name, L"enabled")) {
        SetEnabled(ValueText::IsTrue(value));
    } else if (Is(name, L"mouse")) {
        SetMouseEnabled(ValueText::IsTrue(value));
    } else if (Is(name, L"keyboard")) {
        SetKeyboardEnabled(ValueText::IsTrue(value));
    } else if (Is(name, L"visible")) {
        SetVisible(ValueText::IsTrue(value));
    } else if (Is(name, L"float")) {
        if (wcschr(value, L',') != nullptr) {
            double ratios[4];
            ValueText::ReadDecimalList(value, ratios, 4);
            SetFloatRatios(FloatRatios{ratios[0], ratios[1], ratios[2], ratios[3]});
            SetFloat(true);
        } else {
            SetFloat(ValueText::IsTrue(value));
        }
    } else if (Is(name, L"shortcut")) {
        SetShortcut(value[0]);
    } else if (Is(name, L"menu")) {
        SetMenuEnabled(ValueText::IsTrue(value));
    } else if (Is(name, L"virtualwnd")) {
        SetVirtualWnd(value);
    } else {
        StoreCustomAttribute(name, value);
    }
}

// Pairs name="value" separated by single spaces. Anything that does not fit ends the
// reading; pairs already applied stay applied. A value cannot hold a double quote.
void CControlUI::SetAttributeList(const wchar_t *list)
{
    if (list == nullptr)
        return;
    const wchar_t *p = list;
    while (*p != L'\0') {
        const wchar_t *nameEnd = wcschr(p, L'=');
        if (nameEnd == nullptr || nameEnd[1] != L'"')
            return;
        const wchar_t *valueStart = nameEnd + 2;
        const wchar_t *valueEnd = wcschr(valueStart, L'"');
        if (valueEnd == nullptr)
            return;
        CWideString name(p, static_cast<int>(nameEnd - p));
        CWideString value(valueStart, static_cast<int>(valueEnd - valueStart));
        SetAttribute(name.GetData(), value.GetData());
        if (valueEnd[1] != L' ' || valueEnd[2] == L'\0')
            return;
        p = valueEnd + 2;
    }
}

void CControlUI::SetBkColor(DWORD color)
{
    if (StoreColor(m_bkColor1, color))
        Invalidate();
}

void CControlUI::SetBkColor2(DWORD color)
{
    if (StoreColor(m_bkColor2, color))
        Invalidate();
}

void CControlUI::SetBkColor3(DWORD color)
{
    if (StoreColor(m_bkColor3, color))
        Invalidate();
}

void CControlUI::SetBorderColor(DWORD color)
{
    if (StoreColor(m_borderColor, color))
        Invalidate();
}

void CControlUI::SetFocusBorderColor(DWORD color)
{
    if (StoreColor(m_focusBorderColor, color))
        Invalidate();
}

void CControlUI::SetColorHsl(bool colorHsl)
{
    if (m_colorHsl == colorHsl)
        return;
    m_colorHsl = colorHsl;
    Invalidate();
}

void CControlUI::SetBorderSize(int size)
{
    m_borderSize = RECT{size, size, size, size};
    Invalidate();
}

void CControlUI::SetBorderSize(RECT sizes)
{
    m_borderSize = sizes;
    Invalidate();
}

void CControlUI::SetBorderStyle(int style)
{
    m_borderStyle = style;
    Invalidate();
}

void CControlUI::SetBorderRound(SIZE round)
{
    m_borderRound = round;
    Invalidate();
}

void CControlUI::SetImageText(ImageDescriptor &descriptor, const wchar_t *text)
{
    if (descriptor.SetText(text != nullptr ? text : L""))
        Invalidate();
}

// The descriptor is parsed and its image loaded at once, so that a floating control
// without a size of its own can take the image's.
void CControlUI::SetBkImage(const wchar_t *descriptor)
{
    if (descriptor == nullptr)
        descriptor = L"";
    if (!m_bkImage.SetText(descriptor))
        return;
    CGdiPainter::DrawImageDescriptor(nullptr, m_manager, m_itemRect, m_paintRect, m_bkImage);
    if (m_float && m_fixedSize.cx == 0 && m_fixedSize.cy == 0 && m_bkImage.image != nullptr) {
        SetFixedWidth(m_bkImage.image->width);
        SetFixedHeight(m_bkImage.image->height);
    }
    Invalidate();
}

} // namespace SkinUI
