#include "ProgressUI.h"

#include "ValueText.h"

#include <climits>
#include <cwchar>

namespace SkinUI {

const wchar_t *const CProgressUI::kClassName = L"Progress";

namespace {

using ValueText::Is;

} // namespace

CProgressUI::CProgressUI() : m_horizontal(true), m_max(100), m_min(0), m_value(0)
{
    m_textStyle = DT_CENTER | DT_SINGLELINE;
    SetFixedHeight(12);
}

const wchar_t *CProgressUI::GetClass() const
{
    return kClassName;
}

void *CProgressUI::GetInterface(const wchar_t *name)
{
    if (name && wcscmp(name, kClassName) == 0)
        return this;
    return CLabelUI::GetInterface(name);
}

void CProgressUI::SetValue(int value)
{
    if (value > m_max)
        value = m_max;
    if (value < m_min)
        value = m_min;
    m_value = value;
    Invalidate();
}

void CProgressUI::SetForeImage(const wchar_t *descriptor)
{
    SetImageText(m_fillImage, descriptor);
}

void CProgressUI::SetAttribute(const wchar_t *name, const wchar_t *value)
{
    if (name == nullptr || value == nullptr)
        return;
    if (Is(name, L"foreimage")) {
        SetForeImage(value);
    } else if (Is(name, L"hor")) {
        const bool horizontal = ValueText::IsTrue(value);
        if (horizontal != m_horizontal) {
            m_horizontal = horizontal;
            Invalidate();
        }
    } else if (Is(name, L"min")) {
        m_min = ValueText::ReadInteger(value);
        Invalidate();
    } else if (Is(name, L"max")) {
        m_max = ValueText::ReadInteger(value);
        Invalidate();
    } else if (Is(name, L"value")) {
        SetValue(ValueText::ReadInteger(value));
    } else {
        CLabelUI::SetAttribute(name, value);
    }
}

long long CProgressUI::Range() const
{
    const long long range = static_cast<long long>(m_max) - m_min;
    return range > 0 ? range : 1;
}

void CProgressUI::RepairRange()
{
    if (m_max <= m_min) {
        if (m_min == INT_MAX)
            m_min = INT_MAX - 1;
        m_max = m_min + 1;
    }
    if (m_value > m_max)
        m_value = m_max;
    if (m_value < m_min)
        m_value = m_min;
}

// Products are taken in 64 bits: a wide bar times a large range would overflow 32.
void CProgressUI::PaintStateImage(HDC dc)
{
    RepairRange();
    const long long width = m_itemRect.right - m_itemRect.left;
    const long long height = m_itemRect.bottom - m_itemRect.top;
    RECT fill = {0, 0, 0, static_cast<LONG>(height)};
    if (m_horizontal) {
        fill.right = static_cast<LONG>(width * (static_cast<long long>(m_value) - m_min) / Range());
    } else {
        fill.top = static_cast<LONG>((static_cast<long long>(m_max) - m_value) * height / Range());
        fill.right = static_cast<LONG>(width);
    }
    DrawImageAt(dc, m_fillImage, fill);
}

} // namespace SkinUI
