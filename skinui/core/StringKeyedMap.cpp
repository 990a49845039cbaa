#include "StringKeyedMap.h"

#include <cwchar>
#include <new>

namespace SkinUI {

CStringKeyedMap::CStringKeyedMap(int buckets) : m_buckets(nullptr), m_bucketCount(0), m_count(0)
{
    Resize(buckets < kMinBuckets ? kMinBuckets : buckets);
}

CStringKeyedMap::~CStringKeyedMap()
{
    Resize(0);
}

unsigned int CStringKeyedMap::HashKey(const wchar_t *key)
{
    unsigned int hash = 0;
    for (size_t i = wcslen(key); i > 0; --i)
        hash = hash * 33u + static_cast<unsigned int>(key[i - 1]);
    return hash;
}

int CStringKeyedMap::BucketOf(const wchar_t *key) const
{
    return static_cast<int>(HashKey(key) % static_cast<unsigned int>(m_bucketCount));
}

StringMapEntry *CStringKeyedMap::FindEntry(const wchar_t *key, int &bucket) const
{
    if (key == nullptr || m_bucketCount == 0)
        return nullptr;
    bucket = BucketOf(key);
    for (StringMapEntry *entry = m_buckets[bucket]; entry != nullptr; entry = entry->next) {
        if (entry->key == key)
            return entry;
    }
    return nullptr;
}

void *CStringKeyedMap::Find(const wchar_t *key, bool moveToFront) const
{
    if (m_count == 0)
        return nullptr;
    int bucket = 0;
    StringMapEntry *entry = FindEntry(key, bucket);
    if (entry == nullptr)
        return nullptr;
    if (moveToFront && entry != m_buckets[bucket]) {
        entry->previous->next = entry->next;
        if (entry->next != nullptr)
            entry->next->previous = entry->previous;
        entry->previous = nullptr;
        entry->next = m_buckets[bucket];
        m_buckets[bucket]->previous = entry;
        m_buckets[bucket] = entry;
    }
    return entry->value;
}

bool CStringKeyedMap::Insert(const wchar_t *key, void *value)
{
    if (key == nullptr || m_bucketCount == 0)
        return false;
    int bucket = 0;
    if (FindEntry(key, bucket) != nullptr)
        return false;
    StringMapEntry *entry =
        new (std::nothrow) StringMapEntry{CWideString(key), value, nullptr, m_buckets[bucket]};
    if (entry == nullptr)
        return false;
    if (m_buckets[bucket] != nullptr)
        m_buckets[bucket]->previous = entry;
    m_buckets[bucket] = entry;
    ++m_count;
    return true;
}

void *CStringKeyedMap::Set(const wchar_t *key, void *value)
{
    if (m_bucketCount == 0)
        return value;
    int bucket = 0;
    StringMapEntry *entry = FindEntry(key, bucket);
    if (entry == nullptr) {
        Insert(key, value);
        return nullptr;
    }
    void *previous = entry->value;
    entry->value = value;
    return previous;
}

bool CStringKeyedMap::Remove(const wchar_t *key)
{
    int bucket = 0;
    StringMapEntry *entry = FindEntry(key, bucket);
    if (entry == nullptr)
        return false;
    if (entry->previous != nullptr)
        entry->previous->next = entry->next;
    else
        m_buckets[bucket] = entry->next;
    if (entry->next != nullptr)
        entry->next->previous = entry->previous;
    delete entry;
    --m_count;
    return true;
}

const wchar_t *CStringKeyedMap::GetKeyAt(int n) const
{
    if (n < 0)
        return nullptr;
    int position = 0;
    for (int bucket = m_bucketCount - 1; bucket >= 0; --bucket) {
        for (StringMapEntry *entry = m_buckets[bucket]; entry != nullptr; entry = entry->next) {
            if (position++ == n)
                return entry->key.GetData();
        }
    }
    return nullptr;
}

void CStringKeyedMap::FreeEntries()
{
    for (int bucket = 0; bucket < m_bucketCount; ++bucket) {
        StringMapEntry *entry = m_buckets[bucket];
        while (entry != nullptr) {
            StringMapEntry *next = entry->next;
            delete entry;
            entry = next;
        }
    }
    m_count = 0;
}

void CStringKeyedMap::Resize(int buckets)
{
    FreeEntries();
    delete[] m_buckets;
    m_buckets = nullptr;
    m_bucketCount = 0;
    if (buckets <= 0)
        return;
    m_buckets = new (std::nothrow) StringMapEntry *[static_cast<size_t>(buckets)]();
    if (m_buckets != nullptr)
        m_bucketCount = buckets;
}

void CStringKeyedMap::RemoveAll()
{
    Resize(m_bucketCount);
}

} // namespace SkinUI
