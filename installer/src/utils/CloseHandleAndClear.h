#pragma once

#include <windows.h>

namespace Utils {

// Closes a handle that may already be gone and leaves null behind, so that closing twice
// is harmless.
inline void CloseHandleAndClear(HANDLE &handle)
{
    if (handle != nullptr) {
        CloseHandle(handle);
        handle = nullptr;
    }
}

} // namespace Utils
