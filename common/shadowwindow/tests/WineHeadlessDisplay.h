#pragma once

#include <windows.h>

#include <string>

// Under Wine without an X display every window creation fails: the desktop's display
// device names no driver. Before the test makes its first window, a child copy of the
// test brings the desktop up, and each display device without a driver is pointed at
// Wine's null driver, which keeps windows, styles and geometry but draws nothing.
// Nothing happens on Windows or when a display is set.

namespace WineHeadlessDisplay {

constexpr wchar_t kPrimeVariable[] = L"SHADOW_TEST_PRIME_DESKTOP";
constexpr DWORD kChildTimeoutMs = 30000;

inline bool headlessWine()
{
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll || !GetProcAddress(ntdll, "wine_get_version"))
        return false;
    wchar_t display[64] = {};
    return GetEnvironmentVariableW(L"DISPLAY", display,
                                   DWORD(sizeof(display) / sizeof(display[0]))) == 0;
}

// Called before main: the child copy only asks for the desktop window, then ends.
inline bool primeDesktopIfAsked()
{
    wchar_t value[8] = {};
    if (GetEnvironmentVariableW(kPrimeVariable, value, DWORD(sizeof(value) / sizeof(value[0]))) ==
        0)
        return false;
    GetDesktopWindow();
    ExitProcess(0);
}

class ScopedHandle
{
public:
    explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
    ~ScopedHandle()
    {
        if (handle_)
            CloseHandle(handle_);
    }
    ScopedHandle(const ScopedHandle &) = delete;
    ScopedHandle &operator=(const ScopedHandle &) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

inline void bringUpDesktopInChild()
{
    wchar_t path[MAX_PATH] = {};
    if (!GetModuleFileNameW(nullptr, path, MAX_PATH))
        return;
    std::wstring commandLine = L"\"" + std::wstring(path) + L"\"";
    SetEnvironmentVariableW(kPrimeVariable, L"1");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(path, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                        nullptr, &startup, &process);
    SetEnvironmentVariableW(kPrimeVariable, nullptr);
    if (!started)
        return;
    ScopedHandle processHandle(process.hProcess);
    ScopedHandle threadHandle(process.hThread);
    WaitForSingleObject(processHandle.get(), kChildTimeoutMs);
}

inline void pointDriverlessDevicesAtNullDriver()
{
    HKEY video = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Video", 0, KEY_READ,
                      &video) != ERROR_SUCCESS)
        return;
    wchar_t name[128];
    for (DWORD index = 0;; ++index) {
        DWORD length = DWORD(sizeof(name) / sizeof(name[0]));
        if (RegEnumKeyExW(video, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        const std::wstring device = std::wstring(name) + L"\\0000";
        HKEY key = nullptr;
        if (RegOpenKeyExW(video, device.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) !=
            ERROR_SUCCESS)
            continue;
        if (RegQueryValueExW(key, L"GraphicsDriver", nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            static const wchar_t kNull[] = L"null";
            RegSetValueExW(key, L"GraphicsDriver", 0, REG_SZ, reinterpret_cast<const BYTE *>(kNull),
                           DWORD(sizeof(kNull)));
        }
        RegCloseKey(key);
    }
    RegCloseKey(video);
}

} // namespace WineHeadlessDisplay

inline void useNullDisplayDriverWhenHeadless()
{
    if (!WineHeadlessDisplay::headlessWine())
        return;
    WineHeadlessDisplay::bringUpDesktopInChild();
    WineHeadlessDisplay::pointDriverlessDevicesAtNullDriver();
}
