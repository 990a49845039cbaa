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

namespace {

// Both directions alike: ask for the size of the result, convert into a buffer of that
// size, and keep the text up to its first zero. Any failure gives the empty text.
template <typename Text, typename Convert> Text ConvertWhole(Convert convert)
{
    const int size = convert(nullptr, 0);
    if (size <= 0) {
        return Text();
    }
    try {
        Text buffer(static_cast<std::size_t>(size), typename Text::value_type());
        if (convert(&buffer[0], size) <= 0) {
            return Text();
        }
        return Text(buffer.c_str());
    } catch (const std::bad_alloc &) {
        return Text();
    }
}

} // namespace

std::wstring AnsiToWide(const char *text, unsigned int codePage)
{
    if (text == nullptr) {
        return std::wstring();
    }
    return ConvertWhole<std::wstring>([&](wchar_t *result, int size) {
        return MultiByteToWideChar(codePage, 0, text, -1, result, size);
    });
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
    return ConvertWhole<std::string>([&](char *result, int size) {
        return WideCharToMultiByte(codePage, 0, text, -1, result, size, nullptr, nullptr);
    });
}

std::string ToNarrowString(const std::wstring &text, unsigned int codePage)
{
    return WideToAnsi(text.c_str(), codePage);
}

} // namespace Utils
