#include "WindowManagerUI.h"

#include "ManagerProcessState.h"

// Images of the window manager. Loading and freeing come with the image loader; until then
// no image can be added, so the tables stay empty.

namespace SkinUI {

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

void CWindowManagerUI::RemoveAllImages(bool shared)
{
    (shared ? ManagerProcessState::Get().sharedImages : m_images).RemoveAll();
}

void CWindowManagerUI::SetLayeredImage(const wchar_t *descriptor)
{
    m_layeredImage.Clear();
    m_layeredImage.text = descriptor;
}

void CWindowManagerUI::PaintLayeredBackground(const RECT &, const RECT &) {}

} // namespace SkinUI
