#pragma once

#include "SkinResourceSource.h"

#include <cstdint>
#include <memory>

namespace SkinUI {

struct SkinFileBytes
{
    std::unique_ptr<uint8_t[]> data;
    uint32_t size = 0;
};

// Reads one skin file whole: from the resource folder when no package is set, else from
// the package. Skin files above 4 MB are refused; images have no limit of their own, but
// nothing is inflated from a package beyond its 16 MB limit.
class SkinFileReader
{
public:
    static const uint32_t kMaxFileSize = 0x400000;
    static const uint32_t kNoSizeLimit = 0xFFFFFFFF;

    // Null on success; otherwise the message that says why the file could not be read.
    static const wchar_t *Read(const SkinResourceSource &source, const wchar_t *name,
                               SkinFileBytes &bytes, uint32_t maxSize = kMaxFileSize);
    static const wchar_t *ReadPlainFile(const wchar_t *path, SkinFileBytes &bytes,
                                        uint32_t maxSize = kMaxFileSize);
    // Pictures: the skin folder or package first, then the name as a path of its own.
    static bool ReadSkinFileOrPath(const SkinResourceSource &source, const wchar_t *name,
                                   SkinFileBytes &bytes, uint32_t maxSize = kNoSizeLimit);

private:
    static const wchar_t *ReadPackageEntry(const SkinResourceSource &source, const wchar_t *name,
                                           SkinFileBytes &bytes, uint32_t maxSize);
};

} // namespace SkinUI
