#include "WindowManagerUI.h"

#include "GdiPainter.h"
#include "ManagerProcessState.h"
#include "ResourceNameOrId.h"

#include <cwchar>

// Images of the window manager: loaded through the painter's loader and kept in the
// window's or the shared image map.

namespace SkinUI {

namespace {

void FreeImages(CPointerArray &images)
{
    for (int i = 0; i < images.GetCount(); ++i)
        CGdiPainter::FreeImage(static_cast<ImageEntry *>(images.GetAt(i)));
    images.Empty();
}

} // namespace

ImageEntry *CWindowManagerUI::AddImage(const wchar_t *name, const wchar_t *resourceType, DWORD mask,
                                       bool keepPixels, bool shared)
{
    if (!name || !*name)
        return nullptr;
    // With a resource type, a name of digits is a numeric resource id; a colour's hex digits
    // stay a colour.
    const bool numeric = resourceType && *name >= L'0' && *name <= L'9' &&
                         wcscmp(resourceType, CGdiPainter::kColorResourceType) != 0;
    ResourceNameOrId source =
        numeric ? ResourceNameOrId(static_cast<unsigned int>(wcstoul(name, nullptr, 10)))
                : ResourceNameOrId(name);
    ImageEntry *image = CGdiPainter::LoadImage(source, resourceType, mask);
    if (!image)
        return nullptr;
    if (keepPixels)
        image->KeepPixelCopy();
    if (resourceType)
        image->resourceType = resourceType;
    image->mask = mask;

    const bool toShared = shared || m_alwaysShareResources;
    CStringKeyedMap &map = ImageMapFor(shared);
    if (auto *older = static_cast<ImageEntry *>(map.Find(name, false))) {
        // Controls may still draw the image it replaces: that one is kept until the map's
        // images go.
        map.Remove(name);
        (toShared ? ManagerProcessState::Get().retiredSharedImages : m_retiredImages).Add(older);
    }
    if (!map.Insert(name, image)) {
        CGdiPainter::FreeImage(image);
        return nullptr;
    }
    return image;
}

ImageEntry *CWindowManagerUI::GetImage(const wchar_t *name) const
{
    if (!name || !*name)
        return nullptr;
    auto *image = static_cast<ImageEntry *>(m_images.Find(name, false));
    if (!image)
        image =
            static_cast<ImageEntry *>(ManagerProcessState::Get().sharedImages.Find(name, false));
    return image;
}

ImageEntry *CWindowManagerUI::GetOrLoadImage(const wchar_t *name, const wchar_t *resourceType,
                                             DWORD mask, bool keepPixels)
{
    ImageEntry *image = GetImage(name);
    return image ? image : AddImage(name, resourceType, mask, keepPixels, false);
}

void CWindowManagerUI::DeleteImages(CStringKeyedMap &images)
{
    for (int i = 0; i < images.GetSize(); ++i)
        CGdiPainter::FreeImage(static_cast<ImageEntry *>(images.Find(images.GetKeyAt(i), false)));
    images.RemoveAll();
}

void CWindowManagerUI::RemoveAllImages(bool shared)
{
    ManagerProcessState &process = ManagerProcessState::Get();
    DeleteImages(shared ? process.sharedImages : m_images);
    FreeImages(shared ? process.retiredSharedImages : m_retiredImages);
}

void CWindowManagerUI::SetLayeredImage(const wchar_t *descriptor)
{
    m_layeredImage.Clear();
    m_layeredImage.text = descriptor;
    const RECT none = {0, 0, 0, 0};
    CGdiPainter::DrawImageDescriptor(nullptr, this, none, none, m_layeredImage);
}

} // namespace SkinUI
