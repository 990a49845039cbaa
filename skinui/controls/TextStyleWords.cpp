#include "TextStyleWords.h"

#include <cwchar>

namespace SkinUI {

namespace TextStyleWords {

namespace {

bool Contains(const wchar_t *text, const wchar_t *word)
{
    return text != nullptr && wcsstr(text, word) != nullptr;
}

void SetBits(UINT &style, UINT set, UINT clear)
{
    style = (style & ~clear) | set;
}

} // namespace

void ApplyHorizontal(UINT &style, const wchar_t *value)
{
    if (Contains(value, L"left"))
        SetBits(style, 0, DT_CENTER | DT_RIGHT);
    if (Contains(value, L"center"))
        SetBits(style, DT_CENTER, DT_RIGHT);
    if (Contains(value, L"right"))
        SetBits(style, DT_RIGHT, DT_CENTER);
}

void ApplyVertical(UINT &style, const wchar_t *value)
{
    if (Contains(value, L"top"))
        SetBits(style, 0, DT_VCENTER | DT_BOTTOM);
    if (Contains(value, L"vcenter"))
        SetBits(style, DT_VCENTER, DT_BOTTOM);
    if (Contains(value, L"bottom"))
        SetBits(style, DT_BOTTOM, DT_VCENTER);
}

void ApplyEndEllipsis(UINT &style, bool endEllipsis)
{
    if (endEllipsis)
        style |= DT_END_ELLIPSIS;
    else
        style &= ~DT_END_ELLIPSIS;
}

void ApplyMultiLine(UINT &style, bool multiLine)
{
    if (multiLine)
        SetBits(style, DT_WORDBREAK, DT_SINGLELINE);
    else
        style |= DT_SINGLELINE;
}

} // namespace TextStyleWords

} // namespace SkinUI
