#include "GuardedBuffer.h"

#include <windows.h>

#include <cstring>

namespace SkinUI {
namespace Testing {

GuardedBuffer::GuardedBuffer(size_t size) : m_region(nullptr), m_regionSize(0), m_data(nullptr)
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    size_t page = info.dwPageSize;
    size_t dataPages = (size + page - 1) / page;
    m_regionSize = (dataPages + 1) * page;
    m_region = VirtualAlloc(nullptr, m_regionSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    uint8_t *guard = static_cast<uint8_t *>(m_region) + dataPages * page;
    DWORD old = 0;
    VirtualProtect(guard, page, PAGE_NOACCESS, &old);
    m_data = guard - size;
    m_size = size;
}

GuardedBuffer::GuardedBuffer(const std::vector<uint8_t> &bytes) : GuardedBuffer(bytes.size())
{
    if (!bytes.empty())
        memcpy(m_data, bytes.data(), bytes.size());
}

GuardedBuffer::~GuardedBuffer()
{
    VirtualFree(m_region, 0, MEM_RELEASE);
}

} // namespace Testing
} // namespace SkinUI
