#include "utils/NamedMutex.h"

namespace Utils {

const wchar_t NamedMutex::kNamePrefix[] = L"D1A547DB89C0BC61_";

NamedMutex::NamedMutex(const std::wstring &name) : name_(name) {}

NamedMutex::~NamedMutex()
{
    if (handle_ != nullptr) {
        ReleaseMutex(handle_);
        CloseHandle(handle_);
    }
}

bool NamedMutex::Acquire()
{
    if (handle_ != nullptr) {
        return true;
    }
    const std::wstring fullName = kNamePrefix + name_;
    HANDLE handle = CreateMutexW(nullptr, TRUE, fullName.c_str());
    if (handle != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(handle);
        handle = nullptr;
    }
    handle_ = handle;
    return IsAcquired();
}

} // namespace Utils
