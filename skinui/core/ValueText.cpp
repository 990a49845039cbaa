#include "ValueText.h"

#include <cwchar>
#include <climits>

namespace SkinUI {

namespace ValueText {

namespace {

int Saturate(long value)
{
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

// Steps over the one separator behind a number, never over the terminator.
const wchar_t *StepSeparator(const wchar_t *end)
{
    return *end != L'\0' ? end + 1 : end;
}

} // namespace

int ReadInteger(const wchar_t *text)
{
    if (text == nullptr)
        return 0;
    return Saturate(wcstol(text, nullptr, 10));
}

int ReadIntegerList(const wchar_t *text, int *values, int count)
{
    for (int i = 0; i < count; ++i)
        values[i] = 0;
    if (text == nullptr)
        return 0;
    int read = 0;
    for (; read < count && *text != L'\0'; ++read) {
        wchar_t *end = nullptr;
        values[read] = Saturate(wcstol(text, &end, 10));
        text = StepSeparator(end);
    }
    return read;
}

int ReadDecimalList(const wchar_t *text, double *values, int count)
{
    for (int i = 0; i < count; ++i)
        values[i] = 0.0;
    if (text == nullptr)
        return 0;
    int read = 0;
    for (; read < count && *text != L'\0'; ++read) {
        wchar_t *end = nullptr;
        values[read] = wcstod(text, &end);
        text = StepSeparator(end);
    }
    return read;
}

uint32_t ReadHexColor(const wchar_t *text)
{
    if (text == nullptr)
        return 0;
    if (*text == L'#')
        ++text;
    unsigned long value = wcstoul(text, nullptr, 16);
    return value > 0xFFFFFFFFul ? 0xFFFFFFFFu : static_cast<uint32_t>(value);
}

bool IsTrue(const wchar_t *text)
{
    return text != nullptr && wcscmp(text, L"true") == 0;
}

bool Is(const wchar_t *name, const wchar_t *expected)
{
    return wcscmp(name, expected) == 0;
}

} // namespace ValueText

} // namespace SkinUI
