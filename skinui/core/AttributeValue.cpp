#include "AttributeValue.h"

#include <cwchar>

namespace SkinUI {
namespace AttributeValue {

namespace {

// Steps over the separator behind a number, unless the text ends there.
const wchar_t *StepSeparator(const wchar_t *end)
{
    return *end ? end + 1 : end;
}

} // namespace

int ReadIntegers(const wchar_t *text, long *values, int count)
{
    int read = 0;
    for (int i = 0; i < count; ++i)
        values[i] = 0;
    if (!text)
        return 0;
    const wchar_t *cursor = text;
    for (int i = 0; i < count && *cursor; ++i) {
        wchar_t *end = nullptr;
        values[i] = wcstol(cursor, &end, 10);
        if (end != cursor)
            ++read;
        cursor = StepSeparator(end);
    }
    return read;
}

int ReadDoubles(const wchar_t *text, double *values, int count)
{
    int read = 0;
    for (int i = 0; i < count; ++i)
        values[i] = 0.0;
    if (!text)
        return 0;
    const wchar_t *cursor = text;
    for (int i = 0; i < count && *cursor; ++i) {
        wchar_t *end = nullptr;
        values[i] = wcstod(cursor, &end);
        if (end != cursor)
            ++read;
        cursor = StepSeparator(end);
    }
    return read;
}

RECT ReadRect(const wchar_t *text)
{
    long values[4];
    ReadIntegers(text, values, 4);
    return RECT{values[0], values[1], values[2], values[3]};
}

SIZE ReadSize(const wchar_t *text)
{
    long values[2];
    ReadIntegers(text, values, 2);
    return SIZE{values[0], values[1]};
}

DWORD ReadHexColor(const wchar_t *text)
{
    if (!text)
        return 0;
    if (*text == L'#')
        ++text;
    return static_cast<DWORD>(wcstoul(text, nullptr, 16));
}

bool ReadBool(const wchar_t *text)
{
    return text && wcscmp(text, L"true") == 0;
}

} // namespace AttributeValue
} // namespace SkinUI
