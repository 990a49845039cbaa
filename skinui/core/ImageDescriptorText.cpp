#include "ImageDescriptorText.h"

#include "GdiPainter.h"
#include "ImageDescriptor.h"
#include "ValueText.h"

namespace SkinUI {

namespace {

bool IsBlank(wchar_t ch)
{
    return ch != L'\0' && ch <= L' ';
}

const wchar_t *SkipBlanks(const wchar_t *p)
{
    while (IsBlank(*p))
        ++p;
    return p;
}

void ReadRect(const CWideString &value, RECT &rect)
{
    int numbers[4];
    ValueText::ReadIntegerList(value.GetData(), numbers, 4);
    rect = RECT{numbers[0], numbers[1], numbers[2], numbers[3]};
}

} // namespace

ImageRequest ImageDescriptorText::Parse(const wchar_t *text, ImageDescriptor &descriptor)
{
    ImageRequest request;
    if (text == nullptr)
        return request;
    request.name = text;
    const wchar_t *p = text;
    for (;;) {
        p = SkipBlanks(p);
        const wchar_t *keyStart = p;
        while (*p != L'\0' && *p != L'=' && !IsBlank(*p))
            ++p;
        CWideString key(keyStart, static_cast<int>(p - keyStart));
        p = SkipBlanks(p);
        if (*p != L'=')
            break;
        p = SkipBlanks(p + 1);
        if (*p != L'\'')
            break;
        const wchar_t *valueStart = ++p;
        while (*p != L'\0' && *p != L'\'')
            ++p;
        if (*p != L'\'')
            break;
        CWideString value(valueStart, static_cast<int>(p - valueStart));
        ++p;
        if (!value.IsEmpty())
            Apply(key, value, request, descriptor);
        if (*p != L' ')
            break;
        ++p;
    }
    return request;
}

void ImageDescriptorText::Apply(const CWideString &key, const CWideString &value,
                                ImageRequest &request, ImageDescriptor &descriptor)
{
    if (key == L"file") {
        request.name = value;
    } else if (key == L"res") {
        request.name = value;
        request.useType = true;
    } else if (key == L"restype") {
        request.resourceType = value;
    } else if (key == L"color") {
        request.name = value;
        request.resourceType = CGdiPainter::kColorResourceType;
        request.useType = true;
    } else if (key == L"dest") {
        ReadRect(value, descriptor.destination);
    } else if (key == L"source") {
        ReadRect(value, descriptor.source);
    } else if (key == L"corner" || key == L"scale9") {
        ReadRect(value, descriptor.corner);
    } else if (key == L"mask") {
        request.mask = ValueText::ReadHexColor(value.GetData());
    } else if (key == L"fade") {
        int fade = ValueText::ReadInteger(value.GetData());
        descriptor.fade = static_cast<BYTE>(fade < 0 ? 0 : fade > 255 ? 255 : fade);
    } else if (key == L"hole") {
        descriptor.hole = ValueText::IsTrue(value.GetData());
    } else if (key == L"xtiled") {
        descriptor.xTiled = ValueText::IsTrue(value.GetData());
    } else if (key == L"ytiled") {
        descriptor.yTiled = ValueText::IsTrue(value.GetData());
    } else if (key == L"hsl") {
        request.keepPixels = ValueText::IsTrue(value.GetData());
    }
}

} // namespace SkinUI
