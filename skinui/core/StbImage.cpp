// The stb_image decoder, compiled once for the framework. Images come only from memory
// blocks, so the decoder's own file reading is left out. Only the formats skins use are
// compiled in: the others (HDR, PSD, PIC, PNM, TGA) are never needed, and a damaged file of
// some of them keeps the decoder busy for ever. The decoder itself refuses a picture, or a
// frame of an animation, with a side beyond the framework's limit.
#include "ImageLimits.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_FAILURE_USERMSG
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_GIF
#define STBI_MAX_DIMENSIONS SkinUI::kLargestImageSide
#include <stb_image.h>
