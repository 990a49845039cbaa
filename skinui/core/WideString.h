#pragma once

#include <windows.h>

namespace SkinUI {

// Wide text with a small inline buffer: texts of up to 62 characters need no heap block,
// which covers most names, attribute values and notification types of the framework.
class CWideString
{
public:
    static const int kInlineCapacity = 64;
    static const int kMaxInlineLength = kInlineCapacity - 2;

    CWideString();
    CWideString(const wchar_t *text, int length = -1);
    CWideString(wchar_t ch);
    CWideString(const CWideString &other);
    ~CWideString();

    CWideString &operator=(const CWideString &other);
    CWideString &operator=(const wchar_t *text);

    void Assign(const wchar_t *text, int length = -1);
    void Empty();

    const wchar_t *GetData() const { return m_text; }
    int GetLength() const;
    bool IsEmpty() const { return m_text[0] == L'\0'; }
    bool IsHeldInline() const { return m_text == m_inline; }
    wchar_t GetAt(int index) const { return m_text[index]; }

    bool operator==(const wchar_t *text) const;
    bool operator!=(const wchar_t *text) const { return !(*this == text); }
    int CompareNoCase(const wchar_t *text) const;

    CWideString &operator+=(const CWideString &other);
    CWideString &operator+=(const wchar_t *text);
    CWideString &operator+=(wchar_t ch);
    CWideString operator+(const wchar_t *text) const;

    int Find(wchar_t ch, int start = 0) const;
    int Find(const wchar_t *text, int start = 0) const;
    int ReverseFind(wchar_t ch) const;
    CWideString Left(int count) const;
    CWideString Mid(int start, int count = -1) const;
    void MakeLower();
    int Replace(const wchar_t *from, const wchar_t *to);
    int Format(const wchar_t *format, ...);

private:
    bool Owns(const wchar_t *text) const;
    void AssignUnaliased(const wchar_t *text, int length);
    void AppendUnaliased(const wchar_t *text, int length);
    void FreeHeap();

    wchar_t *m_text;
    wchar_t m_inline[kInlineCapacity];
};

} // namespace SkinUI
