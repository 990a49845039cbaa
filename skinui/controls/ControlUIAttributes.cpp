#include "ControlUI.h"

// Skin attributes of the control base. This first version keeps every attribute as a custom
// attribute and stores the colour and border settings; the attribute vocabulary replaces it.

namespace SkinUI {

void CControlUI::SetAttribute(const wchar_t *name, const wchar_t *value)
{
    StoreCustomAttribute(name, value);
}

void CControlUI::SetAttributeList(const wchar_t *) {}

namespace {

bool StoreColor(DWORD &field, DWORD color)
{
    if (field == color)
        return false;
    field = color;
    return true;
}

} // namespace

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

void CControlUI::SetBkImage(const wchar_t *descriptor)
{
    m_bkImage.Clear();
    m_bkImage.text = descriptor;
    Invalidate();
}

} // namespace SkinUI
