#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace SkinUI {
namespace Testing {

// A copy of some bytes that ends exactly where an inaccessible page begins, so that any
// read or write behind its end faults at once instead of going unnoticed.
class GuardedBuffer
{
public:
    explicit GuardedBuffer(size_t size);
    explicit GuardedBuffer(const std::vector<uint8_t> &bytes);
    GuardedBuffer(const GuardedBuffer &) = delete;
    GuardedBuffer &operator=(const GuardedBuffer &) = delete;
    ~GuardedBuffer();

    uint8_t *Data() const { return m_data; }
    size_t Size() const { return m_size; }

private:
    void *m_region;
    size_t m_regionSize;
    uint8_t *m_data;
    size_t m_size;
};

} // namespace Testing
} // namespace SkinUI
