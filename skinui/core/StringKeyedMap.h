#pragma once

#include "WideString.h"

namespace SkinUI {

struct StringMapEntry
{
    CWideString key;
    void *value;
    StringMapEntry *previous;
    StringMapEntry *next;
};

// Chained hash map from wide-text keys to untyped pointers. Keys are compared exactly;
// the values are never freed by the map.
class CStringKeyedMap
{
public:
    static const int kMinBuckets = 16;

    explicit CStringKeyedMap(int buckets = 83);
    CStringKeyedMap(const CStringKeyedMap &) = delete;
    CStringKeyedMap &operator=(const CStringKeyedMap &) = delete;
    ~CStringKeyedMap();

    void *Find(const wchar_t *key, bool moveToFront = true) const;
    bool Insert(const wchar_t *key, void *value);
    void *Set(const wchar_t *key, void *value);
    bool Remove(const wchar_t *key);
    int GetSize() const { return m_count; }
    int GetBucketCount() const { return m_bucketCount; }
    const wchar_t *GetKeyAt(int n) const;
    void Resize(int buckets);
    void RemoveAll();

    static unsigned int HashKey(const wchar_t *key);

private:
    StringMapEntry *FindEntry(const wchar_t *key, int &bucket) const;
    int BucketOf(const wchar_t *key) const;
    void FreeEntries();

    StringMapEntry **m_buckets;
    int m_bucketCount;
    int m_count;
};

} // namespace SkinUI
