#pragma once

namespace SkinUI {

// Growable array of untyped pointers. It owns only its slot storage, never the objects.
class CPointerArray
{
public:
    explicit CPointerArray(int preallocated = 0);
    CPointerArray(const CPointerArray &other);
    CPointerArray &operator=(const CPointerArray &) = delete;
    ~CPointerArray();

    bool Add(void *item);
    bool InsertAt(int index, void *item);
    bool Remove(int index, int count = 1);
    int Find(void *item) const;
    void *GetAt(int index) const;
    void *operator[](int index) const { return m_items[index]; }
    int GetCount() const { return m_count; }
    int GetCapacity() const { return m_capacity; }
    bool IsEmpty() const { return m_count == 0; }
    void Empty();
    void Resize(int count);

private:
    bool Grow();

    void **m_items;
    int m_count;
    int m_capacity;
};

} // namespace SkinUI
