#include "UninstallEventChannel.h"

#include "UninstallEvent.h"

UninstallEventChannel::UninstallEventChannel(HWND window) : window_(window) {}

bool UninstallEventChannel::Post(int32_t code, double value, const std::wstring &text)
{
    // Held over the post, so that no record comes into the queue after Close has emptied it.
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!open_ || !IsWindow(window_)) {
        return false;
    }
    const bool progress = code == kUninstallProgressEvent;
    if (progress && queuedProgress_ != nullptr) {
        queuedProgress_->value = value;
        return true;
    }
    auto event = std::make_unique<UninstallEvent>(code, value, text);
    if (!PostMessageW(window_, WM_UNINSTALL_EVENT, 0, reinterpret_cast<LPARAM>(event.get()))) {
        return false;
    }
    UninstallEvent *posted = event.release();
    // Only the last record takes newer values, so that the events keep their order.
    queuedProgress_ = progress ? posted : nullptr;
    return true;
}

std::unique_ptr<UninstallEvent> UninstallEventChannel::Receive(LPARAM lParam)
{
    auto *event = reinterpret_cast<UninstallEvent *>(lParam);
    const std::lock_guard<std::mutex> lock(mutex_);
    if (event == queuedProgress_) {
        queuedProgress_ = nullptr;
    }
    return std::unique_ptr<UninstallEvent>(event);
}

void UninstallEventChannel::Close()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        open_ = false;
        queuedProgress_ = nullptr;
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
