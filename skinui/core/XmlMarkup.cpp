#include "XmlMarkup.h"

#include "SkinFileReader.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace SkinUI {

namespace {

const uint32_t kMaxTextLength = 0x7FFFFFF0;

bool IsWhitespace(wchar_t c)
{
    return c > 0 && c <= 32;
}

void SkipWhitespace(wchar_t *&p)
{
    while (IsWhitespace(*p))
        ++p;
}

// Steps over one character, keeping surrogate pairs together; never past the end.
wchar_t *NextChar(wchar_t *p)
{
    if (*p == L'\0')
        return p;
    if (*p >= 0xD800 && *p <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF)
        return p + 2;
    return p + 1;
}

wchar_t *SkipIdentifier(wchar_t *p)
{
    while (*p != L'\0' && (iswalnum(*p) || *p == L'_' || *p == L':'))
        p = NextChar(p);
    return p;
}

void CopyCut(wchar_t *target, size_t capacity, const wchar_t *text)
{
    size_t i = 0;
    for (; text != nullptr && i + 1 < capacity && text[i] != L'\0'; ++i)
        target[i] = text[i];
    target[i] = L'\0';
}

} // namespace

CXmlMarkup::CXmlMarkup(const wchar_t *text)
    : m_text(nullptr), m_elements(nullptr), m_elementCount(0), m_elementCapacity(0),
      m_errorMessage(), m_errorLocation(), m_preserveWhitespace(true)
{
    if (text != nullptr)
        Load(text);
}

CXmlMarkup::~CXmlMarkup()
{
    Release();
}

void CXmlMarkup::Release()
{
    free(m_text);
    free(m_elements);
    m_text = nullptr;
    m_elements = nullptr;
    m_elementCount = 0;
    m_elementCapacity = 0;
}

bool CXmlMarkup::Load(const wchar_t *text)
{
    Release();
    if (text == nullptr)
        return false;
    size_t length = wcslen(text);
    if (length > kMaxTextLength)
        return false;
    m_text = static_cast<wchar_t *>(malloc((length + 1) * sizeof(wchar_t)));
    if (m_text == nullptr)
        return false;
    wmemcpy(m_text, text, length + 1);
    if (ParseDocument())
        return true;
    Release();
    return false;
}

bool CXmlMarkup::LoadFromMem(const uint8_t *bytes, uint32_t size, XmlEncoding encoding)
{
    Release();
    // A text that cannot even be converted has no message of its own; an earlier load's
    // message must not be taken for it.
    Failed(L"");
    if (bytes == nullptr && size > 0)
        return false;
    if (ConvertToText(bytes, size, encoding) && ParseDocument())
        return true;
    Release();
    return false;
}

bool CXmlMarkup::LoadFromFile(const wchar_t *name, XmlEncoding encoding)
{
    Release();
    SkinFileBytes bytes;
    const wchar_t *problem = SkinFileReader::Read(SkinResourceSource::Process(), name, bytes);
    if (problem != nullptr)
        return Failed(problem);
    return LoadFromMem(bytes.data.get(), bytes.size, encoding);
}

