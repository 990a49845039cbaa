#include "WideString.h"

#include <algorithm>
#include <cstdarg>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace SkinUI {

namespace {

// wvsprintfW never writes more than 1024 characters and a terminator.
const int kFormatBufferLength = 1025;

} // namespace

CWideString::CWideString() : m_text(m_inline)
{
    m_inline[0] = L'\0';
}

CWideString::CWideString(const wchar_t *text, int length) : CWideString()
{
    Assign(text, length);
}

CWideString::CWideString(wchar_t ch) : CWideString()
{
    m_inline[0] = ch;
    m_inline[1] = L'\0';
}

CWideString::CWideString(const CWideString &other) : CWideString()
{
    Assign(other.m_text);
}

CWideString::~CWideString()
{
    FreeHeap();
}

CWideString &CWideString::operator=(const CWideString &other)
{
    if (this != &other)
        Assign(other.m_text);
    return *this;
}

CWideString &CWideString::operator=(const wchar_t *text)
{
    Assign(text);
    return *this;
}

int CWideString::GetLength() const
{
    return static_cast<int>(wcslen(m_text));
}

bool CWideString::Owns(const wchar_t *text) const
{
    if (text == nullptr)
        return false;
    if (IsHeldInline())
        return text >= m_inline && text < m_inline + kInlineCapacity;
    return text >= m_text && text <= m_text + wcslen(m_text);
}

void CWideString::FreeHeap()
{
    if (!IsHeldInline())
        free(m_text);
    m_text = m_inline;
}

void CWideString::Assign(const wchar_t *text, int length)
{
    if (text == nullptr) {
        Empty();
        return;
    }
    // Only as far as the length asked for: a few characters taken from a long text must not
    // cost the whole text.
    if (length < 0)
        length = static_cast<int>(wcslen(text));
    else
        length = static_cast<int>(std::find(text, text + length, L'\0') - text);
    if (Owns(text)) {
        // The source lives in this string's own storage, which the assignment may free.
        std::wstring copy(text, static_cast<size_t>(length));
        AssignUnaliased(copy.c_str(), length);
    } else {
        AssignUnaliased(text, length);
    }
}

void CWideString::AssignUnaliased(const wchar_t *text, int length)
{
    if (length <= kMaxInlineLength) {
        FreeHeap();
    } else if (IsHeldInline() || GetLength() < length) {
        size_t bytes = (static_cast<size_t>(length) + 1) * sizeof(wchar_t);
        wchar_t *block =
            static_cast<wchar_t *>(IsHeldInline() ? malloc(bytes) : realloc(m_text, bytes));
        if (block == nullptr) {
            Empty();
            return;
        }
        m_text = block;
    }
    wmemcpy(m_text, text, static_cast<size_t>(length));
    m_text[length] = L'\0';
}

void CWideString::Empty()
{
    FreeHeap();
    m_inline[0] = L'\0';
}

bool CWideString::operator==(const wchar_t *text) const
{
    return wcscmp(m_text, text) == 0;
}

int CWideString::CompareNoCase(const wchar_t *text) const
{
    return _wcsicmp(m_text, text);
}

CWideString &CWideString::operator+=(const CWideString &other)
{
    return *this += other.m_text;
}

CWideString &CWideString::operator+=(const wchar_t *text)
{
    if (text == nullptr)
        return *this;
    int length = static_cast<int>(wcslen(text));
    if (Owns(text)) {
        std::wstring copy(text, static_cast<size_t>(length));
        AppendUnaliased(copy.c_str(), length);
    } else {
        AppendUnaliased(text, length);
    }
    return *this;
}

CWideString &CWideString::operator+=(wchar_t ch)
{
    wchar_t text[2] = {ch, L'\0'};
    AppendUnaliased(text, 1);
    return *this;
}

void CWideString::AppendUnaliased(const wchar_t *text, int length)
{
    int current = GetLength();
    int joined = current + length;
    if (joined > kMaxInlineLength) {
        size_t bytes = (static_cast<size_t>(joined) + 1) * sizeof(wchar_t);
        if (IsHeldInline()) {
            wchar_t *block = static_cast<wchar_t *>(malloc(bytes));
            if (block == nullptr)
                return;
            wmemcpy(block, m_inline, static_cast<size_t>(current) + 1);
            m_text = block;
        } else {
            wchar_t *block = static_cast<wchar_t *>(realloc(m_text, bytes));
            if (block == nullptr)
                return;
            m_text = block;
        }
    }
    wmemcpy(m_text + current, text, static_cast<size_t>(length));
    m_text[joined] = L'\0';
}

CWideString CWideString::operator+(const wchar_t *text) const
{
    CWideString result(*this);
    result += text;
    return result;
}

int CWideString::Find(wchar_t ch, int start) const
{
    int length = GetLength();
    if (start != 0 && (start < 0 || start >= length))
        return -1;
    const wchar_t *found = wcschr(m_text + start, ch);
    return found == nullptr ? -1 : static_cast<int>(found - m_text);
}

int CWideString::Find(const wchar_t *text, int start) const
{
    if (start < 0 || start > GetLength() || text == nullptr)
        return -1;
    const wchar_t *found = wcsstr(m_text + start, text);
    return found == nullptr ? -1 : static_cast<int>(found - m_text);
}

int CWideString::ReverseFind(wchar_t ch) const
{
    const wchar_t *found = wcsrchr(m_text, ch);
    return found == nullptr ? -1 : static_cast<int>(found - m_text);
}

CWideString CWideString::Left(int count) const
{
    int length = GetLength();
    if (count < 0)
        count = 0;
    if (count > length)
        count = length;
    return CWideString(m_text, count);
}

CWideString CWideString::Mid(int start, int count) const
{
    int length = GetLength();
    if (start < 0 || start > length)
        return CWideString();
    if (count < 0 || count > length - start)
        count = length - start;
    if (count <= 0)
        return CWideString();
    return CWideString(m_text + start, count);
}

void CWideString::MakeLower()
{
    _wcslwr(m_text);
}

// Every occurrence left to right, each search going on behind the occurrence replaced, so that
// inserted text is never searched again; the result is built once.
int CWideString::Replace(const wchar_t *from, const wchar_t *to)
{
    if (from == nullptr || to == nullptr || from[0] == L'\0')
        return 0;
    const size_t fromLength = wcslen(from);
    std::wstring result;
    int count = 0;
    const wchar_t *rest = m_text;
    for (const wchar_t *found = wcsstr(rest, from); found != nullptr; found = wcsstr(rest, from)) {
        result.append(rest, static_cast<size_t>(found - rest));
        result.append(to);
        rest = found + fromLength;
        ++count;
    }
    if (count == 0)
        return 0;
    result.append(rest);
    Assign(result.c_str(), static_cast<int>(result.size()));
    return count;
}

int CWideString::Format(const wchar_t *format, ...)
{
    // The buffer holds the most the formatting routine can write, so no result can pass it.
    wchar_t buffer[kFormatBufferLength] = {};
    va_list args;
    va_start(args, format);
    int written = wvsprintfW(buffer, format, args);
    va_end(args);
    Assign(buffer);
    return written;
}

} // namespace SkinUI
