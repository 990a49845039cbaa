#include "XmlMarkupNode.h"

#include "XmlMarkup.h"

#include <cwchar>

namespace SkinUI {

CXmlMarkupNode::CXmlMarkupNode()
    : m_element(0), m_attributeCount(0), m_attributes(), m_document(nullptr)
{
}

CXmlMarkupNode::CXmlMarkupNode(CXmlMarkup *document, int32_t element)
    : m_element(element), m_attributeCount(0), m_attributes(), m_document(document)
{
}

const wchar_t *CXmlMarkupNode::GetName() const
{
    if (!IsValid())
        return nullptr;
    return m_document->m_text + m_document->m_elements[m_element].name;
}

CXmlMarkupNode CXmlMarkupNode::GetChild() const
{
    if (!IsValid() || m_document->m_elements[m_element].child == 0)
        return CXmlMarkupNode();
    return CXmlMarkupNode(m_document, m_document->m_elements[m_element].child);
}

CXmlMarkupNode CXmlMarkupNode::GetSibling() const
{
    if (!IsValid() || m_document->m_elements[m_element].next == 0)
        return CXmlMarkupNode();
    return CXmlMarkupNode(m_document, m_document->m_elements[m_element].next);
}

bool CXmlMarkupNode::HasChildren() const
{
    return IsValid() && m_document->m_elements[m_element].child != 0;
}

bool CXmlMarkupNode::HasAttributes()
{
    return GetAttributeCount() > 0;
}

int CXmlMarkupNode::GetAttributeCount()
{
    if (!IsValid())
        return 0;
    if (m_attributeCount == 0)
        MapAttributes();
    return m_attributeCount;
}

const wchar_t *CXmlMarkupNode::GetAttributeName(int index)
{
    if (index < 0 || index >= GetAttributeCount())
        return L"";
    return m_document->m_text + m_attributes[index][0];
}

const wchar_t *CXmlMarkupNode::GetAttributeValue(int index)
{
    if (index < 0 || index >= GetAttributeCount())
        return L"";
    return m_document->m_text + m_attributes[index][1];
}

bool CXmlMarkupNode::GetAttributeValue(const wchar_t *name, wchar_t *buffer, int size)
{
    if (name == nullptr || buffer == nullptr || size <= 0)
        return false;
    int count = GetAttributeCount();
    for (int i = 0; i < count; ++i) {
        if (wcscmp(GetAttributeName(i), name) != 0)
            continue;
        const wchar_t *value = GetAttributeValue(i);
        int length = 0;
        while (length < size - 1 && value[length] != L'\0') {
            buffer[length] = value[length];
            ++length;
        }
        buffer[length] = L'\0';
        return true;
    }
    return false;
}

void CXmlMarkupNode::MapAttributes()
{
    // The walk stays inside the start tag's attribute area, whatever the text holds.
    const wchar_t *text = m_document->m_text;
    const XmlElementRecord &element = m_document->m_elements[m_element];
    const wchar_t *end = text + element.data;
    const wchar_t *p = text + element.name;
    while (p < end && *p != L'\0')
        ++p;
    ++p;
    auto skipWhitespace = [&p, end]() {
        while (p<end && * p> 0 && *p <= 32)
            ++p;
    };
    while (p < end && m_attributeCount < kMaxAttributes) {
        skipWhitespace();
        if (p >= end)
            break;
        const wchar_t *name = p;
        while (p < end && *p != L'\0')
            ++p;
        if (p >= end)
            break;
        ++p;
        skipWhitespace();
        if (p >= end || *p != L'"')
            break;
        const wchar_t *value = ++p;
        m_attributes[m_attributeCount][0] = static_cast<int32_t>(name - text);
        m_attributes[m_attributeCount][1] = static_cast<int32_t>(value - text);
        ++m_attributeCount;
        while (p < end && *p != L'\0')
            ++p;
        ++p;
    }
}

} // namespace SkinUI
