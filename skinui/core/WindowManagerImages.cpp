#include "WindowManagerUI.h"

#include "GdiPainter.h"
#include "ImageEntry.h"
#include "ManagerProcessState.h"

// Images of the window manager: the tables and their clean-up. Loading is in
// WindowManagerImageLoading.cpp.

namespace SkinUI {

namespace {

void FreeImages(CStringKeyedMap &images)
{
    for (int i = 0; i < images.GetSize(); ++i)
        CGdiPainter::FreeImage(static_cast<ImageEntry *>(images.Find(images.GetKeyAt(i), false)));
    images.RemoveAll();
}

void FreeRetired(CPointerArray &retired)
{
    for (int i = 0; i < retired.GetCount(); ++i)
        CGdiPainter::FreeImage(static_cast<ImageEntry *>(retired[i]));
    retired.Empty();
}

} // namespace

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

// Replaced images are kept until the tables are emptied: descriptors of live controls may
// still point at them.
void CWindowManagerUI::RemoveAllImages(bool shared)
{
    ManagerProcessState &process = ManagerProcessState::Get();
    FreeImages(shared ? process.sharedImages : m_images);
    FreeRetired(shared ? process.retiredSharedImages : m_retiredImages);
}

void CWindowManagerUI::SetLayeredImage(const wchar_t *descriptor)
{
    m_layeredImage.Clear();
    m_layeredImage.text = descriptor;
}

void CWindowManagerUI::PaintLayeredBackground(const RECT &, const RECT &) {}

} // namespace SkinUI
