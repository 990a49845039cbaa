#pragma once

#include <cstddef>

namespace SkinUI {

// The growth rule shared by the framework's arrays: an addition raises the count first;
// when it reaches the capacity, the capacity doubles (11 when it was 0). On failure the
// count is set back and the storage is left as it was.
bool GrowArrayStorage(void *&storage, int &count, int &capacity, size_t elementSize);

} // namespace SkinUI
