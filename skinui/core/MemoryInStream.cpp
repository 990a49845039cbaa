#include "MemoryInStream.h"

#include <climits>
#include <cstring>

namespace SkinUI {

namespace {

MemoryInStream *FromInterface(ISeekInStreamPtr stream)
{
    // The interface is the stream's first member.
    return reinterpret_cast<MemoryInStream *>(const_cast<ISeekInStream *>(stream));
}

} // namespace

MemoryInStream::MemoryInStream() : vt{&Read, &Seek}, length(0), position(0), previousPosition(0) {}

bool MemoryInStream::Assign(const void *source, uint32_t count)
{
    if (count > static_cast<uint32_t>(INT32_MAX) || (source == nullptr && count > 0))
        return false;
    const uint8_t *bytes = static_cast<const uint8_t *>(source);
    data.assign(bytes, bytes + count);
    length = static_cast<int32_t>(count);
    position = 0;
    previousPosition = 0;
    return true;
}

SRes MemoryInStream::Read(ISeekInStreamPtr stream, void *buffer, size_t *size)
{
    MemoryInStream *self = FromInterface(stream);
    size_t available = static_cast<size_t>(self->length - self->position);
    size_t count = *size < available ? *size : available;
    if (count > 0)
        memcpy(buffer, self->data.data() + self->position, count);
    self->previousPosition = self->position;
    self->position += static_cast<int32_t>(count);
    *size = count;
    return SZ_OK;
}

SRes MemoryInStream::Seek(ISeekInStreamPtr stream, Int64 *offset, ESzSeek origin)
{
    MemoryInStream *self = FromInterface(stream);
    if (*offset > INT32_MAX || *offset < -static_cast<Int64>(INT32_MAX))
        return kInvalidParameter;
    Int64 target = 0;
    switch (origin) {
    case SZ_SEEK_SET:
        target = *offset;
        break;
    case SZ_SEEK_CUR:
        target = self->position + *offset;
        break;
    case SZ_SEEK_END:
        target = self->length + *offset;
        break;
    default:
        return kInvalidParameter;
    }
    if (target < 0 || target > self->length)
        return kInvalidParameter;
    self->previousPosition = self->position;
    self->position = static_cast<int32_t>(target);
    *offset = target;
    return SZ_OK;
}

} // namespace SkinUI
