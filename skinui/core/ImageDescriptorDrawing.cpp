#include "GdiPainter.h"

#include "ImageDescriptor.h"
#include "ImageDescriptorText.h"
#include "WindowManagerUI.h"

namespace SkinUI {

namespace {

bool IsZero(const RECT &rect)
{
    return rect.left == 0 && rect.top == 0 && rect.right == 0 && rect.bottom == 0;
}

// Parses the descriptor and has the manager load its image; tried once per text.
bool LoadDescriptorImage(CWindowManagerUI *manager, ImageDescriptor &descriptor)
{
    if (descriptor.image != nullptr)
        return true;
    if (descriptor.parsed)
        return false;
    descriptor.parsed = true;
    ImageRequest request = ImageDescriptorText::Parse(descriptor.text.GetData(), descriptor);
    descriptor.imageName = request.name;
    ImageEntry *image = manager->GetOrLoadImage(
        request.name.GetData(), request.useType ? request.resourceType.GetData() : nullptr,
        request.mask, request.keepPixels);
    if (image == nullptr)
        return false;
    descriptor.image = image;
    if (IsZero(descriptor.source))
        descriptor.source = RECT{0, 0, image->width, image->height};
    return true;
}

} // namespace

bool CGdiPainter::DrawImageDescriptor(HDC dc, CWindowManagerUI *manager, const RECT &item,
                                      const RECT &paint, ImageDescriptor &descriptor)
{
    if (manager == nullptr || descriptor.text.IsEmpty() ||
        !LoadDescriptorImage(manager, descriptor))
        return false;
    const ImageEntry &image = *descriptor.image;
    if (descriptor.source.right > image.width)
        descriptor.source.right = image.width;
    if (descriptor.source.bottom > image.height)
        descriptor.source.bottom = image.height;
    if (dc == nullptr)
        return true;

    RECT destination = item;
    const RECT &dest = descriptor.destination;
    if (!IsZero(dest)) {
        destination.left = item.left + dest.left;
        destination.top = item.top + dest.top;
        destination.right =
            item.left + dest.right < item.right ? item.left + dest.right : item.right;
        destination.bottom =
            item.top + dest.bottom < item.bottom ? item.top + dest.bottom : item.bottom;
    }
    RECT inItem;
    RECT inPaint;
    if (IntersectRect(&inItem, &destination, &item) &&
        IntersectRect(&inPaint, &destination, &paint))
        DrawImage(dc, image.bitmap, destination, paint, descriptor.source, descriptor.corner,
                  image.hasAlpha, descriptor.fade, descriptor.hole, descriptor.xTiled,
                  descriptor.yTiled);
    return true;
}

} // namespace SkinUI
