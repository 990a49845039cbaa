#pragma once

#include <string>

namespace Utils {

// White space is what iswspace calls space; every routine returns a new text.
std::wstring TrimLeft(const std::wstring &text);
std::wstring TrimRight(const std::wstring &text);
std::wstring Trim(const std::wstring &text);

// Code-page conversion: 0 is the system ANSI code page, 65001 UTF-8. The source is taken up
// to its first zero character; a failed conversion gives the empty text.
std::wstring AnsiToWide(const char *text, unsigned int codePage);
std::wstring ToWideString(const std::string &text, unsigned int codePage);
std::string WideToAnsi(const wchar_t *text, unsigned int codePage);
std::string ToNarrowString(const std::wstring &text, unsigned int codePage);

} // namespace Utils
