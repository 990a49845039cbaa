#include "GdiPainter.h"

#include "ImageDecoder.h"
#include "ValueText.h"
#include "SkinFileReader.h"
#include "SkinResourceSource.h"
#include "WindowManagerUI.h"

#include <cstring>
#include <cwchar>
#include <new>

namespace SkinUI {

const wchar_t *const CGdiPainter::kColorResourceType = L"*COLOR*";

namespace {

// The bytes of a program resource, copied out of the module's image.
bool ReadResource(HMODULE module, const wchar_t *name, const wchar_t *type, SkinFileBytes &bytes)
{
    HRSRC resource = FindResourceW(module, name, type);
    if (resource == nullptr)
        return false;
    HGLOBAL loaded = LoadResource(module, resource);
    DWORD size = SizeofResource(module, resource);
    const void *data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr || size == 0)
        return false;
    bytes.data.reset(new (std::nothrow) uint8_t[size]);
    if (bytes.data == nullptr)
        return false;
    memcpy(bytes.data.get(), data, size);
    bytes.size = size;
    return true;
}

} // namespace

ImageEntry *CGdiPainter::LoadImage(ResourceNameOrId name, const wchar_t *resourceType,
                                   uint32_t mask)
{
    SkinFileBytes bytes;
    if (resourceType != nullptr) {
        if (!name.IsNumber() && wcscmp(resourceType, kColorResourceType) == 0)
            return ImageDecoder::SolidColor(ValueText::ReadHexColor(name));
        if (!ReadResource(CWindowManagerUI::GetResourceInstance(), name, resourceType, bytes) &&
            (name.IsNumber() ||
             SkinFileReader::ReadPlainFile(name, bytes, SkinFileReader::kNoSizeLimit) != nullptr))
            return nullptr;
    } else if (name.IsNumber() ||
               !SkinFileReader::ReadSkinFileOrPath(SkinResourceSource::Process(), name, bytes)) {
        return nullptr;
    }
    return ImageDecoder::Decode(bytes.data.get(), bytes.size, mask);
}

} // namespace SkinUI
