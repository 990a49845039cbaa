#pragma once

#include <windows.h>

struct UninstallEvent;

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

// How the worker's events reach the uninstall window: each is posted as WM_UNINSTALL_EVENT
// with a heap record, which the window takes back with Receive and frees once it has handled
// it. An uninstaller may print progress far faster than a window can show it, so a progress
// record still waiting as the last one posted takes the newer value instead of another record
// being queued: the queue stays short, and the result behind a flood comes at once. A window
// that is destroyed takes the messages still queued for it along, so the window closes the
// channel as it goes: nothing more is posted, and the records still queued are freed.
class UninstallEventChannel
{
public:
    explicit UninstallEventChannel(HWND window);
    UninstallEventChannel(const UninstallEventChannel &) = delete;
    UninstallEventChannel &operator=(const UninstallEventChannel &) = delete;

    // From any thread. False when nothing was posted: the channel is closed, the window is
    // gone or the post failed; no record is left behind then.
    bool Post(int32_t code, double value, const std::wstring &text);
    // On the window's thread: the record of a WM_UNINSTALL_EVENT, from now on the caller's
    // alone (no later progress changes it).
    std::unique_ptr<UninstallEvent> Receive(LPARAM lParam);
    // On the window's thread, while the window still exists.
    void Close();

private:
    void FreeQueuedRecords();

    std::mutex mutex_;
    const HWND window_;
    bool open_ = true;
    // The last record posted while it is a progress record that the window has not received.
    UninstallEvent *queuedProgress_ = nullptr;
};
