#pragma once

#include <windows.h>

namespace SkinUI {

// Readers of the value texts of skin attributes.
namespace AttributeValue {

// Reads up to count decimal integers, each followed by one separator character ("10,20").
// A list that ends early leaves the missing values 0; reading never passes the terminator.
// Returns the number of values actually read.
int ReadIntegers(const wchar_t *text, long *values, int count);
// The same for decimal fractions ("0.5,0,0.5,0").
int ReadDoubles(const wchar_t *text, double *values, int count);
RECT ReadRect(const wchar_t *text);
SIZE ReadSize(const wchar_t *text);
// An unsigned hexadecimal colour 0xAARRGGBB after one optional leading "#".
DWORD ReadHexColor(const wchar_t *text);
// True only for the exact text "true".
bool ReadBool(const wchar_t *text);

} // namespace AttributeValue

} // namespace SkinUI
