#pragma once

#include "WideString.h"

#include <cstdint>

namespace SkinUI {

struct ImageDescriptor;

// What a descriptor text asks the window manager to load.
struct ImageRequest
{
    CWideString name;
    CWideString resourceType; // used only when useType is set
    uint32_t mask = 0;
    bool keepPixels = false; // "hsl": the image keeps a copy for recolouring
    bool useType = false;    // "res" or "color" was given
};

// Reads descriptor text: a bare image name, or key='value' pairs separated by single
// spaces (file, res, restype, color, dest, source, corner or scale9, mask, fade, hole,
// xtiled, ytiled, hsl). Anything malformed ends the reading; what was read stays.
class ImageDescriptorText
{
public:
    // Fills the descriptor's rectangles, fade and flags and returns the load request.
    static ImageRequest Parse(const wchar_t *text, ImageDescriptor &descriptor);

private:
    static void Apply(const CWideString &key, const CWideString &value, ImageRequest &request,
                      ImageDescriptor &descriptor);
};

} // namespace SkinUI
