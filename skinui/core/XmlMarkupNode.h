#pragma once

#include <cstdint>

namespace SkinUI {

class CXmlMarkup;

// A handle on one element of a CXmlMarkup, valid while the document is neither released
// nor reloaded. Attribute positions are mapped on the first attribute query and kept.
class CXmlMarkupNode
{
public:
    static const int kMaxAttributes = 64;

    CXmlMarkupNode();
    CXmlMarkupNode(CXmlMarkup *document, int32_t element);

    bool IsValid() const { return m_document != nullptr; }
    const wchar_t *GetName() const;
    CXmlMarkupNode GetChild() const;
    CXmlMarkupNode GetSibling() const;
    bool HasChildren() const;

    bool HasAttributes();
    int GetAttributeCount();
    const wchar_t *GetAttributeName(int index);
    const wchar_t *GetAttributeValue(int index);
    // Copies the value of the first attribute of that name, always terminated and cut to
    // fit the buffer. False when no attribute has the name or the buffer holds nothing.
    bool GetAttributeValue(const wchar_t *name, wchar_t *buffer, int size);

private:
    void MapAttributes();

    int32_t m_element;
    int32_t m_attributeCount;
    int32_t m_attributes[kMaxAttributes][2];
    CXmlMarkup *m_document;
};

} // namespace SkinUI
