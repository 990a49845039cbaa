#pragma once

#include <windows.h>

namespace SkinUI {

// Owns one kernel handle (a file, mostly) and closes it when it goes out of scope.
class ScopedHandle
{
public:
    explicit ScopedHandle(HANDLE handle = INVALID_HANDLE_VALUE) : m_handle(handle) {}
    ScopedHandle(const ScopedHandle &) = delete;
    ScopedHandle &operator=(const ScopedHandle &) = delete;
    ~ScopedHandle() { Reset(); }

    bool IsValid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    HANDLE Get() const { return m_handle; }

    void Reset(HANDLE handle = INVALID_HANDLE_VALUE)
    {
        if (IsValid())
            CloseHandle(m_handle);
        m_handle = handle;
    }

private:
    HANDLE m_handle;
};

} // namespace SkinUI
