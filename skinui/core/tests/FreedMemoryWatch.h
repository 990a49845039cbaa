#pragma once

#include <cstddef>
#include <vector>

namespace SkinUI {
namespace Testing {

// While a watch lives, memory given back with delete is filled with a pattern and kept
// instead of freed, so no later allocation reuses it: a pointer that still points into it
// afterwards is known to dangle. The program that uses it must be linked with
// FreedMemoryWatch.cpp, which takes the place of the global operator new and delete.
class FreedMemoryWatch
{
public:
    struct Block
    {
        const char *begin;
        size_t size;
    };

    FreedMemoryWatch();
    FreedMemoryWatch(const FreedMemoryWatch &) = delete;
    FreedMemoryWatch &operator=(const FreedMemoryWatch &) = delete;
    // Frees the kept blocks.
    ~FreedMemoryWatch();

    // Whether the pointer points into a block freed while the watch lived.
    bool Contains(const void *pointer) const;
    std::vector<Block> Blocks() const;
};

} // namespace Testing
} // namespace SkinUI
