#pragma once

#include <7zTypes.h>

#include <cstdint>
#include <vector>

namespace SkinUI {

// A seekable input stream over a private copy of a memory block, for the 7z decoder.
// Positions outside the data are refused.
struct MemoryInStream
{
    static const SRes kInvalidParameter = 87;

    MemoryInStream();
    bool Assign(const void *data, uint32_t length);

    ISeekInStream vt;
    std::vector<uint8_t> data;
    int32_t length;
    int32_t position;
    int32_t previousPosition;

    static SRes Read(ISeekInStreamPtr stream, void *buffer, size_t *size);
    static SRes Seek(ISeekInStreamPtr stream, Int64 *position, ESzSeek origin);
};

} // namespace SkinUI
