#pragma once

#include <new>
#include <vector>

// The process-wide table from a parent window to the shadow that follows it. Lookups are
// linear from the first entry, and the first entry of a handle wins. No lock: the GUI
// thread is the only user.
template <typename Handle, typename Object> class ShadowRegistry
{
public:
    struct Entry
    {
        Handle parent;
        Object *shadow;
    };

    // False, leaving the table unchanged, when it cannot grow.
    bool append(Handle parent, Object *shadow)
    {
        try {
            entries_.push_back({parent, shadow});
        } catch (const std::bad_alloc &) {
            return false;
        }
        return true;
    }

    bool removeAt(int index, int count = 1)
    {
        if (count <= 0 || index < 0 || index + count > this->count())
            return false;
        entries_.erase(entries_.begin() + index, entries_.begin() + index + count);
        return true;
    }

    Object *find(Handle parent) const
    {
        const int i = indexOf(parent);
        return i < 0 ? nullptr : entries_[size_t(i)].shadow;
    }

    int indexOf(Handle parent) const
    {
        for (size_t i = 0; i < entries_.size(); ++i) {
            if (entries_[i].parent == parent)
                return int(i);
        }
        return -1;
    }

    // Removes the entry of parent only while it still names shadow.
    bool removeEntry(Handle parent, const Object *shadow)
    {
        const int i = indexOf(parent);
        if (i < 0 || entries_[size_t(i)].shadow != shadow)
            return false;
        return removeAt(i);
    }

    int count() const { return int(entries_.size()); }
    bool isEmpty() const { return entries_.empty(); }
    void clear() { entries_.clear(); }
    const Entry *at(int index) const
    {
        return index < 0 || index >= count() ? nullptr : &entries_[size_t(index)];
    }

private:
    std::vector<Entry> entries_;
};
