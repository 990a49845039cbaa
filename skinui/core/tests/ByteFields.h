#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace SkinUI {
namespace Testing {

// Little-endian fields of archive headers, for tests that damage packages on purpose.
uint32_t ReadLe32(const std::vector<uint8_t> &bytes, size_t at);
void WriteLe32(std::vector<uint8_t> &bytes, size_t at, uint32_t value);
// Position of the first four bytes that read as the signature, or npos.
size_t FindSignature(const std::vector<uint8_t> &bytes, uint32_t signature, size_t from = 0);

} // namespace Testing
} // namespace SkinUI
