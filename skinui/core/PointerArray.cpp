#include "PointerArray.h"

#include "ArrayGrowth.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace SkinUI {

CPointerArray::CPointerArray(int preallocated) : m_items(nullptr), m_count(0), m_capacity(0)
{
    if (preallocated > 0) {
        m_items = static_cast<void **>(calloc(static_cast<size_t>(preallocated), sizeof(void *)));
        if (m_items != nullptr)
            m_capacity = preallocated;
    }
}

CPointerArray::CPointerArray(const CPointerArray &other) : CPointerArray()
{
    for (int i = 0; i < other.m_count; ++i)
        Add(other.m_items[i]);
}

CPointerArray::~CPointerArray()
{
    free(m_items);
}

bool CPointerArray::Grow()
{
    void *storage = m_items;
    if (!GrowArrayStorage(storage, m_count, m_capacity, sizeof(void *)))
        return false;
    m_items = static_cast<void **>(storage);
    return true;
}

bool CPointerArray::Add(void *item)
{
    if (!Grow())
        return false;
    m_items[m_count - 1] = item;
    return true;
}

bool CPointerArray::InsertAt(int index, void *item)
{
    if (index == m_count)
        return Add(item);
    if (index < 0 || index > m_count)
        return false;
    if (!Grow())
        return false;
    memmove(&m_items[index + 1], &m_items[index],
            static_cast<size_t>(m_count - 1 - index) * sizeof(void *));
    m_items[index] = item;
    return true;
}

bool CPointerArray::Remove(int index, int count)
{
    if (index < 0 || count <= 0 || index > m_count - count)
        return false;
    memmove(&m_items[index], &m_items[index + count],
            static_cast<size_t>(m_count - index - count) * sizeof(void *));
    m_count -= count;
    return true;
}

int CPointerArray::Find(void *item) const
{
    for (int i = 0; i < m_count; ++i) {
        if (m_items[i] == item)
            return i;
    }
    return -1;
}

void *CPointerArray::GetAt(int index) const
{
    if (index < 0 || index >= m_count)
        return nullptr;
    return m_items[index];
}

void CPointerArray::Empty()
{
    free(m_items);
    m_items = nullptr;
    m_count = 0;
    m_capacity = 0;
}

void CPointerArray::Resize(int count)
{
    Empty();
    if (count <= 0)
        return;
    m_items = static_cast<void **>(calloc(static_cast<size_t>(count), sizeof(void *)));
    if (m_items == nullptr)
        return;
    m_count = count;
    m_capacity = count;
}

} // namespace SkinUI
