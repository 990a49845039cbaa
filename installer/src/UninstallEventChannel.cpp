#include "UninstallEventChannel.h"

#include "UninstallEvent.h"

#include <memory>

UninstallEventChannel::UninstallEventChannel(HWND window) : window_(window) {}

bool UninstallEventChannel::Post(int32_t code, double value, const std::wstring &text)
{
    // Held over the post, so that no record comes into the queue after Close has emptied it.
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!open_ || !IsWindow(window_)) {
        return false;
    }
    auto event = std::make_unique<UninstallEvent>(code, value, text);
    if (!PostMessageW(window_, WM_UNINSTALL_EVENT, 0, reinterpret_cast<LPARAM>(event.get()))) {
        return false;
    }
    static_cast<void>(event.release());
    return true;
}

void UninstallEventChannel::Close()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        open_ = false;
    }
    FreeQueuedRecords();
}

void UninstallEventChannel::FreeQueuedRecords()
{
    MSG message = {};
    while (PeekMessageW(&message, window_, WM_UNINSTALL_EVENT, WM_UNINSTALL_EVENT, PM_REMOVE)) {
        delete reinterpret_cast<UninstallEvent *>(message.lParam);
    }
}
