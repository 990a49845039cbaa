#include "utils/Thread.h"

#include "utils/Strings.h"

#include <process.h>

#include <string>

namespace Utils {

namespace {

// The exception that debuggers read a thread name from.
constexpr DWORD kSetThreadNameException = 0x406D1388;
constexpr ULONG_PTR kThreadNameInfoType = 0x1000;

LONG CALLBACK ContinueAfterThreadName(EXCEPTION_POINTERS *pointers)
{
    return pointers->ExceptionRecord->ExceptionCode == kSetThreadNameException
               ? EXCEPTION_CONTINUE_EXECUTION
               : EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

void SetThreadName(uint32_t threadId, const char *name)
{
    // An attached debugger sees the exception first; without one this last-called handler
    // resumes after it. (The compiler offers no __try/__except for the same purpose.)
    static PVOID const handler = AddVectoredExceptionHandler(0, ContinueAfterThreadName);
    if (handler == nullptr) {
        return;
    }
    const ULONG_PTR arguments[4] = {kThreadNameInfoType, reinterpret_cast<ULONG_PTR>(name),
                                    threadId, 0};
    RaiseException(kSetThreadNameException, 0, 4, arguments);
}

Thread::~Thread()
{
    Release();
}

void Thread::Release()
{
    if (handle_ == nullptr) {
        return;
    }
    if (!resumed_) {
        // A thread left suspended would never end and keep its stack for the life of the
        // process; without its body it ends at once.
        body_ = nullptr;
        Resume();
    }
    Join();
}

void Thread::Start(Body body, void *argument, const std::wstring &name)
{
    Release();
    id_ = 0;
    resumed_ = false;
    body_ = std::move(body);
    argument_ = argument;
    name_ = name;

    unsigned int threadId = 0;
    const uintptr_t handle =
        _beginthreadex(nullptr, 0, &Thread::ThreadEntry, this, CREATE_SUSPENDED, &threadId);
    if (handle == 0) {
        return;
    }
    handle_ = reinterpret_cast<HANDLE>(handle);
    id_ = threadId;

    const std::string debuggerName =
        name_.empty() ? "t" + std::to_string(id_) : ToNarrowString(name_, 0);
    SetThreadName(id_, debuggerName.c_str());
}

bool Thread::Resume()
{
    if (handle_ == nullptr || ResumeThread(handle_) == static_cast<DWORD>(-1)) {
        return false;
    }
    resumed_ = true;
    return true;
}

void Thread::Join()
{
    if (handle_ != nullptr) {
        WaitForSingleObject(handle_, INFINITE);
        CloseHandle(handle_);
        handle_ = nullptr;
    }
    id_ = kJoinedId;
    name_.clear();
    body_ = nullptr;
    resumed_ = false;
}

bool Thread::WaitForEnd(DWORD timeoutMs) const
{
    return handle_ == nullptr || WaitForSingleObject(handle_, timeoutMs) == WAIT_OBJECT_0;
}

unsigned __stdcall Thread::ThreadEntry(void *thread)
{
    Thread *self = static_cast<Thread *>(thread);
    if (self->body_) {
        self->body_(self->argument_);
    }
    _endthreadex(0);
    return 0;
}

} // namespace Utils
