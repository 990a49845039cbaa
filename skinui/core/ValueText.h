#pragma once

#include <cstdint>

namespace SkinUI {

// Readers of the number formats of skin attributes and descriptor values.
namespace ValueText {

// A decimal integer: leading white space and a sign allowed, reading stops at the first
// other character, no number gives 0. Out-of-range values saturate.
int ReadInteger(const wchar_t *text);

// Up to count decimal integers, each followed by exactly one separator character ("10,10").
// A list that ends early leaves the missing values 0: the reader never steps over the
// terminator. Returns how many numbers were read.
int ReadIntegerList(const wchar_t *text, int *values, int count);

// The same for floating-point numbers ("0.5,0,0.5,0").
int ReadDecimalList(const wchar_t *text, double *values, int count);

// An unsigned hexadecimal colour after one optional leading "#" (FF000000, #FFFFFFFF).
uint32_t ReadHexColor(const wchar_t *text);

// Booleans of the skin are true only for the exact text "true".
bool IsTrue(const wchar_t *text);

// An attribute name against the one expected, to the letter.
bool Is(const wchar_t *name, const wchar_t *expected);

} // namespace ValueText

} // namespace SkinUI
