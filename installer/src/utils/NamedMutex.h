#pragma once

#include <windows.h>

#include <string>

namespace Utils {

// The single-instance lock: a named mutex "D1A547DB89C0BC61_" + name, held from Acquire until
// the object is destroyed.
class NamedMutex
{
public:
    static const wchar_t kNamePrefix[];

    explicit NamedMutex(const std::wstring &name);
    ~NamedMutex();
    NamedMutex(const NamedMutex &) = delete;
    NamedMutex &operator=(const NamedMutex &) = delete;

    // Becomes the single owner unless another holder already has the mutex; returns IsAcquired.
    bool Acquire();
    bool IsAcquired() const { return handle_ != nullptr; }

private:
    std::wstring name_;
    HANDLE handle_ = nullptr;
};

} // namespace Utils