bool CXmlMarkup::ConvertToText(const uint8_t *bytes, uint32_t size, XmlEncoding encoding)
{
    if (encoding == XmlEncoding::Utf16) {
        if (size < 2 ||
            !((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF)))
            return false;
        bool bigEndian = bytes[0] == 0xFE;
        size_t length = size / 2 - 1;
        m_text = static_cast<wchar_t *>(malloc((length + 1) * sizeof(wchar_t)));
        if (m_text == nullptr)
            return false;
        for (size_t i = 0; i < length; ++i) {
            const uint8_t *unit = bytes + 2 + 2 * i;
            m_text[i] = bigEndian ? static_cast<wchar_t>((unit[0] << 8) | unit[1])
                                  : static_cast<wchar_t>(unit[0] | (unit[1] << 8));
        }
        m_text[length] = L'\0';
        return true;
    }

    UINT codePage = CP_ACP;
    if (encoding == XmlEncoding::Utf8) {
        codePage = CP_UTF8;
        if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
            bytes += 3;
            size -= 3;
        }
    } else if (encoding != XmlEncoding::Ansi) {
        return false;
    }
    if (size > kMaxTextLength)
        return false;
    const char *source = reinterpret_cast<const char *>(bytes);
    int length = size == 0
                     ? 0
                     : MultiByteToWideChar(codePage, 0, source, static_cast<int>(size), nullptr, 0);
    m_text = static_cast<wchar_t *>(malloc((static_cast<size_t>(length) + 1) * sizeof(wchar_t)));
    if (m_text == nullptr)
        return false;
    if (length > 0)
        MultiByteToWideChar(codePage, 0, source, static_cast<int>(size), m_text, length);
    m_text[length] = L'\0';
    return true;
}

bool CXmlMarkup::GrowElementsIfFull()
{
    if (m_elementCount < m_elementCapacity)
        return true;
    uint32_t grown = m_elementCapacity + m_elementCapacity / 2 + 500;
    if (grown > kMaxTextLength)
        return false;
    void *table = realloc(m_elements, grown * sizeof(XmlElementRecord));
    if (table == nullptr)
        return false;
    m_elements = static_cast<XmlElementRecord *>(table);
    m_elementCapacity = grown;
    return true;
}

int32_t CXmlMarkup::AppendElement()
{
    if (!GrowElementsIfFull())
        return 0;
    int32_t index = static_cast<int32_t>(m_elementCount++);
    m_elements[index] = XmlElementRecord();
    return index;
}

bool CXmlMarkup::ParseDocument()
{
    if (m_elementCount == 0)
        m_elementCapacity = 0;
    if (!GrowElementsIfFull())
        return false;
    m_elements[0] = XmlElementRecord();
    m_elementCount = 1;
    m_errorMessage[0] = L'\0';
    m_errorLocation[0] = L'\0';
    wchar_t *p = m_text;
    return ParseElement(p, 0, 0);
}

bool CXmlMarkup::ParseElement(wchar_t *&p, int32_t parent, int depth)
{
    if (depth >= kMaxNesting)
        return Failed(L"Elements nested too deeply", p);
    SkipWhitespace(p);
    int32_t previous = 0;
    for (;;) {
        // The end of the text closes the document element and whatever follows it.
        if (*p == L'\0' && parent < 2)
            return true;
        SkipWhitespace(p);
        if (*p != L'<')
            return Failed(L"Expected start tag", p);
        if (p[1] == L'/')
            return true; // the parent's end tag, checked by the caller
        *p++ = L'\0';
        SkipWhitespace(p);

        if (*p == L'!' || *p == L'?') {
            wchar_t closing = *p == L'!' ? L'-' : L'?';
            while (*p != L'\0' && !(p[0] == closing && p[1] == L'>'))
                p = NextChar(p);
            if (*p != L'\0')
                p += 2;
            SkipWhitespace(p);
            continue;
        }

        int32_t index = AppendElement();
        if (index == 0)
            return Failed(L"Out of memory", p);
        XmlElementRecord *element = &m_elements[index];
        element->name = PositionOf(p);
        element->parent = parent;
        if (previous != 0)
            m_elements[previous].next = index;
        else if (parent != 0)
            m_elements[parent].child = index;

        wchar_t *nameStart = p;
        p = SkipIdentifier(p);
        wchar_t *nameEnd = p;
        if (*p == L'\0')
            return Failed(L"Error parsing element name", p);
        if (!ParseAttributes(p))
            return false;
        SkipWhitespace(p);

        if (p[0] == L'/' && p[1] == L'>') {
            m_elements[index].data = PositionOf(p);
            *p = L'\0';
            p += 2;
        } else {
            if (*p != L'>')
                return Failed(L"Expected start-tag closing", p);
            m_elements[index].data = PositionOf(++p);
            wchar_t *dataEnd = p;
            ParseData(p, dataEnd, L'<');
            if (*p == L'\0' && parent < 2) {
                *nameEnd = L'\0';
                return true;
            }
            if (*p != L'<')
                return Failed(L"Expected end-tag start", p);
            if (p[1] != L'/' && !ParseElement(p, index, depth + 1))
                return false;
            if (p[0] == L'<' && p[1] == L'/') {
                *dataEnd = L'\0';
                *p = L'\0';
                p += 2;
                SkipWhitespace(p);
                size_t nameLength = static_cast<size_t>(nameEnd - nameStart);
                if (wcsncmp(p, nameStart, nameLength) != 0)
                    return Failed(L"Unmatched closing tag", p);
                p += nameLength;
                SkipWhitespace(p);
                if (*p != L'>')
                    return Failed(L"Unmatched closing tag", *p != L'\0' ? p + 1 : p);
                ++p;
            }
        }
        *nameEnd = L'\0';
        SkipWhitespace(p);
        previous = index;
    }
}

