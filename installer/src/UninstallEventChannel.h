#pragma once

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <string>

// How the worker's events reach the uninstall window: each is posted as WM_UNINSTALL_EVENT
// with a heap record, which the window frees once it has handled it. A window that is
// destroyed takes the messages still queued for it along, so the window closes the channel
// as it goes: nothing more is posted, and the records still queued are freed.
class UninstallEventChannel
{
public:
    explicit UninstallEventChannel(HWND window);
    UninstallEventChannel(const UninstallEventChannel &) = delete;
    UninstallEventChannel &operator=(const UninstallEventChannel &) = delete;

    // From any thread. False when nothing was posted: the channel is closed, the window is
    // gone or the post failed; no record is left behind then.
    bool Post(int32_t code, double value, const std::wstring &text);
    // On the window's thread, while the window still exists.
    void Close();

private:
    void FreeQueuedRecords();

    std::mutex mutex_;
    const HWND window_;
    bool open_ = true;
};
