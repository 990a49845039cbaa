#pragma once

#include <cstddef>

namespace SkinUI {
namespace Testing {

// The blocks a program holds from malloc, calloc, realloc and operator new. A program linked
// with LiveAllocations.cpp has those functions counted: every block given out is counted
// until it is freed. Memory that the platform's libraries take for themselves is not.
struct AllocationTotals
{
    size_t blocks = 0;
    size_t bytes = 0;
};

AllocationTotals LiveAllocations();

} // namespace Testing
} // namespace SkinUI
