#pragma once

#include "XmlMarkupNode.h"

#include <cstdint>

namespace SkinUI {

enum class XmlEncoding : int32_t
{
    Utf8 = 0,
    Utf16 = 1,
    Ansi = 2,
};

struct XmlElementRecord
{
    int32_t name;   // position of the name in the text
    int32_t child;  // first child; 0 = none
    int32_t next;   // next sibling; 0 = none
    int32_t parent; // 0 = top level
    int32_t data;   // end of the start tag's attribute area
};

// A small non-validating parser for skin XML. It works in place: the document becomes one
// UTF-16 text, and names and values become terminated strings inside it, addressed by
// position. Element 0 of the table is reserved, so index 0 means "none".
class CXmlMarkup
{
public:
    // Deeper nesting than any skin needs is refused instead of exhausting the stack.
    static const int kMaxNesting = 256;
    static const int kErrorMessageLength = 100;
    static const int kErrorLocationLength = 50;

    explicit CXmlMarkup(const wchar_t *text = nullptr);
    CXmlMarkup(const CXmlMarkup &) = delete;
    CXmlMarkup &operator=(const CXmlMarkup &) = delete;
    ~CXmlMarkup();

    bool Load(const wchar_t *text);
    bool LoadFromMem(const uint8_t *bytes, uint32_t size, XmlEncoding encoding);
    bool LoadFromFile(const wchar_t *name, XmlEncoding encoding = XmlEncoding::Utf8);
    void Release();
    bool IsValid() const { return m_elements != nullptr; }

    CXmlMarkupNode GetRoot();
    const wchar_t *GetErrorMessage() const { return m_errorMessage; }
    const wchar_t *GetErrorLocation() const { return m_errorLocation; }

private:
    friend class CXmlMarkupNode;

    bool ConvertToText(const uint8_t *bytes, uint32_t size, XmlEncoding encoding);
    bool ParseDocument();
    bool GrowElementsIfFull();
    int32_t AppendElement();
    bool ParseElement(wchar_t *&p, int32_t parent, int depth);
    bool ParseAttributes(wchar_t *&p);
    void ParseData(wchar_t *&source, wchar_t *&destination, wchar_t end);
    void ParseEntity(wchar_t *&source, wchar_t *&destination);
    bool Failed(const wchar_t *message, const wchar_t *location = nullptr);
    int32_t PositionOf(const wchar_t *p) const { return static_cast<int32_t>(p - m_text); }

    wchar_t *m_text;
    XmlElementRecord *m_elements;
    uint32_t m_elementCount;
    uint32_t m_elementCapacity;
    wchar_t m_errorMessage[kErrorMessageLength];
    wchar_t m_errorLocation[kErrorLocationLength];
    bool m_preserveWhitespace;
};

} // namespace SkinUI
