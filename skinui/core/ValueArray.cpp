#include "ValueArray.h"

#include "ArrayGrowth.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace SkinUI {

CValueArray::CValueArray(int elementSize, int preallocated)
    : m_data(nullptr), m_elementSize(elementSize > 0 ? elementSize : 1), m_count(0), m_capacity(0)
{
    if (preallocated > 0) {
        m_data = static_cast<unsigned char *>(
            calloc(static_cast<size_t>(preallocated), static_cast<size_t>(m_elementSize)));
        if (m_data != nullptr)
            m_capacity = preallocated;
    }
}

CValueArray::~CValueArray()
{
    free(m_data);
}

bool CValueArray::Add(const void *element)
{
    void *storage = m_data;
    if (!GrowArrayStorage(storage, m_count, m_capacity, static_cast<size_t>(m_elementSize)))
        return false;
    m_data = static_cast<unsigned char *>(storage);
    memcpy(GetAt(m_count - 1), element, static_cast<size_t>(m_elementSize));
    return true;
}

bool CValueArray::Remove(int index, int count)
{
    if (index < 0 || count <= 0 || index > m_count - count)
        return false;
    memmove(GetAt(index), GetAt(index + count),
            static_cast<size_t>(m_count - index - count) * static_cast<size_t>(m_elementSize));
    m_count -= count;
    return true;
}

void *CValueArray::GetAt(int index) const
{
    return m_data + static_cast<size_t>(index) * static_cast<size_t>(m_elementSize);
}

void CValueArray::Empty()
{
    free(m_data);
    m_data = nullptr;
    m_count = 0;
    m_capacity = 0;
}

} // namespace SkinUI
