#include "ByteFields.h"

#include <string>

namespace SkinUI {
namespace Testing {

uint32_t ReadLe32(const std::vector<uint8_t> &bytes, size_t at)
{
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
           (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

void WriteLe32(std::vector<uint8_t> &bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

size_t FindSignature(const std::vector<uint8_t> &bytes, uint32_t signature, size_t from)
{
    for (size_t i = from; i + 4 <= bytes.size(); ++i) {
        if (ReadLe32(bytes, i) == signature)
            return i;
    }
    return std::string::npos;
}

} // namespace Testing
} // namespace SkinUI
