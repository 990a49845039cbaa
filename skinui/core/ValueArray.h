#pragma once

namespace SkinUI {

// Growable array of fixed-size elements, copied in and out byte for byte.
class CValueArray
{
public:
    explicit CValueArray(int elementSize, int preallocated = 0);
    CValueArray(const CValueArray &) = delete;
    CValueArray &operator=(const CValueArray &) = delete;
    ~CValueArray();

    bool Add(const void *element);
    bool Remove(int index, int count = 1);
    void *GetAt(int index) const;
    int GetCount() const { return m_count; }
    int GetCapacity() const { return m_capacity; }
    bool IsEmpty() const { return m_count == 0; }
    void Empty();

private:
    unsigned char *m_data;
    int m_elementSize;
    int m_count;
    int m_capacity;
};

} // namespace SkinUI
