// The stb_image decoder, compiled once for the framework. Images come only from memory
// blocks, so the decoder's own file reading is left out.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_FAILURE_USERMSG
#include <stb_image.h>
