#include "ArrayGrowth.h"

#include <climits>
#include <cstdlib>

namespace SkinUI {

bool GrowArrayStorage(void *&storage, int &count, int &capacity, size_t elementSize)
{
    if (count == INT_MAX)
        return false;
    ++count;
    if (count < capacity)
        return true;
    if (capacity > INT_MAX / 2) {
        --count;
        return false;
    }
    int grown = capacity == 0 ? 11 : capacity * 2;
    void *block = realloc(storage, static_cast<size_t>(grown) * elementSize);
    if (block == nullptr) {
        --count;
        return false;
    }
    storage = block;
    capacity = grown;
    return true;
}

} // namespace SkinUI