bool CXmlMarkup::ParseAttributes(wchar_t *&p)
{
    if (*p == L'>')
        return true;
    if (*p != L'/')
        *p++ = L'\0'; // the character behind the name ends the name
    SkipWhitespace(p);
    while (*p != L'\0' && *p != L'>' && *p != L'/') {
        p = SkipIdentifier(p);
        wchar_t *nameEnd = p;
        SkipWhitespace(p);
        if (*p != L'=')
            return Failed(L"Error while parsing attributes", p);
        *p = L' ';
        *nameEnd = L'\0';
        ++p;
        SkipWhitespace(p);
        if (*p != L'"')
            return Failed(L"Expected attribute value", *p != L'\0' ? p + 1 : p);
        ++p;
        wchar_t *valueEnd = p;
        ParseData(p, valueEnd, L'"');
        if (*p == L'\0')
            return Failed(L"Error while parsing attribute string", p);
        *valueEnd = L'\0';
        if (valueEnd != p)
            *p = L' ';
        ++p;
        SkipWhitespace(p);
    }
    return true;
}

void CXmlMarkup::ParseData(wchar_t *&source, wchar_t *&destination, wchar_t end)
{
    while (*source != L'\0' && *source != end) {
        if (*source == L'&') {
            ++source;
            ParseEntity(source, destination);
        } else if (*source == L' ') {
            *destination++ = *source++;
            if (!m_preserveWhitespace)
                SkipWhitespace(source);
        } else {
            wchar_t *next = NextChar(source);
            while (source < next)
                *destination++ = *source++;
        }
    }
    // No stale characters may stay between the decoded text and what follows it.
    for (wchar_t *fill = destination + 1; fill < source; ++fill)
        *fill = L' ';
}

void CXmlMarkup::ParseEntity(wchar_t *&source, wchar_t *&destination)
{
    static const struct
    {
        const wchar_t *name;
        size_t length;
        wchar_t character;
    } entities[] = {
        {L"amp;", 4, L'&'},  {L"lt;", 3, L'<'},    {L"gt;", 3, L'>'},
        {L"quot;", 5, L'"'}, {L"apos;", 5, L'\''},
    };
    for (const auto &entity : entities) {
        if (wcsncmp(source, entity.name, entity.length) == 0) {
            *destination++ = entity.character;
            source += entity.length;
            return;
        }
    }
    *destination++ = L'&';
}

bool CXmlMarkup::Failed(const wchar_t *message, const wchar_t *location)
{
    CopyCut(m_errorMessage, kErrorMessageLength, message);
    CopyCut(m_errorLocation, kErrorLocationLength, location);
    return false;
}

CXmlMarkupNode CXmlMarkup::GetRoot()
{
    if (m_elements == nullptr || m_elementCount < 2)
        return CXmlMarkupNode();
    return CXmlMarkupNode(this, 1);
}

} // namespace SkinUI
