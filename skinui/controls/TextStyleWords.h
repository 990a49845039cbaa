#pragma once

#include <windows.h>

namespace SkinUI {

// The words of the text-alignment attributes ("align", "valign", "itemalign" ...), turned
// into DrawText format bits.
namespace TextStyleWords {

// "left", "center" and "right" anywhere in the value, tested in this order, so that the
// last one found wins; a value with none of them changes nothing.
void ApplyHorizontal(UINT &style, const wchar_t *value);
// The same for "top", "vcenter" and "bottom".
void ApplyVertical(UINT &style, const wchar_t *value);
void ApplyEndEllipsis(UINT &style, bool endEllipsis);
// Multi-line text breaks at words; single-line text leaves the word-break bit as it was.
void ApplyMultiLine(UINT &style, bool multiLine);

} // namespace TextStyleWords

} // namespace SkinUI
