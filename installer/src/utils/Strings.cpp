#include "utils/Strings.h"

#include <windows.h>

#include <cwctype>
#include <new>

namespace Utils {

std::wstring TrimLeft(const std::wstring &text)
{
    std::size_t first = 0;
    while (first < text.size() && std::iswspace(text[first])) {
        ++first;
    }
    return text.substr(first);
}

std::wstring TrimRight(const std::wstring &text)
{
    std::size_t end = text.size();
    while (end > 0 && std::iswspace(text[end - 1])) {
        --end;
    }
    return text.substr(0, end);
}

std::wstring Trim(const std::wstring &text)
{
    return TrimLeft(TrimRight(text));
}

std::wstring AnsiToWide(const char *text, unsigned int codePage)
{
    if (text == nullptr) {
        return std::wstring();
    }
    const int size = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (size <= 0) {
        return std::wstring();
    }
    try {
        std::wstring buffer(static_cast<std::size_t>(size), L'\0');
        if (MultiByteToWideChar(codePage, 0, text, -1, &buffer[0], size) <= 0) {
            return std::wstring();
        }
        return std::wstring(buffer.c_str());
    } catch (const std::bad_alloc &) {
        return std::wstring();
    }
}

std::wstring ToWideString(const std::string &text, unsigned int codePage)
{
    return AnsiToWide(text.c_str(), codePage);
}

std::string WideToAnsi(const wchar_t *text, unsigned int codePage)
{
    if (text == nullptr) {
        return std::string();
    }
    const int size = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return std::string();
    }
    try {
        std::string buffer(static_cast<std::size_t>(size), '\0');
        if (WideCharToMultiByte(codePage, 0, text, -1, &buffer[0], size, nullptr, nullptr) <= 0) {
            return std::string();
        }
        return std::string(buffer.c_str());
    } catch (const std::bad_alloc &) {
        return std::string();
    }
}

std::string ToNarrowString(const std::wstring &text, unsigned int codePage)
{
    return WideToAnsi(text.c_str(), codePage);
}

} // namespace Utils
