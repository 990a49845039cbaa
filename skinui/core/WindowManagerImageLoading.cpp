#include "WindowManagerUI.h"

#include "GdiPainter.h"
#include "ImageEntry.h"
#include "ManagerProcessState.h"

#include <cwchar>

namespace SkinUI {

ImageEntry *CWindowManagerUI::AddImage(const wchar_t *name, const wchar_t *resourceType, DWORD mask,
                                       bool keepPixels, bool shared)
{
    if (!name || !*name)
        return nullptr;
    ResourceNameOrId source(name);
    if (resourceType && iswdigit(name[0]))
        source = ResourceNameOrId(static_cast<unsigned int>(wcstoul(name, nullptr, 10)));
    ImageEntry *image = CGdiPainter::LoadImage(source, resourceType, mask);
    if (!image)
        return nullptr;
    if (resourceType)
        image->resourceType = resourceType;
    image->mask = mask;
    if (keepPixels)
        image->keepsCopy = image->KeepPixelCopy();

    bool toShared = shared || m_alwaysShareResources;
    ManagerProcessState &process = ManagerProcessState::Get();
    CStringKeyedMap &images = ImageMapFor(shared);
    CPointerArray &retired = toShared ? process.retiredSharedImages : m_retiredImages;
    void *older = images.Find(name, false);
    if (older) {
        images.Remove(name);
        if (!retired.Add(older))
            CGdiPainter::FreeImage(static_cast<ImageEntry *>(older));
    }
    if (!images.Insert(name, image)) {
        CGdiPainter::FreeImage(image);
        return nullptr;
    }
    return image;
}

ImageEntry *CWindowManagerUI::GetOrLoadImage(const wchar_t *name, const wchar_t *resourceType,
                                             DWORD mask, bool keepPixels)
{
    if (ImageEntry *image = GetImage(name))
        return image;
    return AddImage(name, resourceType, mask, keepPixels, false);
}

} // namespace SkinUI
