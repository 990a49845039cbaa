#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>

// What the uninstall worker reports to the uninstall window. The window receives each event
// as WM_UNINSTALL_EVENT with a heap record in lParam, which it frees after handling.
enum UninstallEventCode : int32_t
{
    kUninstallErrorEvent = 1001,       // the uninstaller reported an error; text says which
    kUninstallProgressEvent = 5002,    // value is the fraction done, 0.0 to 1.0
    kUninstallSucceededEvent = 5003,   // the uninstall has finished successfully
    kUninstallStartFailedEvent = 5004, // value 1.0: uninstaller missing; 2.0: start failed
};

constexpr UINT WM_UNINSTALL_EVENT = WM_USER + 1001;

// The records count themselves: one that no one frees shows as a count that stays up.
struct UninstallEvent
{
    UninstallEvent(int32_t eventCode, double eventValue, std::wstring eventText)
        : code(eventCode), value(eventValue), text(std::move(eventText))
    {
        ++live_;
    }
    ~UninstallEvent() { --live_; }
    UninstallEvent(const UninstallEvent &) = delete;
    UninstallEvent &operator=(const UninstallEvent &) = delete;

    // Records in this process that have been made and not yet freed.
    static long LiveCount() { return live_; }

    int32_t code;
    double value;
    std::wstring text;

private:
    static inline std::atomic<long> live_{0};
};
