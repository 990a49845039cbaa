#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace Utils {

// Makes a thread's name known to an attached debugger; does nothing visible without one.
void SetThreadName(uint32_t threadId, const char *name);

// A thread that is created suspended and named for debuggers, then resumed by its owner.
class Thread
{
public:
    using Body = std::function<uint32_t(void *)>;
    static constexpr uint32_t kJoinedId = 0xFFFFFFFF;

    Thread() = default;
    // Joins a running thread; a thread that was never resumed ends without running its body.
    ~Thread();
    Thread(const Thread &) = delete;
    Thread &operator=(const Thread &) = delete;

    // Creates the thread suspended; Id() stays 0 and the handle null when creation fails.
    void Start(Body body, void *argument, const std::wstring &name);
    bool Resume();
    void Join();
    // True when the body has returned (or no thread was started); waits up to timeoutMs.
    bool WaitForEnd(DWORD timeoutMs) const;

    uint32_t Id() const { return id_; }
    const std::wstring &Name() const { return name_; }
    bool IsStarted() const { return handle_ != nullptr; }

private:
    static unsigned __stdcall ThreadEntry(void *thread);
    void Release();

    uint32_t id_ = 0;
    HANDLE handle_ = nullptr;
    Body body_;
    void *argument_ = nullptr;
    std::wstring name_;
    bool resumed_ = false;
};

} // namespace Utils
