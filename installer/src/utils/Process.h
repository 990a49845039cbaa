#pragma once

#include "utils/Pipe.h"

#include <windows.h>

#include <optional>
#include <string>

namespace Utils {

// A child process whose standard input, output and error run through anonymous pipes.
// The constructor starts the child and throws Utils::Exception when a pipe or the child
// cannot be made.
class Process
{
public:
    static constexpr std::size_t kCommandLineCapacity = 1024;
    static constexpr DWORD kStillActive = 259;

    // applicationPath, when given, is the program that runs: the command line's first token
    // then only becomes the child's argv[0], so blanks in it cannot start another program.
    Process(const std::wstring &commandLine, DWORD startFlags, WORD showCommand,
            const std::wstring &applicationPath = std::wstring());
    ~Process();
    Process(const Process &) = delete;
    Process &operator=(const Process &) = delete;

    void Create(const std::wstring &commandLine, DWORD startFlags, WORD showCommand,
                const std::wstring &applicationPath = std::wstring());
    // True when the exit code is not STILL_ACTIVE (a child may exit with 259 itself).
    bool HasExited() const;
    // True when the process object is signalled, waiting up to timeoutMs.
    bool WaitForExit(DWORD timeoutMs) const;
    void Wait() const { WaitForExit(INFINITE); }
    // The child's exit code once it has ended; nothing while it runs or when unknown.
    std::optional<DWORD> ExitCode() const;

    // One read from the child's standard output (blocks until data comes or the pipe ends).
    bool ReadOutput(void *buffer, DWORD byteCount, DWORD &bytesRead);
    // Bytes waiting in the standard-output pipe; false once the pipe has ended.
    bool PeekOutput(DWORD &available) const;
    // Reads and drops what waits in the standard-error pipe, so the child never blocks on
    // it; returns the number of bytes dropped.
    DWORD DiscardErrorOutput();

    void Close();

    HANDLE ProcessHandle() const { return info_.hProcess; }
    DWORD ProcessId() const { return info_.dwProcessId; }

private:
    wchar_t commandLine_[kCommandLineCapacity] = {};
    Pipe errorPipe_;
    Pipe outputPipe_;
    Pipe inputPipe_;
    PROCESS_INFORMATION info_ = {};
};

} // namespace Utils
