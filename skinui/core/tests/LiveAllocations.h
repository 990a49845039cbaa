#pragma once

#include <cstddef>
#include <cstdio>

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

// From now on each block remembers the call stack that took it, so that blocks left behind
// can be told by where they came from.
void RecordAllocationSites();
// Prints the call stacks of the live blocks taken since RecordAllocationSites, the stacks
// that hold the most bytes first, as addresses relative to the program's image base.
void PrintLiveAllocationSites(FILE *out, int stacks);

} // namespace Testing
} // namespace SkinUI
